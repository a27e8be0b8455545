#include "data/NumericKey.h"
#include "data/SqlText.h"
#include "support/TestKit.h"

using namespace rm;

class SqlTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Apostrophes are doubled, nothing is trimmed, and a lone surrogate cannot reach the store.
    void escapeQuotes() {
        const QStringList inputsAndResults{"",           "",           "it's",      "it''s",
                                           "'",          "''",         "''",        "''''",
                                           "plain text", "plain text", "  O'Neil ", "  O''Neil "};
        for (qsizetype i = 0; i + 1 < inputsAndResults.size(); i += 2)
            QCOMPARE(EscapeQuotes(inputsAndResults[i]), inputsAndResults[i + 1]);
        QCOMPARE(EscapeQuotes(QStringLiteral("a") + QChar(0xD83D) + '\''),
                 QStringLiteral("a") + QChar(QChar::ReplacementCharacter) + "''");
    }

    void valueBuilders() {
        QCOMPARE(SqlText(QStringLiteral("  O'Neil  ")), QStringLiteral("'O''Neil'"));
        QCOMPARE(SqlText(QStringLiteral("   ")), QStringLiteral("''"));
        QCOMPARE(SqlNotes(QStringLiteral("  ")), QStringLiteral("' '"));
        QCOMPARE(SqlNotes(QStringLiteral(" a ")), QStringLiteral("'a'"));
        QCOMPARE(SqlTextUntrimmed(QStringLiteral("\n x'\n")), QStringLiteral("'\n x''\n'"));
        QCOMPARE(SqlTimeOfDay(20 * 60 + 5), QStringLiteral("'20:05'"));
        QCOMPARE(SqlDateTime(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))),
                 QStringLiteral("'2026-03-04 05:06:07'"));
        QCOMPARE(ParseStoredDateTime(QStringLiteral("2026-03-04 05:06:07")),
                 QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    }

    // Whatever the user types reaches the store unchanged and touches no other row.
    void randomTextsRoundTrip() {
        test::TestDatabase db;
        const QStringList alphabet =
            QStringLiteral("a b ' \" - ; % _ \\ \t \u00e9 \u00fc \u661f \U0001F600 -- /* ''")
                .split(QLatin1Char(' '));
        QRandomGenerator rng(20261206);
        const int before = db.count(QStringLiteral("Genres"));
        const QVariant firstName =
            db.scalar(QStringLiteral("Select Genre_Name From Genres Where Genre_ID = 1"));
        QStringList stored;
        for (int i = 0; i < 200; ++i) {
            QString text;
            for (int k = 0, length = i == 0 ? 5000 : int(rng.bounded(1, 40)); k < length; ++k)
                text.append(alphabet.at(rng.bounded(alphabet.size())));
            text = text.trimmed().isEmpty() ? QStringLiteral("'; Drop Table Genres; --") : text.trimmed();
            const QString sql =
                QStringLiteral("Insert Into Genres (Genre_Name) VALUES(") + SqlText(text) + ')';
            QCOMPARE(sql.count(QLatin1Char('\'')), 2 + 2 * text.count(QLatin1Char('\'')));
            Db().execute(sql);
            const QString where = QStringLiteral(" Where Genre_ID = %1").arg(before + i + 1);
            QCOMPARE(db.scalar(QStringLiteral("Select Genre_Name From Genres") + where).toString(), text);
            stored << text + QStringLiteral("'x");
            Db().execute(QStringLiteral("Update Genres Set Genre_Name = ") + SqlText(stored.last()) + where);
        }
        QCOMPARE(db.count(QStringLiteral("Genres")), before + 200);
        QCOMPARE(db.scalar(QStringLiteral("Select Genre_Name From Genres Where Genre_ID = 1")), firstName);
        RowSet rows =
            Db().execute(QStringLiteral("Select Genre_Name From Genres Where Genre_ID > %1 Order By Genre_ID")
                             .arg(before));
        for (const QString& expected : stored) {
            QCOMPARE(rows.text(QStringLiteral("GENRE_NAME")), expected);
            rows.moveNext();
        }
        QVERIFY(rows.eof());
    }

    void storeErrorsAreReported() {
        test::TestDatabase db;
        QVERIFY_THROWS_EXCEPTION(DbError, Db().execute(QStringLiteral("Select * From NoSuchTable")));
        try {
            Db().execute(QStringLiteral("Select Nope From Genres"));
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY(e.description().contains(QStringLiteral("Nope")));
        }
        RowSet rows = Db().execute(QStringLiteral("Select Genre_ID From Genres"));
        QVERIFY_THROWS_EXCEPTION(DbError, rows.value(QStringLiteral("Genre_Name")));
    }

    void transactionRollsBackOnError() {
        test::TestDatabase db;
        const int before = db.count(QStringLiteral("Genres"));
        try {
            DbConnection::Transaction t(Db());
            Db().execute(QStringLiteral("Insert Into Genres (Genre_Name) VALUES('kept?')"));
            Db().execute(QStringLiteral("Insert Into NoSuchTable VALUES(1)"));
            t.commit();
        } catch (const DbError&) {
        }
        QCOMPARE(db.count(QStringLiteral("Genres")), before);
        {
            DbConnection::Transaction t(Db());
            Db().execute(QStringLiteral("Insert Into Genres (Genre_Name) VALUES('kept')"));
            t.commit();
        }
        QCOMPARE(db.count(QStringLiteral("Genres")), before + 1);
        // A deleted key is never handed out again.
        Db().execute(QStringLiteral("Delete From Genres Where Genre_Name = 'kept'"));
        Db().execute(QStringLiteral("Insert Into Genres (Genre_Name) VALUES('again')"));
        QCOMPARE(db.scalar(QStringLiteral("Select Genre_ID From Genres Where Genre_Name = 'again'")).toInt(),
                 before + 2);
    }

    void filterNumericKey_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("allowMinus");
        QTest::addColumn<bool>("allowPoint");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<int>("expected");
        QTest::newRow("minus into empty") << "" << 0 << "" << 45 << true << false << 0 << 45;
        QTest::newRow("minus after first char") << "3" << 1 << "" << 45 << true << false << 0 << 0;
        QTest::newRow("second minus") << "-3" << 0 << "" << 45 << true << false << 0 << 0;
        QTest::newRow("minus over selected minus") << "-3" << 0 << "-" << 45 << true << false << 0 << 45;
        QTest::newRow("minus not allowed") << "" << 0 << "" << 45 << false << false << 0 << 0;
        QTest::newRow("backspace") << "12" << 2 << "" << 8 << false << false << 0 << 8;
        QTest::newRow("digit") << "12" << 2 << "" << 55 << false << false << 0 << 55;
        QTest::newRow("letter") << "12" << 2 << "" << int('a') << false << false << 0 << 0;
        QTest::newRow("space") << "12" << 2 << "" << 32 << false << false << 0 << 0;
        QTest::newRow("point not allowed") << "12" << 2 << "" << 46 << false << false << 0 << 0;
        QTest::newRow("paste shortcut") << "12" << 2 << "" << 22 << false << false << 0 << 0;
        QTest::newRow("point allowed") << "12" << 2 << "" << 46 << false << true << 2 << 46;
        QTest::newRow("second point") << "1.2" << 3 << "" << 46 << false << true << 2 << 0;
        QTest::newRow("point over selected point") << "1.2" << 1 << "." << 46 << false << true << 2 << 46;
        QTest::newRow("point before minus") << "-1" << 0 << "" << 46 << true << true << 2 << 0;
        QTest::newRow("digit within decimals") << "1.2" << 3 << "" << 51 << false << true << 2 << 51;
        QTest::newRow("digit past decimals") << "1.23" << 4 << "" << 51 << false << true << 2 << 0;
        QTest::newRow("digit before point") << "1.23" << 0 << "" << 51 << false << true << 2 << 51;
    }
    void filterNumericKey() {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(QString, selected);
        QFETCH(int, key);
        QFETCH(bool, allowMinus);
        QFETCH(bool, allowPoint);
        QFETCH(int, decimals);
        QFETCH(int, expected);
        QCOMPARE(FilterNumericKey(NumericField{text, caret, selected}, key, allowMinus, allowPoint, decimals),
                 expected);
    }

    void acceptableNumericText() {
        QVERIFY(IsAcceptableNumericText(QStringLiteral("-300"), true, false, 0));
        QVERIFY(IsAcceptableNumericText(QString(), false, false, 0));
        QVERIFY(!IsAcceptableNumericText(QStringLiteral("-300"), false, false, 0));
        for (const char* bad : {"3-00", "12a", " 12", "1.5"})
            QVERIFY2(!IsAcceptableNumericText(QString::fromLatin1(bad), true, false, 0), bad);
    }
};

QTEST_GUILESS_MAIN(SqlTextTest)
#include "sqltext_test.moc"
