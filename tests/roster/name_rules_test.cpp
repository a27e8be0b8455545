#include "data/CustomFields.h"
#include "data/NameRules.h"
#include "roster/ConnectionTypes.h"
#include "roster/DivisionStore.h"
#include "roster/GameStore.h"
#include "roster/GenreStore.h"
#include "roster/PlayerRules.h"
#include "roster/TitleStore.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"

using namespace rm;

namespace {

// The OK step of one kind of dialog for a name: "Add", or "Edit" of the row `key`.
bool save(const QString& kind, const QString& mode, qint32 key, const QString& name, qint32 division) {
    if (kind == "division")
        return SaveDivision(mode, key, DivisionEntry{name, test::InsertGame("Any"), true, QString()});
    if (kind == "game")
        return SaveGame(mode, key, GameEntry{name, 1, 1, QString()});
    if (kind == "genre")
        return SaveCatalogueEntry(mode, CatalogueKind::Genre, key, name);
    if (kind == "game type")
        return SaveCatalogueEntry(mode, CatalogueKind::GameType, key, name);
    if (kind == "connection")
        return SaveConnectionType(mode, key, name);
    if (kind == "title")
        return SaveTitle(mode, key, TitleEntry{QStringLiteral("Bravo Team"), division, name});
    return SaveCustomEntry(mode, 1, key, name, QStringLiteral("Weapon"));
}

// The key of the row of `table` whose name column is `name`.
qint32 keyOf(const QString& kind, const QString& name) {
    static const QHash<QString, QString> sql{
        {"division", "Select Division_ID From Divisions Where Division_Name = "},
        {"game", "Select Game_ID From Games Where Game_Name = "},
        {"genre", "Select Genre_ID From Genres Where Genre_Name = "},
        {"game type", "Select Type_ID From GameTypes Where Type_Description = "},
        {"connection", "Select Connection_ID From ConnectionTypes Where Connection_Name = "},
        {"title", "Select Title_ID From Titles Where Title_Description = "},
        {"custom", "Select Custom_ID From CustomFields Where Custom_FieldText = "}};
    return Db().scalar(sql.value(kind) + SqlText(name)).toInt();
}

} // namespace

class NameRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A name that differs from a stored one only in capitals or blanks is refused naming the stored
    // one; the entry itself may change its capitals; another field or division is another list.
    void duplicateNamesRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        for (const char* kind : {"division", "game", "genre", "game type", "connection", "title", "custom"})
            QTest::newRow(kind) << kind << "Bravo Team"
                                << "  bravo   TEAM ";
    }
    void duplicateNamesRefused() {
        QFETCH(QString, kind);
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        test::TestDatabase db;
        test::RecordingSink sink;
        const qint32 division = test::InsertDivision("Bravo Team", test::InsertGame("Chess"));
        const qint32 other = test::InsertDivision("Other", test::InsertGame("Go"));
        if (kind != "division")
            QVERIFY(save(kind, "Add", 0, stored, division));
        const qint32 key = keyOf(kind, stored);
        QVERIFY(key > 0);
        sink.clear();

        QVERIFY(!save(kind, "Add", 0, typed, division));
        QCOMPARE(sink.last().title, kDuplicateNameTitle);
        QVERIFY2(sink.last().text.contains("named \"Bravo Team\""), qPrintable(sink.last().text));
        QCOMPARE(keyOf(kind, typed.trimmed()), 0);

        // Renaming the entry itself to other capitals is fine.
        QVERIFY(save(kind, "Edit", key, "BRAVO team", division));
        QCOMPARE(keyOf(kind, "BRAVO team"), key);

        // Titles are kept apart per division, custom entries per field.
        if (kind == "title")
            QVERIFY(SaveTitle("Add", 0, TitleEntry{"Other", other, "Bravo Team"}));
        if (kind == "custom")
            QVERIFY(SaveCustomEntry("Add", 2, 0, "Bravo Team", "Role"));
    }

    // A second player whose name differs only in capitals or blanks, or an address not shaped
    // local@domain, gets the "Data Validation" lines; the player itself may be saved again.
    void playerNamesAndAddresses_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("expected"); // empty: accepted
        QTest::newRow("fine") << "Walker"
                              << "walker@example.com"
                              << "";
        QTest::newRow("same name") << " zedwalker "
                                   << ""
                                   << "The online name \"zedwalker\" is already used by the player "
                                      "\"ZedWalker\"\n";
        QTest::newRow("words") << "Walker"
                               << "not an email"
                               << "The e-mail address \"not an email\" is not a valid address (it reads "
                                  "like name@example.com)\n";
        QTest::newRow("no domain") << "Walker"
                                   << "walker@home"
                                   << "is not a valid address";
        QTest::newRow("two @") << "Walker"
                               << "a@b@c.org"
                               << "is not a valid address";
    }
    void playerNamesAndAddresses() {
        QFETCH(QString, name);
        QFETCH(QString, email);
        QFETCH(QString, expected);
        test::TestDatabase db;
        const qint32 zed = test::InsertPlayerRow("ZedWalker");
        PlayerRecord p;
        p.onlineName = name;
        p.emailSecondary = email;
        const std::optional<QString> message = PlayerRosterRulesMessage(p, 0);
        QCOMPARE(message.has_value(), !expected.isEmpty());
        if (message)
            QVERIFY2(message->contains(expected), qPrintable(*message));
        p.onlineName = "zedwalker";
        p.emailSecondary.clear();
        QVERIFY(!PlayerRosterRulesMessage(p, zed));
    }
};

QTEST_MAIN(NameRulesTest)
#include "name_rules_test.moc"
