#include "support/TestKit.h"
#include "time/Daylight.h"
#include "time/TimeFuncs.h"
#include "time/TimeText.h"

using namespace rm;

namespace {

int wrapWeek(int m) {
    return ((m % kMinutesPerWeek) + kMinutesPerWeek) % kMinutesPerWeek;
}

} // namespace

class TimeFuncsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void plainOffsets() {
        test::TestDatabase db;
        FixedClock clock(QDateTime(QDate(2004, 7, 1), QTime(12, 0)));
        SetClock(&clock);
        db.exec(QStringLiteral("Insert Into TimeZones (TZ_Name, TZ_Description, TZ_GMT_Offset, "
                               "TZ_Daylight_Savings) VALUES('T300', 'test', 300, 'N')"));
        const int z300 = db.zoneId(QStringLiteral("T300")), berlin = db.zoneId(QStringLiteral("Berlin"));
        QCOMPARE(TimeFuncs().toGMT(600, z300, false), 900);
        QCOMPARE(TimeFuncs().fromGMT(900, z300, false), 600);
        // 14:00 summer time in Berlin is 12:00 GMT; a user in summer time sees every GMT value an
        // hour later.
        QCOMPARE(TimeFuncs().toGMT(14 * 60, berlin, false), 12 * 60);
        QCOMPARE(TimeFuncs().fromGMT(12 * 60, berlin, false), 14 * 60);
        QCOMPARE(TimeFuncs().toGMT(14 * 60, berlin, true), 13 * 60);
        const QDateTime local(QDate(2004, 7, 3), QTime(0, 30)), gmt(QDate(2004, 7, 2), QTime(22, 30));
        QCOMPARE(TimeFuncs().toGMT(local, berlin, false), gmt);
        QCOMPARE(TimeFuncs().fromGMT(gmt, berlin, false), local);
        SetClock(nullptr);
    }

    void unknownZone() {
        test::TestDatabase db;
        test::RecordingSink sink;
        QCOMPARE(TimeFuncs().toGMT(100, 99999, false), 100);
        QCOMPARE(TimeFuncs().toGMT(100, 99999, true), 160);
        QCOMPARE(sink.count(), 2);
        const auto& m = sink.last();
        QCOMPARE(QStringList({m.text, m.title}),
                 QStringList({"Unrecoverable Data Error.  Number 1024", "Database Access Error"}));
        QCOMPARE(QList<int>({m.icon, m.align, m.buttons}),
                 QList<int>({vbCritical, AlignCenterText, vbOKOnly}));
    }

    // For every zone, every daylight state of zone and user, and times across midnight and the
    // Saturday/Sunday wrap, fromGMT undoes toGMT; and one instant seen from every zone maps to one value.
    void inverseAndSameInstant() {
        test::TestDatabase db;
        test::RecordingSink sink;
        struct Zone {
            qint32 id, offset;
            QString rule;
        };
        QList<Zone> zones;
        for (RowSet r = Db().execute(QStringLiteral("Select * From TimeZones")); !r.eof(); r.moveNext())
            zones << Zone{r.integer(QStringLiteral("TZ_ID")), r.integer(QStringLiteral("TZ_GMT_Offset")),
                          r.text(QStringLiteral("TZ_Daylight_Savings"))};
        QVERIFY(zones.size() >= 40);
        // Sunday 00:00, 00:01, 00:59, 23:59, Monday 00:00, Wednesday 17:45, Saturday 23:59 and 23:30.
        const QList<int> moments{0, 1, 59, 1439, 1440, 5385, 10079, 10050};
        const int instant = 2 * kMinutesPerDay + 23 * 60 + 50; // Tuesday 23:50 UTC
        for (const QDate& date : {QDate(2026, 1, 15), QDate(2026, 7, 15), QDate(2026, 3, 20)}) {
            FixedClock clock(QDateTime(date, QTime(12, 0)));
            SetClock(&clock);
            for (const bool user : {false, true}) {
                for (const Zone& z : zones) {
                    for (const int t : moments)
                        QCOMPARE(wrapWeek(TimeFuncs().fromGMT(wrapWeek(TimeFuncs().toGMT(t, z.id, user)),
                                                              z.id, user)),
                                 t);
                    // The zone's local view of the instant: UTC - offset, an hour later while its rule runs.
                    const int local = wrapWeek(instant - z.offset + (IsRuleInEffect(z.rule) ? 60 : 0));
                    QCOMPARE(wrapWeek(TimeFuncs().toGMT(local, z.id, user)),
                             wrapWeek(instant + (user ? 60 : 0)));
                }
            }
            SetClock(nullptr);
        }
        QCOMPARE(sink.count(), 0); // the catalogue's 30- and 45-minute zones are checked by newdb_test
    }

    void timeText() {
        QCOMPARE(MinutesToHHMM(-30), QStringLiteral("23:30"));
        QCOMPARE(MinutesToHHMM(1440 + 65), QStringLiteral("01:05"));
        QCOMPARE(ParseHHMM(QStringLiteral("9:05")), std::optional<int>(545));
        for (const char* bad : {"24:00", "12:5", "1a:05"})
            QCOMPARE(ParseHHMM(QString::fromLatin1(bad)), std::nullopt);
        QCOMPARE(FormatStretch(9 * 60, 10 * 60), QStringLiteral("09:00|10:00"));
        QCOMPARE(ParseStretch(QStringLiteral("02:00|20:00")),
                 (std::optional<std::pair<int, int>>({120, 1200})));
        QVERIFY(FormatTimeOfDay(0, false).startsWith(QStringLiteral("12:00 ")));
        QVERIFY(FormatTimeOfDay(13 * 60 + 5, false).startsWith(QStringLiteral("01:05 ")));
        QCOMPARE(FormatTimeOfDay(13 * 60 + 5, true), QStringLiteral("13:05"));
        QCOMPARE(WeekdayName(1) + WeekdayName(7), QStringLiteral("SundaySaturday"));
    }

    void systemZone() {
        // getGMT is the current UTC time whatever the zone; getGMTBias -1 only without daylight saving.
        QVERIFY(qAbs(TimeFuncs().getGMT().secsTo(QDateTime::currentDateTimeUtc())) < 5);
        if (!QTimeZone::systemTimeZone().hasDaylightTime())
            QCOMPARE(TimeFuncs().getGMTBias(), qint16(-1));
    }
};

QTEST_GUILESS_MAIN(TimeFuncsTest)
#include "timefuncs_test.moc"
