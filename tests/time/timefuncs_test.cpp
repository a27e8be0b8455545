#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"
#include "time/Daylight.h"
#include "time/TimeFuncs.h"
#include "time/TimeText.h"

#include <QtTest>

using namespace rm;

namespace {

struct Zone {
    qint32 id;
    qint32 offset;
    QString rule;
    QString name;
};

QList<Zone> catalogue() {
    QList<Zone> zones;
    RowSet r = Db().execute(QStringLiteral("Select * From TimeZones Order By TZ_ID"));
    for (; !r.eof(); r.moveNext())
        zones << Zone{r.integer(QStringLiteral("TZ_ID")), r.integer(QStringLiteral("TZ_GMT_Offset")),
                      r.text(QStringLiteral("TZ_Daylight_Savings")), r.text(QStringLiteral("TZ_Name"))};
    return zones;
}

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
        Db().execute(QStringLiteral(
            "Insert Into TimeZones (TZ_Name, TZ_Description, TZ_GMT_Offset, TZ_Daylight_Savings) "
            "VALUES('T300', 'test', 300, 'N')"));
        const int z300 = db.zoneId(QStringLiteral("T300"));
        QCOMPARE(TimeFuncs().toGMT(600, z300, false), 900);
        QCOMPARE(TimeFuncs().fromGMT(900, z300, false), 600);

        // 14:00 summer time in Berlin is 12:00 GMT.
        const int berlin = db.zoneId(QStringLiteral("Berlin"));
        QCOMPARE(TimeFuncs().toGMT(14 * 60, berlin, false), 12 * 60);
        QCOMPARE(TimeFuncs().fromGMT(12 * 60, berlin, false), 14 * 60);
        // A user in summer time sees every GMT value shifted by the same hour.
        QCOMPARE(TimeFuncs().toGMT(14 * 60, berlin, true), 13 * 60);
        const QDateTime local(QDate(2004, 7, 3), QTime(0, 30));
        QCOMPARE(TimeFuncs().toGMT(local, berlin, false), QDateTime(QDate(2004, 7, 2), QTime(22, 30)));
        QCOMPARE(TimeFuncs().fromGMT(QDateTime(QDate(2004, 7, 2), QTime(22, 30)), berlin, false), local);
        SetClock(nullptr);
    }

    void unknownZone() {
        test::TestDatabase db;
        test::RecordingSink sink;
        QCOMPARE(TimeFuncs().toGMT(100, 99999, false), 100);
        QCOMPARE(TimeFuncs().toGMT(100, 99999, true), 160);
        QCOMPARE(sink.count(), 2);
        QCOMPARE(sink.last().text, QStringLiteral("Unrecoverable Data Error.  Number 1024"));
        QCOMPARE(sink.last().title, QStringLiteral("Database Access Error"));
        QCOMPARE(sink.last().icon, int(vbCritical));
        QCOMPARE(sink.last().align, int(AlignCenterText));
        QCOMPARE(sink.last().buttons, int(vbOKOnly));
    }

    // For every zone, every daylight state of zone and user, and times across midnight and the
    // Saturday/Sunday wrap, fromGMT undoes toGMT; and one instant seen from two zones maps to one value.
    void inverseAndSameInstant() {
        test::TestDatabase db;
        test::RecordingSink sink;
        const QList<Zone> zones = catalogue();
        QVERIFY(zones.size() >= 40);
        const QList<int> moments = {0,
                                    1,
                                    59,
                                    23 * 60 + 59,
                                    kMinutesPerDay,
                                    3 * kMinutesPerDay + 17 * 60 + 45,
                                    kMinutesPerWeek - 1,
                                    kMinutesPerWeek - 30};
        for (const QDateTime& when :
             {QDateTime(QDate(2026, 1, 15), QTime(12, 0)), QDateTime(QDate(2026, 7, 15), QTime(12, 0)),
              QDateTime(QDate(2026, 3, 20), QTime(12, 0))}) {
            FixedClock clock(when);
            SetClock(&clock);
            for (const bool user : {false, true}) {
                for (const Zone& z : zones) {
                    for (const int t : moments) {
                        const int g = wrapWeek(TimeFuncs().toGMT(t, z.id, user));
                        QCOMPARE(wrapWeek(TimeFuncs().fromGMT(g, z.id, user)), t);
                    }
                }
                // The real UTC instant of a local moment: local + offset - 60 while the rule runs.
                const int instant = 2 * kMinutesPerDay + 23 * 60 + 50; // Tuesday 23:50 UTC
                for (const Zone& a : zones) {
                    const int shiftA = a.offset - (IsRuleInEffect(a.rule) ? 60 : 0);
                    const int localA = wrapWeek(instant - shiftA);
                    const int gmtA = wrapWeek(TimeFuncs().toGMT(localA, a.id, user));
                    for (const Zone& b : zones) {
                        const int shiftB = b.offset - (IsRuleInEffect(b.rule) ? 60 : 0);
                        const int localB = wrapWeek(instant - shiftB);
                        QCOMPARE(wrapWeek(TimeFuncs().toGMT(localB, b.id, user)), gmtA);
                    }
                    QCOMPARE(gmtA, wrapWeek(instant + (user ? 60 : 0)));
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
        QCOMPARE(ParseHHMM(QStringLiteral("24:00")), std::nullopt);
        QCOMPARE(ParseHHMM(QStringLiteral("12:5")), std::nullopt);
        QCOMPARE(ParseHHMM(QStringLiteral("1a:05")), std::nullopt);
        QCOMPARE(FormatStretch(9 * 60, 10 * 60), QStringLiteral("09:00|10:00"));
        QCOMPARE(ParseStretch(QStringLiteral("02:00|20:00")),
                 (std::optional<std::pair<int, int>>({120, 1200})));
        QVERIFY(FormatTimeOfDay(0, false).startsWith(QStringLiteral("12:00 ")));
        QVERIFY(FormatTimeOfDay(13 * 60 + 5, false).startsWith(QStringLiteral("01:05 ")));
        QCOMPARE(FormatTimeOfDay(13 * 60 + 5, true), QStringLiteral("13:05"));
        QCOMPARE(WeekdayName(1), QStringLiteral("Sunday"));
        QCOMPARE(WeekdayName(7), QStringLiteral("Saturday"));
    }

    void systemZone() {
        // getGMT is the current UTC time whatever the zone; getGMTBias -1 only without daylight saving.
        const QDateTime gmt = TimeFuncs().getGMT();
        QVERIFY(qAbs(gmt.secsTo(QDateTime::currentDateTimeUtc())) < 5);
        const qint16 bias = TimeFuncs().getGMTBias();
        if (!QTimeZone::systemTimeZone().hasDaylightTime())
            QCOMPARE(bias, qint16(-1));
    }
};

QTEST_GUILESS_MAIN(TimeFuncsTest)
#include "timefuncs_test.moc"
