#include "roster/RosterCsv.h"
#include "roster/RosterExport.h"
#include "roster/RosterImport.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"

using namespace rm;

namespace {

CsvTable table(const QByteArray& csv) {
    CsvReadResult read = ReadCsv(csv);
    if (!read.table)
        qFatal("unreadable test file: %s", qPrintable(read.problem));
    return *read.table;
}

ImportPreview preview(const QByteArray& csv, bool create = false) {
    const CsvTable t = table(csv);
    return BuildImportPreview(t, AutoMapping(t.header), create);
}

// The roster by names, so that two databases with other keys compare equal.
QString RosterByNames() {
    return test::DumpRows(
        {QStringLiteral(
             "Select Player_OnlineName, Player_RealName, Player_EmailPrimary, Connection_Name, TZ_Name, "
             "Player_Notes, Player_Active, Custom_FieldText, Player_Discord From Players "
             "Left Join ConnectionTypes On Connection_ID = Player_Connection "
             "Left Join TimeZones On TZ_ID = Player_TimeZone "
             "Left Join CustomFields On Custom_ID = Player_CustomDrop2 Order By Player_OnlineName"),
         QStringLiteral("Select Player_OnlineName, Division_Name, Title_Description From Members "
                        "Join Players On Player_ID = Member_Player_ID Join Divisions On Division_ID = "
                        "Member_Division_ID Left Join Titles On Title_ID = Member_Title Order By 1, 2"),
         QStringLiteral("Select Player_OnlineName, Schedule_Day, Schedule_StartTime, Schedule_EndTime From "
                        "Schedules Join Players On Player_ID = Schedule_Player Order By 1, 2, 3")});
}

const QByteArray kHeader = "Online Name,Real Name,E-Mail,Time Zone,Connection,Divisions,Custom List 2,Active,"
                           "Notes,Monday,Saturday\r\n";

} // namespace

class RosterCsvTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestDatabase> db;

private Q_SLOTS:
    void init() {
        db = std::make_unique<test::TestDatabase>();
        const qint32 game = test::InsertGame("Quake");
        test::InsertTitle(test::InsertDivision("Alpha", game), "Captain");
        test::InsertDivision("R&D, \"East\"", game);
    }
    void cleanup() { db.reset(); }

    void parsing_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("expected"); // records as line:field|field, or the problem's start
        // clang-format off
        QTest::newRow("quoted commas, quotes, line breaks; CRLF") << QByteArray("a,b\r\n\"x, y\",\"say \"\"hi\"\"\"\r\n\"two\r\nlines\",z\r\n") << "1:a|b 2:x, y|say \"hi\" 3:two\r\nlines|z";
        QTest::newRow("BOM, semicolons, LF, blank line, no final break") << QByteArray("\xEF\xBB\xBFName;Zone\n\nÅsa;+05:30\n\"a;b\";c") << "1:Name|Zone 3:Åsa|+05:30 4:a;b|c";
        QTest::newRow("10,000-character field") << "Notes\n\"" + QByteArray(10000, 'x') + "\"" << "1:Notes 2:" + QString(10000, QLatin1Char('x'));
        QTest::newRow("binary") << QByteArray("PK\x03\x04\x00\xff\xfe", 7) << "The file is not a CSV text file";
        QTest::newRow("not UTF-8") << QByteArray("Name\n\xe9t\xe9\n") << "The file is not a CSV text file";
        QTest::newRow("empty") << QByteArray() << "The file is empty.";
        QTest::newRow("BOM and blanks only") << QByteArray("\xEF\xBB\xBF \r\n") << "The file is empty.";
        QTest::newRow("header only") << QByteArray("Online Name,Zone\r\n") << "The file holds only a header";
        QTest::newRow("unclosed quote") << QByteArray("a\n\"open\nb\n") << "The file ends inside a quoted field";
        QTest::newRow("stray quote") << QByteArray("a\nb\nx\"y\n") << "Line 3 cannot be read as CSV";
        // clang-format on
    }
    void parsing() {
        QFETCH(QByteArray, csv);
        QFETCH(QString, expected);
        const CsvReadResult read = ReadCsv(csv);
        if (!read.table) {
            QVERIFY2(read.problem.startsWith(expected), qPrintable(read.problem));
            return;
        }
        QStringList records{"1:" + read.table->header.join(QLatin1Char('|'))};
        for (const CsvRecord& r : read.table->rows)
            records << QString::number(r.line) + QLatin1Char(':') + r.fields.join(QLatin1Char('|'));
        QCOMPARE(records.join(QLatin1Char(' ')), expected);
    }

    void mappingAndProblems() {
        QCOMPARE(AutoMapping({"Nick", "e-mail", "TIME ZONE", "Mon", "Shoe size", "name", "Custom List 2"}),
                 (QList<ImportField>{ImportField::OnlineName, ImportField::EmailPrimary,
                                     ImportField::TimeZone, ImportField::Monday, ImportField::None,
                                     ImportField::None, ImportField::CustomDrop2}));
        const ImportPreview p =
            preview(kHeader + ",Nobody,,GMT\r\n"                      // 2
                              "Ann,,ann@x,Mars\r\n"                   // 3
                              "Bob,,,UTC+1,,,,maybe,,25:00-26:00\r\n" // 4
                              "ann,,,+05:30,Pigeon,Omega: Boss\r\n"   // 5
                              "Cy,,,UTC-3,,\"Alpha: Captain|R&D, \"\"East\"\"\",,no,,,20:00-24:00\r\n"
                              "Dee,,,,,,,,,,,x\r\n"
                              "Eve,,,GMT,,,,,,22:00-02:00\r\n");
        const QStringList lines = PreviewProblemLines(p);
        for (const char* expected :
             {"Line 2: the online name is missing", "Line 3: the e-mail address \"ann@x\" is not a valid",
              "Line 3: the time zone \"Mars\" is not in the catalogue", "Line 4: the active value \"maybe\"",
              "Line 4: the Monday stretches \"25:00-26:00\" cannot be read",
              "Line 5: the online name \"ann\" is already on line 3",
              "Line 5: the connection \"Pigeon\" does not", "Line 5: the division \"Omega\" does not exist",
              "Line 7: the line has 12 fields but the header only 11",
              "Line 8: the Monday stretch \"22:00-02:00\" runs past midnight (end it at 24:00 and put the "
              "rest on Tuesday)"})
            QVERIFY2(lines.filter(QString::fromLatin1(expected)).size() == 1, expected);
        QCOMPARE(lines.filter("Line 6"), QStringList());
        QCOMPARE(p.count(ImportAction::New), 1);
        QCOMPARE(p.rows.at(4).days[6], QStringList{"20:00|24:00"});
        QVERIFY(!p.createsSomething());
        QVERIFY(!BuildImportPreview(table(kHeader + "a\r\n"), {ImportField::Notes}, false).problem.isEmpty());
    }

    // Missing names are created only with the agreement, and only for rows that are written.
    void creationAndUpdate() {
        const QByteArray csv =
            kHeader + "Ann,,,+05:30,Pigeon,Omega: Boss|Alpha,Tank\r\nBad,,,Mars,Copper,Zeta\r\n";
        QCOMPARE(preview(csv).count(ImportAction::Skip), 2);
        const ImportResult first = RunImport(preview(csv, true));
        QCOMPARE(std::pair(first.added, first.skipped), std::pair(1, 1));
        QCOMPARE(RosterByNames(), "Ann|||Pigeon|India||1|Tank|\nAnn|Alpha|\nAnn|Omega|Boss");
        QCOMPARE(db->count("Divisions"), 3); // not Zeta of the skipped row
        // A second file with fewer columns updates the same player and keeps what it does not name.
        RunImport(preview("name,notes\r\nANN,new notes\r\n"));
        QCOMPARE(RosterByNames(), "ANN|||Pigeon|India|new notes|1|Tank|\nANN|Alpha|\nANN|Omega|Boss");
    }

    // New divisions play the game named for them, found as names are found; else the first game.
    void gameOfNewDivisions() {
        const CsvTable t = table("name,divisions\r\nAnn,Bravo\r\n");
        const ImportPreview named = BuildImportPreview(t, AutoMapping(t.header), true, " quake ");
        QCOMPARE(named.divisionGame + "|" + named.newGame, "Quake|");
        test::InsertGame("Go");
        QCOMPARE(BuildImportPreview(t, AutoMapping(t.header), true).divisionGame, "Go");
        RunImport(named);
        QCOMPARE(db->scalar("Select Game_Name From Games, Divisions Where Division_Game = Game_ID And "
                            "Division_Name = 'Bravo'")
                     .toString(),
                 "Quake");
    }

    void failureKeepsTheFileAsItWas() {
        db->exec(
            QStringLiteral("Create Trigger refuse Before Insert On Players When NEW.Player_Custom1 = 'boom' "
                           "Begin Select RAISE(ABORT, 'refused'); End"));
        const QByteArray before = test::FileBytes(db->path());
        const ImportPreview p =
            preview("Online Name,Custom Field 1,Divisions,Sunday\r\nA,,Alpha,10:00-11:00\r\n"
                    "B,,New,\r\nC,boom,,\r\nD,,,\r\n",
                    true);
        QCOMPARE(p.count(ImportAction::New), 4);
        QVERIFY_THROWS_EXCEPTION(DbError, RunImport(p));
        QCOMPARE(test::FileBytes(db->path()), before);
    }

    void roundTrip() {
        const QByteArray csv =
            kHeader.chopped(2) + ",Discord ID\r\n" +
            QByteArray("\"O'Neil, \"\"Ace\"\"\",Åsa <Ström> & Co,a@b.se,Berlin,Cable,"
                       "\"Alpha: Captain|R&D, \"\"East\"\"\",,Yes,\"two\nlines\","
                       "20:00-22:00 22:30-23:30,00:00-01:30 23:30-24:00,234567890123456789\r\n"
                       "Владимир,李小龍,,India,,Alpha,,No,,06:00-07:00 23:30-24:00,\r\n"
                       "Nan,,,+05:45,,,,,,00:00-24:00,23:00-24:00\r\n"
                       "Ron,,,UTC-3,,,,,,,21:30-24:00\r\n"
                       "Gus,,,GMT,,,,,,23:30-24:00,23:30-24:00\r\n");
        RunImport(preview(csv, true));
        const QString original = RosterByNames();
        QVERIFY(original.contains(QStringLiteral(
            "O'Neil, \"Ace\"|Åsa <Ström> & Co|a@b.se|Cable|Berlin|two\nlines|1||234567890123456789\n")));
        // Stretches to midnight are stored whole: the last minute and the next day's midnight piece.
        for (const char* row : {"Gus|1|00:00|00:00", "Nan|2|00:00|18:15", "Ron|1|00:30|03:00",
                                "Владимир|2|18:00|18:30", "O'Neil, \"Ace\"|7|22:30|23:00"})
            QVERIFY2(original.contains(QString::fromUtf8(row)), row);
        const QByteArray exported = ExportRosterCsv({}, ';', true);
        RunImport(preview(exported, true)); // the same file again only updates
        QCOMPARE(RosterByNames(), original);

        db.reset();
        db = std::make_unique<test::TestDatabase>();
        test::InsertDivision("Alpha", test::InsertGame("Quake"));
        QCOMPARE(RunImport(preview(exported, true)).added, 5);
        QCOMPARE(RosterByNames(), original);
    }

    // Cells a spreadsheet would run as formulas are written as text, and come back exactly as stored.
    void formulaCellsRoundTrip() {
        for (const char* name : {"=HYPERLINK(\"x\")", "+1", "-dash", "@sum", "'=quoted", "''-two", "plain'"})
            test::InsertPlayerRow(QString::fromUtf8(name));
        db->exec("Update Players Set Player_Notes = '=cmd|'' /C calc''!A0' Where Player_OnlineName = '+1'");
        const QString original = RosterByNames();
        const QByteArray exported = ExportRosterCsv({}, ',', false);
        for (const char* cell : {"\n\"'=HYPERLINK(", "\n'+1,", "\n'-dash", "\n'@sum", "\n''=quoted",
                                 "\n'''-two", "\nplain',", ",'=cmd|"})
            QVERIFY2(exported.contains(cell), cell);
        db.reset();
        db = std::make_unique<test::TestDatabase>();
        QCOMPARE(RunImport(preview(exported, true)).added, 7);
        QCOMPARE(RosterByNames(), original);
    }
};

QTEST_GUILESS_MAIN(RosterCsvTest)
#include "roster_csv_test.moc"
