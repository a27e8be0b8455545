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
    // Each rule switches at local midnight at the start of its Sunday. Rows: code, local time, and
    // '+' when the rule is in effect.
    void daylightRules() {
        const QString rows = QStringLiteral(
            // United States before 2007: first Sunday of April to last Sunday of October; in 2001
            // the first of April is itself a Sunday.
            "U 2004-04-03T23:59 - U 2004-04-04T00:00 + U 2004-10-30T23:59 + U 2004-10-31T00:00 + "
            "U 2004-10-31T10:00 - U 2004-01-15T00:00 - U 2004-12-15T00:00 - U 2001-03-31T23:59 - "
            "U 2001-04-01T00:00 + "
            // From 2007: second Sunday of March to first Sunday of November.
            "U 2007-03-10T23:59 - U 2007-03-11T00:00 + U 2007-11-04T00:00 + U 2007-11-04T00:01 - "
            "U 2015-03-07T23:59 - U 2015-03-08T00:00 + U 2015-03-31T12:00 + U 2015-11-01T00:01 - "
            "U 2026-03-07T23:59 - U 2026-03-08T00:00 + U 2026-11-01T00:00 + U 2026-11-01T00:01 - "
            // Europe: last Sunday of March to last Sunday of October; 31 March 2002 is a Sunday.
            "E 2004-03-27T23:59 - E 2004-03-28T00:00 + E 2004-10-30T23:59 + E 2004-10-31T10:00 - "
            "E 2004-01-15T00:00 - E 2002-03-30T23:59 - E 2002-03-31T00:00 + E 2026-03-20T12:00 - "
            // No other code ever applies.
            "N 2026-07-01T12:00 - X 2026-07-01T12:00 - u 2026-07-01T12:00 - _ 2026-07-01T12:00 -");
        const QStringList words = rows.split(QLatin1Char(' '));
        for (qsizetype i = 0; i + 2 < words.size(); i += 3) {
            const QDateTime when = QDateTime::fromString(words[i + 1], Qt::ISODate);
            const QString code = words[i] == QLatin1String("_") ? QString() : words[i];
            QVERIFY2(when.isValid() && IsRuleInEffect(code, when) == (words[i + 2] == QLatin1String("+")),
                     qPrintable(words[i] + QLatin1Char(' ') + words[i + 1]));
        }
    }

    void plainOffsetsAndUnknownZone() {
        test::TestDatabase db;
        test::RecordingSink sink;
        FixedClock clock(QDateTime(QDate(2004, 7, 1), QTime(12, 0)));
        SetClock(&clock);
        const int hawaii = db.zoneId(QStringLiteral("Hawaii")), berlin = db.zoneId(QStringLiteral("Berlin"));
        QCOMPARE(TimeFuncs().toGMT(600, hawaii, false), 1200);
        // 14:00 summer time in Berlin is 12:00 GMT; a user in summer time sees every GMT value an
        // hour later.
        QCOMPARE(TimeFuncs().toGMT(14 * 60, berlin, false), 12 * 60);
        QCOMPARE(TimeFuncs().toGMT(14 * 60, berlin, true), 13 * 60);
        const QDateTime local(QDate(2004, 7, 3), QTime(0, 30)), gmt(QDate(2004, 7, 2), QTime(22, 30));
        QCOMPARE(TimeFuncs().toGMT(local, berlin, false), gmt);
        QCOMPARE(TimeFuncs().fromGMT(gmt, berlin, false), local);
        SetClock(nullptr);

        // An unknown zone converts as GMT and is reported each time.
        QCOMPARE(TimeFuncs().toGMT(100, 99999, false) + TimeFuncs().toGMT(100, 99999, true), 100 + 160);
        QCOMPARE(sink.count(), 2);
        QCOMPARE(sink.last().text + sink.last().title,
                 QStringLiteral("Unrecoverable Data Error.  Number 1024Database Access Error"));
        QCOMPARE(sink.last().icon, int(vbCritical));
    }

    // For every zone, every daylight state of zone and user, and times across midnight and the
    // Saturday/Sunday wrap, fromGMT undoes toGMT; and one instant seen from every zone maps to one value.
    void inverseAndSameInstant() {
        test::TestDatabase db;
        test::RecordingSink sink;
        // Sunday 00:00, 00:01, 00:59, 23:59, Monday 00:00, Wednesday 17:45, Saturday 23:59 and 23:30.
        const QList<int> moments{0, 1, 59, 1439, 1440, 5385, 10079, 10050};
        const int instant = 2 * kMinutesPerDay + 23 * 60 + 50; // Tuesday 23:50 UTC
        for (const QDate& date : {QDate(2026, 1, 15), QDate(2026, 7, 15), QDate(2026, 3, 20)}) {
            FixedClock clock(QDateTime(date, QTime(12, 0)));
            SetClock(&clock);
            for (const bool user : {false, true}) {
                for (RowSet z = Db().execute(QStringLiteral("Select * From TimeZones")); !z.eof();
                     z.moveNext()) {
                    const qint32 id = z.integer(QStringLiteral("TZ_ID"));
                    for (const int t : moments)
                        QCOMPARE(
                            wrapWeek(TimeFuncs().fromGMT(wrapWeek(TimeFuncs().toGMT(t, id, user)), id, user)),
                            t);
                    // The zone's local view of the instant: UTC - offset, an hour later while its rule runs.
                    const int local =
                        wrapWeek(instant - z.integer(QStringLiteral("TZ_GMT_Offset")) +
                                 (IsRuleInEffect(z.text(QStringLiteral("TZ_Daylight_Savings"))) ? 60 : 0));
                    QCOMPARE(wrapWeek(TimeFuncs().toGMT(local, id, user)),
                             wrapWeek(instant + (user ? 60 : 0)));
                }
            }
            SetClock(nullptr);
        }
        QCOMPARE(sink.count(), 0); // the catalogue's 30- and 45-minute zones are checked by schema_test
    }

    void timeTextAndSystemClock() {
        QCOMPARE(MinutesToHHMM(-30) + MinutesToHHMM(1440 + 65), QStringLiteral("23:3001:05"));
        QCOMPARE(ParseHHMM(QStringLiteral("9:05")), std::optional<int>(545));
        for (const char* bad : {"24:00", "12:5", "1a:05"})
            QCOMPARE(ParseHHMM(QString::fromLatin1(bad)), std::nullopt);
        QCOMPARE(ParseStretch(FormatStretch(120, 1200)), (std::optional<std::pair<int, int>>({120, 1200})));
        QCOMPARE(FormatTimeOfDay(13 * 60 + 5, false).left(6) + FormatTimeOfDay(13 * 60 + 5, true),
                 QStringLiteral("01:05 13:05"));
        QCOMPARE(WeekdayName(1) + WeekdayName(7), QStringLiteral("SundaySaturday"));
        // getGMT is the current UTC time whatever the zone.
        QVERIFY(qAbs(TimeFuncs().getGMT().secsTo(QDateTime::currentDateTimeUtc())) < 5);
    }
};

QTEST_GUILESS_MAIN(TimeFuncsTest)
#include "timefuncs_test.moc"
