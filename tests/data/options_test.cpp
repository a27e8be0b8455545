#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/StarterDatabase.h"
#include "data/Startup.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

using namespace rm;

class OptionsAndStartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultsForEmptyRow() {
        test::TestDatabase db;
        Db().execute(QStringLiteral(
            "Update Options Set Options_Name = '  ', Options_Email = '', Options_MaxResults = 0, "
            "Options_BestTimesGranularity = 45, Options_Time_Format = 0, Options_DST = 'X'"));
        LoadOptions();
        const OptionsRecord& o = CurrentOptions();
        QCOMPARE(o.UserName, QStringLiteral("John Q. User"));
        QCOMPARE(o.UserEmail, QStringLiteral("user@example.com"));
        QCOMPARE(o.MaxResults, qint16(20));
        QCOMPARE(o.BestTimesGranularity, qint16(30));
        QCOMPARE(o.TimeFormat, false);
        QCOMPARE(o.UserDaylightNow, false);
        Db().execute(
            QStringLiteral("Update Options Set Options_MaxResults = -4, Options_BestTimesGranularity = 15, "
                           "Options_SMTPPort = 40000, Options_Name = ' Ann O''Hara '"));
        LoadOptions();
        QCOMPARE(o.MaxResults, qint16(20));
        QCOMPARE(o.BestTimesGranularity, qint16(15));
        QCOMPARE(o.SMTPPort, 40000);
        QCOMPARE(o.UserName, QStringLiteral("Ann O'Hara"));
    }

    void missingRowKeepsValues() {
        test::TestDatabase db;
        CurrentOptions().UserName = QStringLiteral("kept");
        Db().execute(QStringLiteral("Delete From Options"));
        LoadOptions();
        QCOMPARE(CurrentOptions().UserName, QStringLiteral("kept"));
    }

    void daylightFixedAtLoad() {
        test::TestDatabase db;
        FixedClock clock(QDateTime(QDate(2004, 7, 1), QTime(12, 0)));
        SetClock(&clock);
        Db().execute(QStringLiteral("Update Options Set Options_DST = 'U'"));
        LoadOptions();
        QVERIFY(CurrentOptions().UserDaylightNow);
        clock.set(QDateTime(QDate(2004, 12, 1), QTime(12, 0)));
        QVERIFY(CurrentOptions().UserDaylightNow); // not recomputed until the next load
        LoadOptions();
        QVERIFY(!CurrentOptions().UserDaylightNow);
        Db().execute(QStringLiteral("Update Options Set Options_DST = 'E'"));
        clock.set(QDateTime(QDate(2004, 3, 28), QTime(0, 0)));
        LoadOptions();
        QVERIFY(CurrentOptions().UserDaylightNow);
        SetClock(nullptr);
    }

    void menuUpdaterSeesEnabledPickLists() {
        test::TestDatabase db;
        QList<bool> enabled;
        QStringList titles;
        SetCustomFieldsMenuUpdater([&](const OptionsRecord& o) {
            enabled.clear();
            titles.clear();
            for (int i = 0; i < 4; ++i) {
                enabled << o.CustomDropEnabled[i];
                titles << o.CustomDropTitle[i];
            }
        });
        Db().execute(QStringLiteral(
            "Update Options Set Options_Custom2_Drop_Enabled = 1, Options_Custom2_Drop_Title = ' Rank ', "
            "Options_Custom4_Drop_Enabled = 1, Options_Custom4_Drop_Title = 'Squad'"));
        LoadOptions();
        QCOMPARE(enabled, (QList<bool>{false, true, false, true}));
        QCOMPARE(titles.at(1), QStringLiteral("Rank"));
        SetCustomFieldsMenuUpdater({});
    }

    void storeErrorIsReported() {
        test::TestDatabase db;
        test::RecordingSink sink;
        Db().execute(QStringLiteral("Drop Table Options"));
        LoadOptions();
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.last().title, QStringLiteral("Rallymark Error"));
        QVERIFY(
            sink.last().text.startsWith(QStringLiteral("Rallymark encountered the following error:\n\n")));
        QVERIFY(sink.last().standardBox);
    }

    void startupFailures() {
        QTemporaryDir dir;
        SetApplicationFolder(dir.path());
        const QString path = QDir(dir.path()).filePath(QStringLiteral("ClanRoster.mdb"));

        auto error = OpenDatabaseAndLoadOptions();
        QVERIFY(error);
        QCOMPARE(error->number, 1001);
        QCOMPARE(error->description, QStringLiteral("The Rallymark database file appears to be missing!"));
        QVERIFY(!QFile::exists(path)); // nothing is created

        QFile junk(path);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        error = OpenDatabaseAndLoadOptions();
        QVERIFY(error);
        QCOMPARE(error->number, 1001);
        QVERIFY2(error->description.contains(QStringLiteral("not a database")),
                 qPrintable(error->description));
        QVERIFY(!Db().isOpen());
        QFile::remove(path);

        {
            DbConnection other;
            QVERIFY(other.open(path));
            other.execute(QStringLiteral("Create Table Options (Options_ID INTEGER)"));
            other.close();
        }
        error = OpenDatabaseAndLoadOptions();
        QVERIFY(error);
        QCOMPARE(error->description, QStringLiteral("The Rallymark database file has no table Players"));
        QFile::remove(path);
        SetApplicationFolder(QString());
    }

    void startupSucceeds() {
        QTemporaryDir dir;
        SetApplicationFolder(dir.path());
        const QString path = QDir(dir.path()).filePath(QStringLiteral("ClanRoster.mdb"));
        QString message;
        QVERIFY(CreateStarterDatabase(path, &message));
        CurrentOptions() = OptionsRecord{};
        QVERIFY(!OpenDatabaseAndLoadOptions());
        QVERIFY(Db().isOpen());
        QCOMPARE(CurrentOptions().MaxResults, qint16(20));
        QCOMPARE(CurrentOptions().TimeFormat, true);
        Db().close();
        SetApplicationFolder(QString());
    }
};

QTEST_GUILESS_MAIN(OptionsAndStartupTest)
#include "options_test.moc"
