#pragma once

// The two searches of the scheduling screen.
//
// A player's week is wall-clock time in the player's zone, kept in the zone's standard-time frame
// (stored = local + TZ_GMT_Offset; see ScheduleStorage.h). Both ends of a row count: a frame moment
// (day d, time t) is free when a row of the person has Schedule_Day = d and
// Schedule_StartTime <= t <= Schedule_EndTime.
//
// Every question is asked at a real instant: the leader's date and time on the leader's clock
// (that zone's real offset on that date). Each person is looked up at the instant as it stands on the
// person's own clock on that date: frame moment = instant + the zone's real offset + TZ_GMT_Offset.
// Zones whose clocks stand the same distance from their standard time share one lookup.
//
// The best-times search counts a real week: the seven days from a chosen date, every step of each
// ticked day on the leader's clock, each slot a real instant; so in a week in which some zone changes
// its clocks the counts follow.

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

#include "time/ZoneClock.h"

namespace rm {

// 1 = Sunday .. 7 = Saturday.
int SchedulingWeekday(const QDate& date);
// "Sunday" .. "Saturday" → 1 .. 7; 0 for any other text.
int WeekdayFromName(const QString& name);

// A moment as Schedules stores it: GMT weekday and GMT minutes after midnight.
struct GmtMoment {
    int day = 1;
    int minutes = 0;
    bool operator==(const GmtMoment&) const = default;
};

// The leader's date and time, on the leader's clock (zone key), as a real instant. An unknown zone is
// taken as UTC.
ResolvedMoment MatchInstant(const QDate& localDate, int localMinutes, qint32 zone);
// Minutes of the week (Sunday 00:00 = 0) of an instant moved by `shift` minutes.
int WeekMinuteOf(const QDateTime& utc, int shift);
// Where a stored week is looked up at an instant for a zone whose clocks stand `frameShift` minutes
// from its standard time then (ZoneClock::frameShiftAt).
GmtMoment FrameMomentAt(const QDateTime& utc, int frameShift);

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
QString PlayerZonesStatement(const QList<qint32>& players);
QString ScheduleRowsStatement(const QList<qint32>& players);
QString DeleteSchedulingWorkStatement();

// The people of a selection in search order: by player the selected players; by division the
// active members of every selected division in division order, a member listed once per division.
QList<SearchPerson> PeopleToSearch(const SearchSelection& selection);

// Player_TimeZone of each player.
QHash<qint32, qint32> LoadPlayerZones(const QList<qint32>& players);

// One person of an availability answer.
struct AvailablePerson {
    qint32 id = 0;
    QString name; // trimmed online name
    bool operator==(const AvailablePerson&) const = default;
};

// The availability search: the people free at a real instant. By player in list order; by division in
// division order, then membership order, a name that is already listed (the same player in two
// divisions, or two players sharing a name) given once.
QList<AvailablePerson> FindAvailable(const SearchSelection& selection, const QDateTime& utc);
QStringList NamesOf(const QList<AvailablePerson>& people);

// One counted moment of the best-times search.
struct CountedSlot {
    int localDay = 1;                  // the user's weekday, 1 = Sunday
    int localMinutes = 0;              // the user's time of day
    QDate localDate;                   // the user's date of the slot in the week counted
    QDateTime utc;                     // the instant of the slot
    LocalKind kind = LocalKind::Exact; // Skipped: the user's clocks jump over it, nobody is counted
    GmtMoment gmt;                     // WS_Day, WS_Time: the UTC weekday and time of day of the instant
    QList<qint32> players;             // in search order, each once
    int count() const { return static_cast<int>(players.size()); }
};

struct BestTimesRequest {
    std::array<bool, 7> days{}; // index 0 = Sunday; the user's own weekdays
    int step = 30;              // minutes: 15, 30 or 60
    qint32 zone = 0;            // the user's zone
    QDate weekOf;               // the first of the seven days counted
};

// The seven dates counted: weekOf and the six days after it.
QList<QDate> WeekDates(const QDate& weekOf);

// The moments of a search in date order: every ticked weekday of the seven days, every multiple of
// the step from 00:00 up to the last one before midnight, on the user's clock.
QList<CountedSlot> SlotsToCount(const BestTimesRequest& request, const ZoneClock& user);

// Every slot of a search with the people free at it: the one count behind the best-times list and
// the week grid.
struct CountedWeek {
    QList<CountedSlot> moments; // every slot of SlotsToCount, in date order
    QList<qint32> people;       // everybody searched, in search order, each once
};

// Counts the people free at every slot: reads the schedules of all people with one statement, lays
// each person's week out as a set of frame minutes and counts in memory.
CountedWeek CountWeek(const SearchSelection& selection, const BestTimesRequest& request);

// The slots with at least one person, best first: count descending, ties in date order.
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
