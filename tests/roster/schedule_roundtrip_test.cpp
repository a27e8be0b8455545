#include "data/DbConnection.h"
#include "roster/ScheduleStorage.h"
#include "support/TestDatabase.h"
#include "time/TimeText.h"

#include <QBitArray>
#include <QtTest>

using namespace rm;

namespace {

// Stretches that touch the ends of a day, laid on one weekday (and the next one for the last).
QList<WeekLists> edgeWeeks(int d) {
    const QList<QStringList> days{{QStringLiteral("00:00|00:30")},
                                  {QStringLiteral("00:00|02:00"), QStringLiteral("21:30|24:00")},
                                  {QStringLiteral("23:00|23:30")},
                                  {QStringLiteral("23:30|24:00")},
                                  {QStringLiteral("00:00|24:00")}};
    QList<WeekLists> weeks;
    for (const QStringList& stretches : days) {
        WeekLists w;
        w[d] = stretches;
        weeks << w;
    }
    WeekLists across; // two stretches that meet at local midnight
    across[d] = QStringList{QStringLiteral("22:00|24:00")};
    across[(d + 1) % 7] = QStringList{QStringLiteral("00:00|01:30")};
    weeks << across;
    return weeks;
}

// The minutes of the week that the local day lists cover (both ends of a stretch count), sampled
// every quarter hour; Saturday's 24:00 is Sunday's 00:00.
QBitArray covered(const WeekLists& lists, int delta = 0) {
    QBitArray bits(kMinutesPerWeek / 15);
    for (int d = 0; d < 7; ++d)
        for (const QString& element : lists[d]) {
            const auto s = ParseStretch(element);
            for (int m = s->first; m <= s->second; m += 15) {
                const int at = d * kMinutesPerDay + m - delta;
                bits.setBit(((at % kMinutesPerWeek) + kMinutesPerWeek) % kMinutesPerWeek / 15);
            }
        }
    return bits;
}

} // namespace

class ScheduleRoundTripTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stretchText() {
        QCOMPARE(FormatStretch(23 * 60 + 30, kMinutesPerDay), QStringLiteral("23:30|24:00"));
        QCOMPARE(ParseStretch(QStringLiteral("23:30|24:00")), std::make_pair(23 * 60 + 30, kMinutesPerDay));
        QCOMPARE(ParseStretch(QStringLiteral("24:00|24:00")), std::nullopt);
        QCOMPARE(ParseStretch(QStringLiteral("23:00|24:30")), std::nullopt);
    }

    // Every offset of the zone catalogue, with and without a daylight hour either way.
    void roundTrip_data() {
        QTest::addColumn<int>("shift");
        test::TestDatabase db;
        RowSet r = Db().execute(QStringLiteral("Select Distinct TZ_GMT_Offset From TimeZones"));
        for (; !r.eof(); r.moveNext())
            for (int hour : {-60, 0, 60}) {
                const int shift = r.integer(QStringLiteral("TZ_GMT_Offset")) + hour;
                QTest::addRow("%d%+d", shift - hour, hour) << shift;
            }
    }
    void roundTrip() {
        QFETCH(int, shift);
        for (int d = 0; d < 7; ++d) {
            for (const WeekLists& lists : edgeWeeks(d)) {
                const QList<ScheduleRow> rows = LocalToStored(lists, shift);
                QCOMPARE(StoredToLocal(rows, shift), lists);
                QCOMPARE(LocalToStored(StoredToLocal(rows, shift), shift), rows);
                // Loaded in the other daylight state: the same instants, an hour off on the clock.
                for (int delta : {60, -60}) {
                    const WeekLists moved = StoredToLocal(rows, shift + delta);
                    if (covered(moved) != covered(lists, delta))
                        QFAIL(qPrintable(QStringLiteral("day %1, %2 loaded %3 minutes later: %4")
                                             .arg(d + 1)
                                             .arg(lists[d].join(QLatin1Char(' ')))
                                             .arg(-delta)
                                             .arg(moved[d].join(QLatin1Char(' ')))));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(ScheduleRoundTripTest)
#include "schedule_roundtrip_test.moc"
