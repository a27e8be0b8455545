#include "data/NumericKey.h"
#include "data/SqlText.h"
#include "support/TestKit.h"

using namespace rm;

class SqlTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Apostrophes are doubled, nothing is trimmed, and a lone surrogate cannot reach the store; the
    // value builders trim (notes keep one space so that they are never empty) and dates read back.
    void escapingAndValues() {
        const char* const pairs[] = {"", "", "it's", "it''s", "''", "''''", "  O'Neil ", "  O''Neil "};
        for (int i = 0; i < 8; i += 2)
            QCOMPARE(EscapeQuotes(QString::fromLatin1(pairs[i])), QString::fromLatin1(pairs[i + 1]));
        QCOMPARE(EscapeQuotes(QStringLiteral("a") + QChar(0xD83D) + '\''),
                 QStringLiteral("a") + QChar(QChar::ReplacementCharacter) + "''");
        QCOMPARE(SqlText(QStringLiteral("  O'Neil  ")) + SqlText(QStringLiteral("   ")) +
                     SqlNotes(QStringLiteral("  ")) + SqlTextUntrimmed(QStringLiteral("\n x'\n")) +
                     SqlTimeOfDay(20 * 60 + 5),
                 QStringLiteral("'O''Neil'''' ''\n x''\n''20:05'"));
        const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
        QCOMPARE(SqlDateTime(when), QStringLiteral("'2026-03-04 05:06:07'"));
        QCOMPARE(ParseStoredDateTime(SqlDateTime(when).mid(1, 19)), when);
    }

    // Whatever the user types reaches the store unchanged and touches no other row; a deleted key is
    // never handed out again, and a failed statement or an unknown column is an error.
    void randomTextsAndTransactions() {
        test::TestDatabase db;
        const QStringList alphabet =
            QStringLiteral("a b ' \" - ; % _ \\ \t \u00e9 \u00fc \u661f \U0001F600 -- /* ''")
                .split(QLatin1Char(' '));
        QRandomGenerator rng(20261206);
        const int before = db.count(QStringLiteral("Genres"));
        const QString others =
            QStringLiteral("Select Group_Concat(Genre_Name) From Genres Where Genre_ID <= %1");
        const QVariant old = db.scalar(others.arg(before));
        for (int i = 1; i <= 200; ++i) {
            QString text;
            for (int k = 0, length = i == 1 ? 5000 : int(rng.bounded(1, 40)); k < length; ++k)
                text.append(alphabet.at(rng.bounded(alphabet.size())));
            text = text.trimmed().isEmpty() ? QStringLiteral("'; Drop Table Genres; --") : text.trimmed();
            Db().execute(QStringLiteral("Insert Into Genres (Genre_Name) VALUES(") + SqlText(text) + ')');
            const QString where = QStringLiteral(" Where Genre_ID = %1").arg(before + i);
            Db().execute(QStringLiteral("Update Genres Set Genre_Name = ") + SqlText(text + "'x") + where);
            QCOMPARE(db.scalar(QStringLiteral("Select Genre_Name From Genres") + where).toString(),
                     text + "'x");
        }
        QCOMPARE(db.count(QStringLiteral("Genres")), before + 200);
        QCOMPARE(db.scalar(others.arg(before)), old);

        Db().execute(QStringLiteral("Insert Into Genres (Genre_Name) VALUES('gone')"));
        Db().execute(QStringLiteral("Delete From Genres Where Genre_Name = 'gone'"));
        Db().execute(QStringLiteral("Insert Into Genres (Genre_Name) VALUES('again')"));
        QCOMPARE(db.scalar(QStringLiteral("Select Genre_ID From Genres Where Genre_Name = 'again'")).toInt(),
                 before + 202);
        QVERIFY_THROWS_EXCEPTION(DbError, Db().execute(QStringLiteral("Select * From NoSuchTable")));
        RowSet rows = Db().execute(QStringLiteral("Select Genre_ID From Genres"));
        QVERIFY_THROWS_EXCEPTION(DbError, rows.value(QStringLiteral("Genre_Name")));
    }

    // Keys a numeric field lets through (the key itself) or swallows (0); two decimals where a point
    // is allowed. (Minus after the first character or not allowed, letters, blanks, a point where none
    // is allowed and other control keys: controls_test, typing.)
    void numericKeysAndTexts() {
        struct Case {
            const char *text, *selected;
            int caret, key;
            bool minus, point;
            int expected;
        };
        const Case cases[] = {
            {"-3", "", 0, 45, true, false, 0},    {"-3", "-", 0, 45, true, false, 45},
            {"12", "", 2, 46, false, true, 46},   {"1.2", "", 3, 46, false, true, 0},
            {"1.2", ".", 1, 46, false, true, 46}, {"-1", "", 0, 46, true, true, 0},
            {"1.2", "", 3, 51, false, true, 51},  {"1.23", "", 4, 51, false, true, 0},
            {"1.23", "", 0, 51, false, true, 51}, {"12", "", 2, 8, false, false, 8},
        };
        for (const Case& c : cases)
            QVERIFY2(FilterNumericKey(
                         NumericField{QString::fromLatin1(c.text), c.caret, QString::fromLatin1(c.selected)},
                         c.key, c.minus, c.point, c.point ? 2 : 0) == c.expected,
                     qPrintable(QStringLiteral("%1 key %2").arg(QLatin1String(c.text)).arg(c.key)));
        QVERIFY(IsAcceptableNumericText(QStringLiteral("-300"), true, false, 0));
        QVERIFY(IsAcceptableNumericText(QString(), false, false, 0));
        for (const char* bad : {"-300", "3-00", "12a", " 12", "1.5"})
            QVERIFY2(!IsAcceptableNumericText(QString::fromLatin1(bad), *bad != '-', false, 0), bad);
    }
};

QTEST_GUILESS_MAIN(SqlTextTest)
#include "sqltext_test.moc"
