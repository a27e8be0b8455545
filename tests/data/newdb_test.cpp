// The rallymark-newdb tool, run as a user would run it.

#include "data/Schema.h"
#include "support/TestKit.h"

using namespace rm;

namespace {

QByteArray fileHash(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

int runNewDb(const QStringList& args, QString* err = nullptr) {
    QProcess p;
    p.start(qEnvironmentVariable("RALLYMARK_NEWDB"), args);
    if (!p.waitForFinished(60000))
        return -1;
    if (err)
        *err = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class NewDbTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void createsExactSchemaAndStarterContents() {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("ClanRoster.mdb"));
        QCOMPARE(runNewDb({path}), 0);
        DbConnection db;
        QVERIFY(db.open(path));

        // Each table with its columns in order.
        const QList<QPair<QString, QString>> expected{
            {"Options",
             "Options_ID Options_Name Options_Email Options_TimeZone Options_DST Options_MaxResults "
             "Options_BestTimesGranularity Options_DisableConfirmations Options_EnableICQStatus "
             "Options_Time_Format Options_Custom1_Text_Title Options_Custom2_Text_Title "
             "Options_Custom3_Text_Title Options_Custom4_Text_Title Options_Custom1_Text_Enabled "
             "Options_Custom2_Text_Enabled Options_Custom3_Text_Enabled Options_Custom4_Text_Enabled "
             "Options_Custom1_Drop_Title Options_Custom2_Drop_Title Options_Custom3_Drop_Title "
             "Options_Custom4_Drop_Title Options_Custom1_Drop_Enabled Options_Custom2_Drop_Enabled "
             "Options_Custom3_Drop_Enabled Options_Custom4_Drop_Enabled Options_EnableEmails "
             "Options_SMTPServer Options_SMTPPort Options_ReplyToName Options_ReplyAddress "
             "Options_SMTPSecurity Options_SMTPUserName Options_SMTPUseLogin Options_SMTPAllowPlainLogin "
             "Options_MatchLength"},
            {"Players",
             "Player_ID Player_TimeZone Player_OnlineName Player_Active Player_RealName Player_EmailPrimary "
             "Player_EmailSecondary Player_ICQ Player_AIM Player_Yahoo Player_MSN Player_Connection "
             "Player_Notes Player_Custom1 Player_Custom2 Player_Custom3 Player_Custom4 Player_CustomDrop1 "
             "Player_CustomDrop2 Player_CustomDrop3 Player_CustomDrop4 Player_Update"},
            {"Members", "Member_Player_ID Member_Division_ID Member_Title"},
            {"Schedules", "Schedule_Player Schedule_Day Schedule_StartTime Schedule_EndTime"},
            {"Divisions",
             "Division_ID Division_Name Division_Game Division_Active Division_Notes Division_Update"},
            {"Titles", "Title_ID Title_Division Title_Description"},
            {"Games", "Game_ID Game_Name Game_Type Game_Genre Game_Notes"},
            {"Genres", "Genre_ID Genre_Name"},
            {"GameTypes", "Type_ID Type_Description"},
            {"ConnectionTypes", "Connection_ID Connection_Name"},
            {"TimeZones", "TZ_ID TZ_Name TZ_Description TZ_GMT_Offset TZ_Daylight_Savings"},
            {"CustomFields", "Custom_ID Custom_FieldNumber Custom_FieldText"},
            {"Templates", "Template_ID Template_Name Template_Content"},
            {"SchedulingWork", "WS_Time WS_Day WS_PlayerCount WS_Players"},
        };
        QStringList tables, expectedTables;
        RowSet t = db.execute(QStringLiteral(
            "Select name From sqlite_master Where type = 'table' And name Not Like 'sqlite%'"));
        for (; !t.eof(); t.moveNext())
            tables << t.text(QStringLiteral("name"));
        for (const auto& [table, columnList] : expected) {
            expectedTables << table;
            QStringList columns;
            RowSet info = db.execute(QStringLiteral("PRAGMA table_info(%1)").arg(table));
            for (; !info.eof(); info.moveNext())
                columns << info.text(QStringLiteral("name"));
            QCOMPARE(columns.join(QLatin1Char(' ')), columnList);
        }
        tables.sort();
        expectedTables.sort();
        QCOMPARE(tables, expectedTables);
        QVERIFY(!CheckSchema(db));

        // One Options row, and the starter catalogues.
        QCOMPARE(
            db.scalar(QStringLiteral(
                          "Select Group_Concat(Options_ID || ',' || Options_BestTimesGranularity || ',' || "
                          "Options_MaxResults || ',' || Options_Time_Format || ',' || "
                          "Options_EnableEmails || ',' || Options_SMTPPort || ',' || TZ_Name) From "
                          "Options Left Join TimeZones On TZ_ID = Options_TimeZone"))
                .toString(),
            QStringLiteral("1,30,20,1,0,25,GMT"));
        QVERIFY(db.scalar(QStringLiteral("Select COUNT(*) From TimeZones")).toInt() >= 40);
        for (const char* zone : {"New York 300U", "Berlin -60E", "Tokyo -540N", "Kathmandu -345N",
                                 "Mumbai -330N", "St John 210U", "Honolulu 600N", "Auckland -720N"}) {
            const QString place = QString::fromLatin1(zone).section(QLatin1Char(' '), 0, -2);
            QCOMPARE(
                db.scalar(QStringLiteral("Select TZ_GMT_Offset || TZ_Daylight_Savings From TimeZones Where "
                                         "TZ_Description Like '%%1%'")
                              .arg(place))
                    .toString(),
                QString::fromLatin1(zone).section(QLatin1Char(' '), -1));
        }
        for (const char* table : {"Genres", "GameTypes", "ConnectionTypes"})
            QVERIFY2(db.scalar(QStringLiteral("Select COUNT(*) From %1").arg(QLatin1String(table))).toInt() >
                         0,
                     table);
        QCOMPARE(db.scalar(QStringLiteral("Select COUNT(*) From Players")).toInt(), 0);
        db.close();

        // A second run refuses and leaves the file as it was.
        const QByteArray before = fileHash(path);
        QString err;
        QVERIFY(runNewDb({path}, &err) != 0);
        QVERIFY(err.contains(QStringLiteral("already exists")));
        QCOMPARE(fileHash(path), before);
    }

    void usage() { QVERIFY(runNewDb({}) != 0); }
};

QTEST_GUILESS_MAIN(NewDbTest)
#include "newdb_test.moc"
