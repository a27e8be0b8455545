#pragma once

// "Clock changes ahead": the same weekday and time on the leader's clock for the weeks to come, and
// for every week in which somebody's own clock reads differently from the first week, who, the
// time on their clock then, and whether that makes them join or drop out.

#include "scheduling/SchedulingSearch.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

namespace rm {

// A member whose own clock reads differently from the first week.
struct MemberClockShift {
    qint32 id = 0;
    QString name;
    QDateTime localThen;  // the member's wall clock that week
    QDateTime localFirst; // the member's wall clock in the first week
    bool availableThen = false;
    bool availableFirst = false;
    bool joins() const { return availableThen && !availableFirst; }
    bool dropsOut() const { return !availableThen && availableFirst; }
};

struct ClockChangeWeek {
    QDate date;    // the leader's date
    QDateTime utc; // the instant that week
    LocalKind kind = LocalKind::Exact;
    int count = 0;                   // the members available then
    QList<MemberClockShift> shifted; // empty in a week in which every clock reads as in the first
};

// The weeks from `firstDate` on (the first included), at `minutes` on the leader's clock (zone key).
QList<ClockChangeWeek> ClockChangesAhead(const SearchSelection& selection, qint32 userZone,
                                         const QDate& firstDate, int minutes, int weeks = 12);

// True when some week after the first has a member whose clock reads differently.
bool AnyClockChange(const QList<ClockChangeWeek>& weeks);

// One line per week: "Tue 10 Mar 2026 – 5 available", then for a changed week one line per member:
// "    Alex: 15:00 instead of 14:00 (drops out)". When nothing changes, the one line
// "No clock changes in the next 12 weeks for these members".
QStringList ClockChangeLines(const QList<ClockChangeWeek>& weeks, bool timeFormat24);

} // namespace rm
