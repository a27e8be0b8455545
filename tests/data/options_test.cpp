#include "support/TestKit.h"

using namespace rm;

class OptionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Stored values out of range load as the defaults; text is trimmed.
    void loadedValues() {
        test::TestDatabase db;
        db.exec(QStringLiteral(
            "Update Options Set Options_Name = '  ', Options_Email = '', Options_MaxResults = 0, "
            "Options_BestTimesGranularity = 45, Options_Time_Format = 0, Options_DST = 'X'"));
        LoadOptions();
        const OptionsRecord& o = CurrentOptions();
        QCOMPARE(o.UserName + QLatin1Char('|') + o.UserEmail,
                 QStringLiteral("John Q. User|user@example.com"));
        QCOMPARE(o.MaxResults, qint16(20));
        QCOMPARE(o.BestTimesGranularity, qint16(30));
        QVERIFY(!o.TimeFormat && !o.UserDaylightNow);
        db.exec(
            QStringLiteral("Update Options Set Options_MaxResults = -4, Options_BestTimesGranularity = 15, "
                           "Options_SMTPPort = 40000, Options_Name = ' Ann O''Hara '"));
        LoadOptions();
        QCOMPARE(o.MaxResults, qint16(20));
        QCOMPARE(o.BestTimesGranularity, qint16(15));
        QCOMPARE(o.SMTPPort, 40000);
        QCOMPARE(o.UserName, QStringLiteral("Ann O'Hara"));

        // Without a row the values stay as they were.
        db.exec(QStringLiteral("Delete From Options"));
        LoadOptions();
        QCOMPARE(o.UserName, QStringLiteral("Ann O'Hara"));
    }

    // The user's daylight state is fixed when the options are loaded.
    void daylightFixedAtLoad() {
        test::TestDatabase db;
        FixedClock clock(QDateTime(QDate(2004, 7, 1), QTime(12, 0)));
        SetClock(&clock);
        db.exec(QStringLiteral("Update Options Set Options_DST = 'U'"));
        LoadOptions();
        QVERIFY(CurrentOptions().UserDaylightNow);
        clock.set(QDateTime(QDate(2004, 12, 1), QTime(12, 0)));
        QVERIFY(CurrentOptions().UserDaylightNow);
        LoadOptions();
        QVERIFY(!CurrentOptions().UserDaylightNow);
        db.exec(QStringLiteral("Update Options Set Options_DST = 'E'"));
        clock.set(QDateTime(QDate(2004, 3, 28), QTime(0, 0)));
        LoadOptions();
        QVERIFY(CurrentOptions().UserDaylightNow);
        SetClock(nullptr);
    }

    void menuUpdaterSeesEnabledPickLists() {
        test::TestDatabase db;
        QString seen;
        SetCustomFieldsMenuUpdater([&](const OptionsRecord& o) {
            seen.clear();
            for (int i = 0; i < 4; ++i)
                seen += (o.CustomDropEnabled[i] ? QStringLiteral("+") : QStringLiteral("-")) +
                        o.CustomDropTitle[i];
        });
        db.exec(QStringLiteral(
            "Update Options Set Options_Custom2_Drop_Enabled = 1, Options_Custom2_Drop_Title = "
            "' Rank ', Options_Custom4_Drop_Enabled = 1, Options_Custom4_Drop_Title = 'Squad'"));
        LoadOptions();
        QCOMPARE(seen, QStringLiteral("-+Rank-+Squad"));
        SetCustomFieldsMenuUpdater({});
    }

    void storeErrorIsReported() {
        test::TestDatabase db;
        test::RecordingSink sink;
        db.exec(QStringLiteral("Drop Table Options"));
        LoadOptions();
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.last().title, QStringLiteral("Rallymark Error"));
        QVERIFY(
            sink.last().text.startsWith(QStringLiteral("Rallymark encountered the following error:\n\n")));
        QVERIFY(sink.last().standardBox);
    }
};

QTEST_GUILESS_MAIN(OptionsTest)
#include "options_test.moc"
