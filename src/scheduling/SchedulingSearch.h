#pragma once

// The two searches of the scheduling screen.
//
// Schedules rows hold the weekday and the GMT times of day of a stretch, stored under the weekday
// of the GMT moment (a stretch that crosses GMT midnight is two rows). Both ends of a row count: a
// GMT moment (day d, time t) is free when a row of the person has Schedule_Day = d and
// Schedule_StartTime <= t <= Schedule_EndTime.
//
// The availability search converts the user's local date and time to one GMT moment and lists who
// is free then. The best-times search walks the user's own ticked weekdays in steps from 00:00,
// converts every local moment to GMT (carrying the day) and counts the people free at it; each
// result names the local weekday and time, so searching that moment again lists exactly the people
// counted.

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace rm {

// 1 = Sunday .. 7 = Saturday.
int SchedulingWeekday(const QDate& date);
// The first date from `from` on (itself included) that falls on the weekday.
QDate NextDateOnWeekday(const QDate& from, int weekday);
// "Sunday" .. "Saturday" → 1 .. 7; 0 for any other text.
int WeekdayFromName(const QString& name);

// A moment as Schedules stores it: GMT weekday and GMT minutes after midnight.
struct GmtMoment {
    int day = 1;
    int minutes = 0;
    bool operator==(const GmtMoment&) const = default;
};

// The user's local date and time converted with toGMT, carrying across midnight.
GmtMoment MatchMomentToGMT(const QDate& localDate, int localMinutes, qint32 zone, bool userDaylightNow);
// The same arithmetic on minutes of the week (Sunday 00:00 = 0), given the zone's toGMT shift.
GmtMoment WeekMinutesToGMT(int localWeekMinutes, int toGMTShift);

// Who to search: the visible list decides the mode; ids in list order.
struct SearchSelection {
    bool byPlayer = true;
    QList<qint32> players;   // Player_ID of the selected players
    QList<qint32> divisions; // Division_ID of the selected divisions
};

// One person to search, in search order.
struct SearchPerson {
    qint32 id = 0;
    qint32 division = 0; // 0 when searched by player
};

// Statements.
QString ActiveMembersStatement(qint32 division);
QString AvailableAtStatement(const GmtMoment& moment, const QList<qint32>& players);
QString ScheduleRowsStatement(const QList<qint32>& players);
QString DeleteSchedulingWorkStatement();

// The people of a selection in search order: by player the selected players; by division the
// active members of every selected division in division order, a member listed once per division.
QList<SearchPerson> PeopleToSearch(const SearchSelection& selection);

// The availability search: the trimmed online names of the people free at the moment. By player in
// list order; by division in division order, then membership order, a name that is already listed
// (the same player in two divisions, or two players sharing a name) given once.
QStringList FindAvailable(const SearchSelection& selection, const GmtMoment& moment);

// One counted moment of the best-times search.
struct CountedSlot {
    int localDay = 1;      // the user's weekday, 1 = Sunday
    int localMinutes = 0;  // the user's time of day
    GmtMoment gmt;         // WS_Day, WS_Time
    QDate localDate;       // the user's date of the slot in the week searched
    QDateTime utc;         // the instant of the slot
    QList<qint32> players; // in search order, each once
    int count() const { return static_cast<int>(players.size()); }
};

struct BestTimesRequest {
    std::array<bool, 7> days{}; // index 0 = Sunday; the user's own weekdays
    int step = 30;              // minutes: 15, 30 or 60
    qint32 zone = 0;
    bool userDaylightNow = false;
};

// The local moments of a search in the order of the user's week: every ticked weekday, every
// multiple of the step from 00:00 up to the last one before midnight.
QList<CountedSlot> SlotsToCount(const BestTimesRequest& request, int toGMTShift);

// Every slot of a search with the people free at it: the one count behind the best-times list and
// the week grid.
struct CountedWeek {
    QList<CountedSlot> moments; // every slot of SlotsToCount, in the order of the user's week
    QList<qint32> people;       // everybody searched, in search order, each once
};

// Counts the people free at every slot: reads the schedules of all people with one statement and
// counts in memory.
CountedWeek CountWeek(const SearchSelection& selection, const BestTimesRequest& request);

// The slots with at least one person, best first: count descending, ties in the order of the
// user's week.
QList<CountedSlot> RankBestTimes(const QList<CountedSlot>& moments);

// RankBestTimes of CountWeek.
QList<CountedSlot> CountBestTimes(const SearchSelection& selection, const BestTimesRequest& request);

// One multi-row insert for the slots first .. first + count - 1.
QString InsertSchedulingWorkStatement(const QList<CountedSlot>& moments, qsizetype first, qsizetype count);

// Empties SchedulingWork and writes the counted slots in one transaction.
void WriteSchedulingWork(const QList<CountedSlot>& moments);

// The whole best-times search: counts, writes SchedulingWork and returns at most maxResults slots.
// With `week`, the whole count is handed back too.
QList<CountedSlot> ShowBestTimes(const SearchSelection& selection, const BestTimesRequest& request,
                                 int maxResults, CountedWeek* week = nullptr);

// "Tuesday - 20:30 - 5 player(s)"; the time in 24-hour form or "08:30 PM".
QString BestTimeEntry(const CountedSlot& slot, bool timeFormat24);

} // namespace rm
