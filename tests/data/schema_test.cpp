// The rallymark-newdb tool, run as a user would run it, and the upgrade of files made by the previous
// version: the newer Options columns are added with their defaults, every row and value stays, and a
// refused upgrade leaves the file as it was; then the loading of the Options record.

#include "data/Schema.h"
#include "data/StarterDatabase.h"
#include "data/Startup.h"
#include "roster/PlayerStore.h"
#include "roster/ScheduleStorage.h"
#include "support/SchedulingFixtures.h"
#include "support/TestKit.h"
#include "time/Daylight.h"
#include "time/TimeText.h"

#include <QSqlRecord>

using namespace rm;

namespace {

int runNewDb(const QStringList& args, QString* err = nullptr) {
    QProcess p;
    p.start(qEnvironmentVariable("RALLYMARK_NEWDB"), args);
    const bool finished = p.waitForFinished(60000);
    if (err)
        *err = QString::fromLocal8Bit(p.readAllStandardError());
    return finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

const QStringList kNewColumns{
    "Options_SMTPSecurity", "Options_SMTPUserName", "Options_SMTPUseLogin", "Options_SMTPAllowPlainLogin",
    "Options_MatchLength",  "Options_ReplyToken",   "Player_ReplyPage",     "Player_ReplyMoment",
    "Player_Discord"};

// A database as the previous version wrote it, with some rows of its own; `damage` runs on it last.
QString WritePreviousVersionFile(const QTemporaryDir& dir, const char* damage = nullptr) {
    const QString path = QDir(dir.path()).filePath(QStringLiteral("ClanRoster.mdb"));
    DbConnection db;
    if (!CreateStarterDatabase(path, nullptr) || !db.open(path))
        qFatal("cannot write %s", qPrintable(path));
    db.execute(QStringLiteral("Update Options Set Options_Name = 'Zed''s Clan', Options_SMTPServer = "
                              "'mail.example.org', Options_SMTPPort = 2525, Options_MaxResults = 7"));
    db.execute(QStringLiteral("Insert Into Players (Player_OnlineName, Player_TimeZone, Player_Active) "
                              "Values('Amy', 3, 1)"));
    db.execute(QStringLiteral("Insert Into Schedules Values(1, 2, '20:00', '23:30')"));
    for (const QString& column : kNewColumns)
        db.execute(QStringLiteral("Alter Table %1 Drop Column %2")
                       .arg(column.startsWith("Player_") ? "Players" : "Options", column));
    db.execute(QStringLiteral("Alter Table TimeZones Drop Column TZ_IANA"));
    db.execute(QStringLiteral("PRAGMA user_version = 0"));
    if (damage)
        db.execute(QString::fromLatin1(damage));
    return path;
}

// Every row of every table, as text, so that nothing is lost in the upgrade.
QString Dump(DbConnection& db, const QStringList& skipColumns = {}) {
    QString out;
    for (const QString& table : SchemaTableNames()) {
        QSqlQuery q(db.database());
        if (!q.exec(QStringLiteral("Select * From %1").arg(table)))
            return table + QStringLiteral(" unreadable");
        while (q.next()) {
            out += table;
            for (int i = 0; i < q.record().count(); ++i)
                if (!skipColumns.contains(q.record().fieldName(i)))
                    out += QLatin1Char('|') + q.value(i).toString();
            out += QLatin1Char('\n');
        }
    }
    return out;
}

} // namespace

class SchemaTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void createsExactSchemaAndStarterContents() {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("ClanRoster.mdb"));
        QVERIFY(runNewDb({}) != 0);
        QCOMPARE(runNewDb({path}), 0);
        DbConnection db;
        QVERIFY(db.open(path));

        // Every table, by name, with its columns in order.
        QCOMPARE(
            db.scalar(QStringLiteral(
                          "Select Group_Concat(t.name || ':' || (Select Group_Concat(' ' || c.name, '') "
                          "From pragma_table_info(t.name) c) || char(10), '') From (Select name From "
                          "sqlite_master Where type = 'table' And name Not Like 'sqlite%' Order By name) t"))
                .toString(),
            QStringLiteral(
                "ConnectionTypes: Connection_ID Connection_Name\n"
                "CustomFields: Custom_ID Custom_FieldNumber Custom_FieldText\n"
                "Divisions: Division_ID Division_Name Division_Game Division_Active Division_Notes "
                "Division_Update\n"
                "GameTypes: Type_ID Type_Description\n"
                "Games: Game_ID Game_Name Game_Type Game_Genre Game_Notes\n"
                "Genres: Genre_ID Genre_Name\n"
                "Members: Member_Player_ID Member_Division_ID Member_Title\n"
                "Options: Options_ID Options_Name Options_Email Options_TimeZone Options_DST "
                "Options_MaxResults Options_BestTimesGranularity Options_DisableConfirmations "
                "Options_EnableICQStatus Options_Time_Format Options_Custom1_Text_Title "
                "Options_Custom2_Text_Title Options_Custom3_Text_Title Options_Custom4_Text_Title "
                "Options_Custom1_Text_Enabled Options_Custom2_Text_Enabled Options_Custom3_Text_Enabled "
                "Options_Custom4_Text_Enabled Options_Custom1_Drop_Title Options_Custom2_Drop_Title "
                "Options_Custom3_Drop_Title Options_Custom4_Drop_Title Options_Custom1_Drop_Enabled "
                "Options_Custom2_Drop_Enabled Options_Custom3_Drop_Enabled Options_Custom4_Drop_Enabled "
                "Options_EnableEmails Options_SMTPServer Options_SMTPPort Options_ReplyToName "
                "Options_ReplyAddress Options_SMTPSecurity Options_SMTPUserName Options_SMTPUseLogin "
                "Options_SMTPAllowPlainLogin Options_MatchLength Options_ReplyToken\n"
                "Players: Player_ID Player_TimeZone Player_OnlineName Player_Active Player_RealName "
                "Player_EmailPrimary Player_EmailSecondary Player_ICQ Player_AIM Player_Yahoo Player_MSN "
                "Player_Connection Player_Notes Player_Custom1 Player_Custom2 Player_Custom3 "
                "Player_Custom4 Player_CustomDrop1 Player_CustomDrop2 Player_CustomDrop3 "
                "Player_CustomDrop4 Player_Update Player_Discord Player_ReplyPage Player_ReplyMoment\n"
                "Schedules: Schedule_Player Schedule_Day Schedule_StartTime Schedule_EndTime\n"
                "SchedulingWork: WS_Time WS_Day WS_PlayerCount WS_Players\n"
                "Templates: Template_ID Template_Name Template_Content\n"
                "TimeZones: TZ_ID TZ_Name TZ_Description TZ_GMT_Offset TZ_Daylight_Savings TZ_IANA\n"
                "Titles: Title_ID Title_Division Title_Description\n"));
        QVERIFY(!CheckSchema(db));
        // Every new file has a token of its own for the players' availability replies.
        QVERIFY(db.scalar(QStringLiteral("Select Options_ReplyToken From Options")).toLongLong() > 0);

        // One Options row, no players, and the starter catalogues with their odd offsets and rules.
        QCOMPARE(db
                     .scalar(QStringLiteral(
                         "Select Options_ID || ',' || Options_BestTimesGranularity || ',' || "
                         "Options_MaxResults || ',' || Options_Time_Format || ',' || Options_EnableEmails "
                         "|| ',' || Options_SMTPPort || ',' || TZ_Name || ',' || (Select COUNT(*) From "
                         "Players) || ',' || (Select COUNT(*) >= 40 From TimeZones) || ',' || (Select "
                         "Min((Select COUNT(*) From Genres), (Select COUNT(*) From GameTypes), (Select "
                         "COUNT(*) From ConnectionTypes)) > 0) || ',' || (Select COUNT(*) From Options) From "
                         "Options Left Join TimeZones On TZ_ID = Options_TimeZone"))
                     .toString(),
                 QStringLiteral("1,30,20,1,0,25,GMT,0,1,1,1"));
        QCOMPARE(
            db.scalar(QStringLiteral("Select Group_Concat(TZ_Name || TZ_GMT_Offset || TZ_Daylight_Savings, "
                                     "' ') From (Select * From TimeZones Where TZ_Name In ('St Johns', "
                                     "'Eastern', 'Hawaii', 'Berlin', 'India', 'Kathmandu', 'Tokyo', "
                                     "'Auckland') Order By TZ_GMT_Offset Desc)"))
                .toString(),
            QStringLiteral("Hawaii600N Eastern300U St Johns210U Berlin-60E India-330N Kathmandu-345N "
                           "Tokyo-540N Auckland-720N"));
        db.close();
        // A second run refuses and leaves the file as it was.
        const QByteArray before = test::FileBytes(path);
        QString err;
        QVERIFY(runNewDb({path}, &err) != 0 && err.contains(QStringLiteral("already exists")));
        QCOMPARE(test::FileBytes(path), before);
    }

    // A refused upgrade leaves the file byte for byte as it was; the real one keeps every row and
    // value, and a second opening has nothing left to do. A damaged file is not touched.
    void upgradeKeepsEveryRowOrChangesNothing() {
        QTemporaryDir dir;
        const QString path = WritePreviousVersionFile(dir);
        const QByteArray original = test::FileBytes(path);
        QString before;
        {
            DbConnection db;
            QVERIFY(db.open(path));
            QVERIFY(CheckSchema(db)); // the previous layout lacks the new columns
            before = Dump(db);
            db.execute(QStringLiteral("PRAGMA query_only = 1")); // the store refuses every change
            const std::optional<QString> problem = UpgradeSchema(db);
            QVERIFY(problem && problem->contains(QStringLiteral("could not be brought up to date")) &&
                    problem->contains(QStringLiteral("readonly")));
        }
        QCOMPARE(test::FileBytes(path), original);

        SetApplicationFolder(dir.path());
        QVERIFY(!OpenDatabaseAndLoadOptions());
        QVERIFY(!CheckSchema(Db()));
        QCOMPARE(Dump(Db(), kNewColumns + QStringList{"TZ_IANA"}), before);
        const OptionsRecord& o = CurrentOptions();
        QCOMPARE(o.UserName + QString::asprintf("|%d|%d|%d|%d", o.SMTPPort, o.SMTPSecurity, o.SMTPUseLogin,
                                                o.MatchLength),
                 QStringLiteral("Zed's Clan|2525|0|0|120"));
        QVERIFY(Db().scalar(QStringLiteral("Select Options_ReplyToken From Options")).toLongLong() > 0);
        QCOMPARE(Db().scalar(QStringLiteral("Select Player_Discord From Players")).toString(), QString());
        const QByteArray upgraded = test::FileBytes(path);
        QVERIFY(!UpgradeSchema(Db()));
        Db().close();
        QCOMPARE(test::FileBytes(path), upgraded);
        SetApplicationFolder(QString());

        // A file that lacks a column of the previous version is no Rallymark file to upgrade.
        QTemporaryDir damagedDir;
        const QString damaged =
            WritePreviousVersionFile(damagedDir, "Alter Table Players Drop Column Player_Notes");
        const QByteArray damagedBytes = test::FileBytes(damaged);
        QVERIFY(Db().open(damaged));
        QVERIFY(!UpgradeSchema(Db()));
        Db().close();
        QCOMPARE(test::FileBytes(damaged), damagedBytes);
    }

    // Weeks saved by the previous version in both daylight states read, after the upgrade, exactly as
    // the player window showed them just before it, on any later date.
    void upgradeKeepsEveryWeekAsShown_data() {
        QTest::addColumn<QDateTime>("upgradedOn");
        QTest::newRow("in the European summer") << QDateTime(QDate(2026, 7, 1), QTime(12, 0));
        QTest::newRow("in the European winter") << QDateTime(QDate(2026, 1, 20), QTime(12, 0));
    }
    void upgradeKeepsEveryWeekAsShown() {
        QFETCH(QDateTime, upgradedOn);
        QTemporaryDir dir;
        QVERIFY(Db().open(WritePreviousVersionFile(dir)));
        Db().execute(QStringLiteral("Delete From Schedules"));
        Db().execute(QStringLiteral("Update Options Set Options_DST = 'E'")); // a leader in Europe
        // The shift of a zone on a day, with the leader's European daylight state of that day.
        const auto shift = [](qint32 offset, const QString& code, const QDateTime& day) {
            return offset - (IsRuleInEffect(code, day) ? 60 : 0) +
                   (IsRuleInEffect(QStringLiteral("E"), day) ? 60 : 0);
        };
        QRandomGenerator random(7);
        QList<std::tuple<qint32, qint32, WeekLists>> shownBefore; // player, zone, week
        for (RowSet z =
                 Db().execute(QStringLiteral("Select * From TimeZones Where TZ_Name In ('Eastern', "
                                             "'Berlin', 'Tokyo', 'Sydney', 'India', 'Santiago', 'GMT')"));
             !z.eof(); z.moveNext()) {
            const qint32 zone = z.integer(QStringLiteral("TZ_ID")),
                         offset = z.integer(QStringLiteral("TZ_GMT_Offset"));
            const QString code = z.text(QStringLiteral("TZ_Daylight_Savings"));
            for (const QDate& saved : {QDate(2025, 7, 10), QDate(2025, 12, 10)}) {
                const qint32 key =
                    test::InsertPlayerRow(QStringLiteral("P%1").arg(shownBefore.size()), true, zone);
                WeekLists week{};
                for (int d = 0; d < 7; ++d)
                    if (random.bounded(2))
                        week[d] << FormatStretch(30 * random.bounded(20), 30 * (20 + random.bounded(29)));
                // Saved with the daylight states of the day of saving, as the previous version did.
                const QList<ScheduleRow> rows =
                    LocalToStored(week, shift(offset, code, QDateTime(saved, QTime(12, 0))));
                for (const ScheduleRow& r : rows)
                    test::AddScheduleRow(key, r.day, r.start, r.end);
                // What the player window showed on the day of the upgrade.
                shownBefore << std::tuple(key, zone, StoredToLocal(rows, shift(offset, code, upgradedOn)));
            }
        }
        Db().close();
        FixedClock clock(upgradedOn);
        SetClock(&clock);
        SetApplicationFolder(dir.path());
        QVERIFY(!OpenDatabaseAndLoadOptions());
        QCOMPARE(
            Db().scalar(QStringLiteral("Select TZ_IANA From TimeZones Where TZ_Name = 'Sydney'")).toString(),
            QStringLiteral("Australia/Sydney"));
        QCOMPARE(shownBefore.size(), 14);
        for (const QDateTime& later : {upgradedOn.addMonths(3), upgradedOn.addMonths(6)}) {
            clock.set(later);
            for (const auto& [key, zone, week] : std::as_const(shownBefore))
                QCOMPARE(LoadPlayerSchedule(key, zone), week);
        }
        Db().close();
        SetApplicationFolder(QString());
        SetClock(nullptr);
    }

    // Stored values out of range load as the defaults; text is trimmed; a missing row keeps the values and a
    // broken store is reported.
    void loadedValues() {
        test::TestDatabase db;
        test::RecordingSink sink;
        const auto loaded = [] {
            LoadOptions();
            const OptionsRecord& o = CurrentOptions();
            return o.UserName + '|' + o.UserEmail +
                   QString::asprintf("|%d|%d|%d|%d|%d", o.MaxResults, o.BestTimesGranularity,
                                     int(o.TimeFormat), int(o.UserDaylightNow), int(o.SMTPPort));
        };
        db.exec(QStringLiteral(
            "Update Options Set Options_Name = '  ', Options_Email = '', Options_MaxResults = 0, "
            "Options_BestTimesGranularity = 45, Options_Time_Format = 0, Options_DST = 'X'"));
        QCOMPARE(loaded(), QStringLiteral("John Q. User|user@example.com|20|30|0|0|25"));
        db.exec(
            QStringLiteral("Update Options Set Options_MaxResults = -4, Options_BestTimesGranularity = 15, "
                           "Options_SMTPPort = 40000, Options_Name = ' Ann O''Hara '"));
        QCOMPARE(loaded(), QStringLiteral("Ann O'Hara|user@example.com|20|15|0|0|40000"));
        db.exec(QStringLiteral("Delete From Options"));
        QCOMPARE(loaded(), QStringLiteral("Ann O'Hara|user@example.com|20|15|0|0|40000"));

        db.exec(QStringLiteral("Drop Table Options"));
        LoadOptions();
        QCOMPARE(sink.count(), 1);
        QVERIFY(sink.last().standardBox && sink.last().title == QStringLiteral("Rallymark Error"));
    }
};

QTEST_GUILESS_MAIN(SchemaTest)
#include "schema_test.moc"
