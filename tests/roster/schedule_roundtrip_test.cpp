#include "data/DbConnection.h"
#include "roster/ScheduleStorage.h"
#include "support/TestDatabase.h"
#include "time/TimeText.h"

#include <QBitArray>
#include <QtTest>

using namespace rm;

namespace {

// Stretches that touch the ends of a day, laid on one weekday, and two that meet at local midnight.
QList<WeekLists> edgeWeeks(int d) {
    QList<WeekLists> weeks;
    for (const char* stretches : {"00:00|00:30", "00:00|02:00 21:30|24:00", "23:00|23:30", "23:30|24:00",
                                  "00:00|24:00", "22:00|24:00"}) {
        WeekLists w;
        w[d] = QString::fromLatin1(stretches).split(QLatin1Char(' '));
        weeks << w;
    }
    weeks.last()[(d + 1) % 7] = QStringList{QStringLiteral("00:00|01:30")};
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
    void stretchEndsAtMidnightAtMost() {
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
                    QVERIFY2(covered(moved) == covered(lists, delta),
                             qPrintable(QString::number(d + 1) + lists[d].join(QLatin1Char(' '))));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(ScheduleRoundTripTest)
#include "schedule_roundtrip_test.moc"
