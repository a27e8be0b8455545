#include "roster/ScheduleStorage.h"
#include "support/TestKit.h"
#include "time/TimeText.h"

#include <QBitArray>
#include <QRandomGenerator>

using namespace rm;

namespace {

QString rowsText(const QList<ScheduleRow>& rows) {
    QStringList parts;
    for (const ScheduleRow& r : rows)
        parts << QStringLiteral("%1 %2-%3").arg(r.day).arg(MinutesToHHMM(r.start), MinutesToHHMM(r.end));
    return parts.join(", ");
}

WeekLists day(int d, const QStringList& stretches) {
    WeekLists lists;
    lists[d - 1] = stretches;
    return lists;
}

// Day lists a time bar can hold: stretches on the half-hour grid, apart from each other.
WeekLists randomLists(QRandomGenerator& random) {
    WeekLists lists;
    for (int d = 0; d < 7; ++d) {
        int cell = int(random.bounded(6));
        while (cell < 47) {
            const int start = cell;
            const int end = start + 1 + int(random.bounded(std::min(12, 47 - start)));
            if (end > 47)
                break;
            lists[d] << FormatStretch(start * 30, end * 30);
            cell = end + 1 + int(random.bounded(8));
        }
    }
    return lists;
}

// Every shift toGMT can apply to a zone of the catalogue: its offset with and without a daylight hour
// either way.
QList<int> catalogueShifts() {
    QList<int> shifts;
    for (RowSet r =
             Db().execute(QStringLiteral("Select Distinct TZ_GMT_Offset + h From TimeZones, (Select -60 "
                                         "As h Union Select 0 Union Select 60)"));
         !r.eof(); r.moveNext())
        shifts << r.valueAt(0).toInt();
    return shifts;
}

bool foundByLookup(const QList<ScheduleRow>& rows, int gmtWeekMinutes) {
    const StoredMoment at = StoredMomentOf(gmtWeekMinutes);
    for (const ScheduleRow& row : rows)
        if (RowCovers(row, at.day, at.minutes))
            return true;
    return false;
}

// Stretches that touch the ends of a day, laid on each weekday, and two that meet at local midnight.
QList<WeekLists> midnightLists() {
    QList<WeekLists> weeks;
    for (int d = 0; d < 7; ++d) {
        for (const char* stretches : {"00:00|00:30", "00:00|02:00 21:30|24:00", "23:00|23:30", "23:30|24:00",
                                      "00:00|24:00", "22:00|24:00"})
            weeks << day(d + 1, QString::fromLatin1(stretches).split(QLatin1Char(' ')));
        weeks.last()[(d + 1) % 7] = QStringList{"00:00|01:30"};
    }
    return weeks;
}

// The minutes of the week that the local day lists cover, `delta` minutes earlier (both ends of a
// stretch count); Saturday's 24:00 is Sunday's 00:00.
QBitArray covered(const WeekLists& lists, int delta = 0) {
    QBitArray bits(kMinutesPerWeek);
    for (int d = 0; d < 7; ++d)
        for (const QString& element : lists[d])
            for (auto [m, end] = *ParseStretch(element); m <= end; ++m)
                bits.setBit(((d * kMinutesPerDay + m - delta) % kMinutesPerWeek + kMinutesPerWeek) %
                            kMinutesPerWeek);
    return bits;
}

} // namespace

class ScheduleStorageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storedUnderTheGmtWeekday_data() {
        QTest::addColumn<WeekLists>("lists");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("rows");
        QTest::newRow("evening west of GMT moves to the next day")
            << day(4, {"20:00|22:00"}) << 300 << "5 01:00-03:00";
        QTest::newRow("crossing GMT midnight is split")
            << day(1, {"17:00|22:00"}) << 300 << "1 22:00-23:59, 2 00:00-03:00";
        QTest::newRow("Saturday wraps to Sunday") << day(7, {"19:00|23:00"}) << 300 << "1 00:00-04:00";
        QTest::newRow("split across the Saturday/Sunday wrap")
            << day(7, {"22:00|23:30"}) << 90 << "1 00:00-01:00, 7 23:30-23:59";
        QTest::newRow("Sunday back to Saturday") << day(1, {"02:00|04:00"}) << -330 << "7 20:30-22:30";
        QTest::newRow("45-minute offset split")
            << day(3, {"05:00|07:00"}) << -345 << "2 23:15-23:59, 3 00:00-01:15";
        QTest::newRow("GMT end exactly at midnight")
            << day(2, {"22:00|23:00"}) << 60 << "2 23:00-23:59, 3 00:00-00:00";
        QTest::newRow("malformed elements are left out")
            << day(2, {"nonsense", "12:00|11:00", "24:00|24:00", "23:00|24:30", "01:00|02:00"}) << 0
            << "2 01:00-02:00";
    }
    void storedUnderTheGmtWeekday() {
        QFETCH(WeekLists, lists);
        QFETCH(int, shift);
        QFETCH(QString, rows);
        QCOMPARE(rowsText(LocalToStored(lists, shift)), rows);
    }

    // Save and load with the same shift give back the day lists, and a second save writes the same
    // rows; loaded in the other daylight state, they cover the same minutes an hour off on the clock.
    // The searches' lookup (weekday of the GMT moment, start <= time <= end) finds a player exactly at
    // the GMT minutes that lie within one of the player's local stretches, ends included.
    void roundTripAndLookup() {
        test::TestDatabase db;
        QRandomGenerator random(20240611);
        const QList<int> shifts = catalogueShifts();
        QVERIFY(shifts.contains(-345) && shifts.contains(210) && shifts.contains(-570));
        QList<WeekLists> weeks = midnightLists();
        for (int round = 1; round < 40; ++round)
            weeks << randomLists(random);
        for (const WeekLists& lists : weeks) {
            for (int playerShift : shifts) {
                const QList<ScheduleRow> rows = LocalToStored(lists, playerShift);
                QCOMPARE(StoredToLocal(rows, playerShift), lists);
                QCOMPARE(LocalToStored(StoredToLocal(rows, playerShift), playerShift), rows);
                for (int delta : {60, -60})
                    QVERIFY(covered(StoredToLocal(rows, playerShift + delta)) == covered(lists, delta));
                const QBitArray gmt = covered(lists, -playerShift);
                for (int g = 0; g < kMinutesPerWeek; ++g)
                    if (foundByLookup(rows, g) != gmt.testBit(g))
                        QFAIL(qPrintable(QStringLiteral("shift %1, GMT minute %2, rows %3")
                                             .arg(playerShift)
                                             .arg(g)
                                             .arg(rowsText(rows))));
            }
        }
    }

    // Rows of older versions (GMT times under the local weekday, start later than end) and rows off
    // the grid still load as stretches a bar can show.
    void looseRowsLoadOnTheGrid() {
        const struct {
            QList<ScheduleRow> rows;
            int shift, day;
            QStringList local;
        } cases[] = {{{{2, 22 * 60, 3 * 60}}, 300, 1, {"17:00|22:00"}},
                     // Off the grid: widened to the half hours around it.
                     {{{4, 10 * 60 + 10, 11 * 60 + 20}}, 0, 3, {"10:00|11:30"}},
                     // Widening makes neighbours meet: joined.
                     {{{4, 10 * 60 + 10, 11 * 60 + 20}, {4, 11 * 60 + 40, 12 * 60}}, 0, 3, {"10:00|12:00"}}};
        for (const auto& c : cases)
            QCOMPARE(StoredToLocal(c.rows, c.shift)[c.day], c.local);
        // A whole week of rows that meet end to end.
        QList<ScheduleRow> week;
        for (int d = 1; d <= 7; ++d)
            week << ScheduleRow{d, 0, kLastStoredMinute};
        const WeekLists all = StoredToLocal(week, 90);
        for (int d = 0; d < 7; ++d)
            QCOMPARE(all[d], QStringList{"00:00|24:00"});
    }

    void weekdayNumbers() {
        QCOMPARE(WeekdayNumber(QDate(2024, 6, 9)), 1); // a Sunday
        QCOMPARE(StoredMomentOf(-1).day, 7);
        QCOMPARE(StoredMomentOf(-1).minutes, kLastStoredMinute);
        QCOMPARE(StoredMomentOf(kMinutesPerWeek + 61).day, 1);
    }
};

QTEST_GUILESS_MAIN(ScheduleStorageTest)
#include "schedulestorage_test.moc"
