#include "comms/AvailabilityPage.h"
#include "comms/CalendarEvent.h"
#include "comms/HtmlExport.h"
#include "data/SafeFile.h"
#include "roster/RosterExport.h"
#include "support/SchedulingFixtures.h"
#include "support/TestKit.h"

using namespace rm;
using namespace rm::test;

namespace {

QString golden(const QString& name) {
    return QString::fromUtf8(
        FileBytes(qEnvironmentVariable("RALLYMARK_SOURCE_DIR") + "/tests/comms/" + name));
}

const ExportFields kAll{true, true, true, true, true, true, true, true, true, true};
const ExportFields kName{true, false, false, false, false, false, false, false, false, false};

// Compares line by line so a failure names the first line that differs.
void compareText(const QString& actual, const QString& expected) {
    const QStringList a = actual.split(QStringLiteral("\r\n")), e = expected.split(QStringLiteral("\r\n"));
    for (int i = 0; i < qMax(a.size(), e.size()); ++i)
        QCOMPARE(QString::number(i + 1) + a.value(i, "<end>"), QString::number(i + 1) + e.value(i, "<end>"));
}

} // namespace

class HtmlExportTest : public QObject {
    Q_OBJECT

private:
    FixedClock clock{QDateTime(QDate(2027, 1, 15), QTime(12, 0))};
    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::RecordingSink> sink;
    qint32 anvil = 0, zephyr = 0, inactive = 0;
    qint32 alpha = 0, bravo = 0, charlie = 0;

    qint32 addPlayer(const QString& name, const QString& zone, const QString& fromRealName) {
        return test::InsertRow(
            QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                           "Player_RealName, Player_EmailPrimary, Player_EmailSecondary, Player_ICQ, "
                           "Player_AIM, Player_Yahoo, Player_MSN, Player_Connection, Player_Notes, "
                           "Player_Custom1, Player_Custom2, Player_Custom3, Player_Custom4, "
                           "Player_CustomDrop1, Player_CustomDrop2, Player_CustomDrop3, "
                           "Player_CustomDrop4, Player_Update) Values(%1, '%2', 1, %3, "
                           "'2027-01-15 10:00:00')")
                .arg(db->zoneId(zone))
                .arg(name, fromRealName),
            "Players", "Player_ID");
    }
private Q_SLOTS:
    void init() {
        SetClock(&clock);
        db = std::make_unique<test::TestDatabase>();
        sink = std::make_unique<test::RecordingSink>();
        QVERIFY(!CurrentOptions().UserDaylightNow);

        // Anvil lives five hours behind GMT: Monday 17:00-22:00 local crosses GMT midnight and is
        // stored as two rows, Wednesday 08:00-09:30 as one.
        anvil = addPlayer(
            QStringLiteral("Anvil"), QStringLiteral("Bogota"),
            QStringLiteral("'  Andrew Smith ', ' anvil@example.com ', 'second@example.com', 123456, "
                           "'anvilaim', ' anvily ', 'anvil_msn', 3, ' Plays late. ', "
                           "'Sniper', ' Medic ', 'unused', '', 0, 4242, 0, 0"));
        test::AddScheduleRow(anvil, 2, 22 * 60, 23 * 60 + 59);
        test::AddScheduleRow(anvil, 3, 0, 3 * 60);
        test::AddScheduleRow(anvil, 4, 13 * 60, 14 * 60 + 30);
        zephyr = addPlayer("Zephyr", QStringLiteral("GMT"),
                           QStringLiteral("'', '', '', 0, '  ', '', '', 1, '', '', '', '', '', 0, 0, 0, 0"));
        inactive = InsertPlayerRow("Quiet", false, db->zoneId("GMT"));

        alpha = InsertDivision("Alpha", 1);
        bravo = InsertDivision("Bravo", 1);
        charlie = InsertDivision("Charlie", 1);
        InsertMember(anvil, bravo, 0);
        InsertMember(anvil, alpha, InsertTitle(alpha, " Captain "));
        InsertMember(anvil, charlie, 999); // a title row that no longer exists
    }

    void cleanup() {
        sink.reset();
        db.reset();
        SetClock(nullptr);
    }

    // The whole block with every box ticked, and with only the online name; a player without
    // schedule, ICQ 0, no memberships and an empty AIM name. Custom fields: the enabled ones only,
    // pick-list fields by their entry's text, a stale entry (4242) empty.
    void goldenBlocks() {
        Db().execute(QStringLiteral("Insert Into CustomFields (Custom_FieldNumber, Custom_FieldText) "
                                    "Values(1, ' Europe & Asia ')"));
        Db().execute(QStringLiteral("Update Players Set Player_CustomDrop1 = (Select MAX(Custom_ID) From "
                                    "CustomFields) Where Player_ID = %1")
                         .arg(anvil));
        OptionsRecord& o = CurrentOptions();
        o.CustomTextEnabled = {true, true, false, false};
        o.CustomTextTitle = {QStringLiteral("Role"), QStringLiteral("Class"), QString(), QString()};
        o.CustomDropEnabled = {true, true, false, true};
        o.CustomDropTitle = {QStringLiteral("Region"), QStringLiteral("Server"), QString(),
                             QStringLiteral("Clan <Rank>")};
        // A file holds the whole page; the screen shows the blocks alone.
        compareText(RosterPage(QStringLiteral("Night <Owls> & Co"), QDate(2027, 1, 15),
                               CreateHTMLByPlayer(kAll, {anvil, zephyr})),
                    golden(QStringLiteral("export_all.html")));
        compareText(CreateHTMLByPlayer(kName, {anvil, zephyr}), golden(QStringLiteral("export_name.html")));
        QCOMPARE(sink->count(), 0);
        // No custom field in use, and no online name: empty cells.
        o.CustomTextEnabled = o.CustomDropEnabled = {false, false, false, false};
        const QString block =
            PlayerBlock({false, false, false, false, false, false, false, false, false, true}, anvil);
        QVERIFY(block.contains(QStringLiteral("  <TR>\r\n    <TD COLSPAN=2>&nbsp;</TD>\r\n")));
        QVERIFY(block.contains(
            QStringLiteral("  </TR>\r\n  <TR>\r\n    <TD COLSPAN=3>&nbsp;</TD>\r\n  </TR>\r\n  <TR>\r\n")));
    }

    // Every field is escaped, and names in any script stand in the page once, as entered.
    void valuesAreEscaped() {
        const qint32 tag =
            addPlayer("<b>Bold</b>", QStringLiteral("GMT"),
                      QStringLiteral("'Bob \"The Bold\"', 'a<b>@x.com', '', 0, '<i>', '', '', 1, "
                                     "'<script>alert(1)</script>', '', '', '', '', 0, 0, 0, 0"));
        InsertMember(tag, alpha, InsertTitle(alpha, "\"Top\" & <Best>"));
        InsertMember(tag, InsertDivision("Fish & <Chips>"));
        Db().execute(
            QStringLiteral("Update Players Set Player_Discord = '<bob>' Where Player_ID = %1").arg(tag));
        const QStringList names{"<b>Bold</b>", "R&D \"Ace\"", "Åsa Ström",
                                "李小龍",      "Владимир",    "Fish & <Chips>"};
        QList<qint32> keys{tag};
        for (const QString& name : names.mid(1, 4))
            keys << InsertPlayerRow(name, true, db->zoneId(QStringLiteral("GMT")));
        const QString html = CreateHTMLByPlayer(kAll, keys);
        for (const char* part : {"<TD COLSPAN=3>Bob &quot;The Bold&quot;&nbsp;    </TD>",
                                 "<A HREF=\"mailto:a&lt;b&gt;@x.com\">a&lt;b&gt;@x.com</A>&nbsp;</TD>",
                                 "      AIM: &lt;i&gt;<BR>\r\n", "      Discord: &lt;bob&gt;<BR>\r\n",
                                 "          <TD>&quot;Top&quot; &amp; &lt;Best&gt;</TD>\r\n",
                                 "<B>Notes:</B> &lt;script&gt;alert(1)&lt;/script&gt;&nbsp;</TD>"})
            QVERIFY2(html.contains(QString::fromUtf8(part)), part);
        QVERIFY(!html.contains(QStringLiteral("<script>")) && !html.contains(QStringLiteral("<i>")));
        for (const QString& name : names) {
            QCOMPARE(html.count(HtmlEscape(name)), 1);
            QVERIFY(HtmlEscape(name) == name || !html.contains(name));
        }
    }

    void divisionsWriteEachPlayerOnce() {
        InsertMember(zephyr, bravo, 0);
        InsertMember(inactive, bravo, 0);
        InsertMember(zephyr, alpha, 0);
        InsertMember(zephyr, alpha, 0); // a duplicate membership row
        const QString html = CreateHTMLByDivision(kName, {alpha, bravo, charlie});
        QStringList names;
        for (const QString& l : html.split(QStringLiteral("\r\n")))
            if (l.startsWith(QStringLiteral("    <TD COLSPAN=2>")))
                names << l.mid(18).section(QLatin1Char('&'), 0, 0);
        // Alpha's members in store order, then Bravo's new one (inactive members too); Charlie adds none.
        QCOMPARE(names, (QStringList{"Anvil", "Zephyr", "Quiet"}));
        QCOMPARE(CreateHTMLByDivision(kName, {InsertDivision("Empty", 1)}), QString());
    }

    // Every file the program writes: a write that fails part-way (as on a full disk) leaves the
    // earlier file byte for byte as it was and nothing beside it; the message names file and reason.
    void failedWriteKeepsTheEarlierFile_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"csv", "htm", "ics", "page"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void failedWriteKeepsTheEarlierFile() {
        QFETCH(QString, kind);
        // A player's availability page is written under the player's name.
        const QString name = kind == "page" ? AvailabilityPageFileName("kept") : "kept." + kind;
        const QString path = QDir(db->folder()).filePath(name);
        const auto write = [&]() -> QString {
            QString error;
            try {
                if (kind == "csv")
                    SaveRosterCsv(path, {}, ',', false);
                else if (kind == "htm")
                    WriteExportFile(path, QString(500, 'x'));
                else if (kind == "page")
                    error =
                        WriteAvailabilityPages(db->folder(), {{test::InsertPlayerRow("kept"), "kept", {}}})
                            .section(": ", 1);
                else
                    WriteCalendarFile(path, QByteArray(500, 'x'), &error);
            } catch (const DbError& e) {
                error = e.description();
            } catch (const ExportError& e) {
                error = e.description();
            }
            return error;
        };
        QCOMPARE(write(), kind == "page" ? name + "\n" : QString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        SetWriteFailureAfter(100);
        const QString message = write();
        SetWriteFailureAfter(std::nullopt);
        QVERIFY2(message.contains(path) && message.contains("No space left on device"), qPrintable(message));
        QVERIFY(file.seek(0));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(QDir(db->folder()).entryList({"*kept*"}, QDir::Files | QDir::Hidden), QStringList{name});
    }
};

QTEST_GUILESS_MAIN(HtmlExportTest)
#include "htmlexport_test.moc"
