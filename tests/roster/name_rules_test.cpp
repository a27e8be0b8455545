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

class NameRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // In every dialog that names an entry, a name that differs from a stored one only in capitals or
    // blanks is refused naming the stored one; titles count per division, entries per field.
    void duplicateNamesRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("table");
        for (const char* kind : {"Divisions", "Games", "Genres", "GameTypes", "ConnectionTypes", "Titles"})
            QTest::newRow(kind) << kind << kind;
        QTest::newRow("custom entry") << QString("Custom") << QString("CustomFields");
    }
    void duplicateNamesRefused() {
        QFETCH(QString, kind);
        QFETCH(QString, table);
        test::TestDatabase db;
        test::RecordingSink sink;
        const qint32 division = test::InsertDivision("Alpha", test::InsertGame("Chess"));
        const auto add = [&](const QString& name, int list) {
            if (kind == "Divisions")
                return SaveDivision("Add", 0, DivisionEntry{name, 1, true, {}});
            if (kind == "Games")
                return SaveGame("Add", 0, GameEntry{name, 1, 1, {}});
            if (kind == "Genres" || kind == "GameTypes")
                return SaveCatalogueEntry("Add", CatalogueKindOf(kind == "Genres" ? "Genre" : "Game Type"), 0,
                                          name);
            if (kind == "ConnectionTypes")
                return SaveConnectionType("Add", 0, name);
            if (kind == "Titles")
                return SaveTitle("Add", 0,
                                 TitleEntry{"Alpha", list == 1 ? division : test::InsertDivision("B"), name});
            return SaveCustomEntry("Add", list, 0, name, "Weapon");
        };
        QVERIFY(add("Bravo Team", 1));
        const int rows = db.count(table);
        QVERIFY(!add("  bravo   TEAM ", 1));
        QCOMPARE(sink.last().title, kDuplicateNameTitle);
        QVERIFY2(sink.last().text.startsWith(QString("There is already a ")), qPrintable(sink.last().text));
        QVERIFY(sink.last().text.contains("named \"Bravo Team\"."));
        QCOMPARE(db.count(table), rows);
        if (kind == "Titles" || kind == "Custom")
            QVERIFY(add("Bravo Team", 2));
    }

    // A player named like another but for capitals or blanks, or an address not shaped like
    // name@example.com, is refused with its line; the player being edited keeps its own name.
    void playerNamesAndAddresses_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("expected"); // empty: accepted
        const auto row = [](const char* tag, const char* name, const char* email, const char* expected) {
            QTest::newRow(tag) << QString(name) << QString(email) << QString(expected);
        };
        row("fine", "Walker", "walker@example.com", "");
        row("same name", " zedwalker ", "",
            "The online name \"zedwalker\" is already used by the player \"ZedWalker\"\n");
        row("words", "Walker", "not an email", "The e-mail address \"not an email\" is not a valid");
        row("no domain", "Walker", "walker@home", "is not a valid address");
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
        QCOMPARE(PlayerRosterRulesMessage(p, 0).value_or(QString()).contains(expected), true);
        QCOMPARE(PlayerRosterRulesMessage(p, 0).has_value(), !expected.isEmpty());
        p.onlineName = "zedwalker";
        p.emailSecondary.clear();
        QVERIFY(!PlayerRosterRulesMessage(p, zed));
    }
};

QTEST_MAIN(NameRulesTest)
#include "name_rules_test.moc"
