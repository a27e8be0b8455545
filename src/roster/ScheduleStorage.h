#pragma once

// The weekly availability of a player in its two forms and the conversion between them.
//
// Local form (what the user edits): seven day lists, Sunday first, each a list of stretches
// "HH:MM|HH:MM" in the player's own local time on the half-hour grid of the time bars
// (start 00:00 .. 23:30, end 00:30 .. 24:00, start before end; "24:00" is the midnight that closes
// the day, the right edge of a bar).
//
// Stored form (the Schedules rows): every stretch is converted to GMT with the shift toGMT applies
// for the player's zone (GMT = local + shift) and stored under the weekday of the GMT moment,
// carrying across midnight (Saturday wraps to Sunday, Sunday back to Saturday). A row's start is
// never later than its end. A stretch whose GMT start and end fall on different days becomes two
// rows: start to '23:59' on the first day and '00:00' to end on the next (a '00:00' to '00:00' row
// when the GMT end is exactly midnight). Both ends of a row count as available, so a GMT moment
// (day d, time t) is available exactly when a row has Schedule_Day = d and
// Schedule_StartTime <= t <= Schedule_EndTime.
//
// Loading reverses this: rows that meet across GMT midnight ('23:59' then '00:00' the next day) are
// joined, every stretch is converted back with the same shift, a stretch that crosses local
// midnight is split there (the piece before midnight ends at 24:00), each piece is laid on the
// half-hour grid (start rounded down, end rounded up, at least half an hour long) and pieces that
// overlap or meet are joined. With the same shift, loading gives back exactly the day lists that
// were saved, and saving them again writes exactly the same rows; with another shift (the other
// daylight state) every stretch keeps its instants and its length.

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class QDate;

namespace rm {

// One Schedules row: weekday 1 = Sunday .. 7 = Saturday of the GMT moment, GMT times of day in
// minutes after midnight.
struct ScheduleRow {
    int day = 1;
    int start = 0;
    int end = 0;
    bool operator==(const ScheduleRow&) const = default;
};

// The seven day lists, index 0 = Sunday .. 6 = Saturday; an empty list means no stretches.
using WeekLists = std::array<QStringList, 7>;

inline constexpr int kHalfHour = 30;
inline constexpr int kLatestBarEnd = 24 * 60;          // "24:00", the right edge of a bar
inline constexpr int kLastStoredMinute = 23 * 60 + 59; // '23:59', the end of a first piece

// Local day lists → rows, ordered by day, start and end. Elements that are not "HH:MM|HH:MM" with
// the start not later than the end are left out.
QList<ScheduleRow> LocalToStored(const WeekLists& lists, int toGMTShift);

// Rows → local day lists on the half-hour grid, each list ordered by start. A row whose start is
// later than its end (written by older versions) is read as running past GMT midnight.
WeekLists StoredToLocal(const QList<ScheduleRow>& rows, int toGMTShift);

// Where a GMT moment is looked up: minutes of the week counted from Sunday 00:00 GMT (any value,
// taken modulo the week) → the stored weekday and time of day.
struct StoredMoment {
    int day = 1;
    int minutes = 0;
};
StoredMoment StoredMomentOf(int gmtWeekMinutes);

// The lookup condition of the searches: same day, start <= minutes <= end.
bool RowCovers(const ScheduleRow& row, int day, int minutes);

// The weekday number of a date: 1 = Sunday .. 7 = Saturday.
int WeekdayNumber(const QDate& date);

} // namespace rm
