#include "scheduling/ClockChanges.h"

#include "scheduling/WeekGrid.h"
#include "time/TimeText.h"

#include <QLocale>
#include <QSet>

namespace rm {

namespace {

int minutesOf(const QDateTime& wall) {
    return wall.time().msecsSinceStartOfDay() / 60000;
}

} // namespace

QList<ClockChangeWeek> ClockChangesAhead(const SearchSelection& selection, qint32 userZone,
                                         const QDate& firstDate, int minutes, int weeks) {
    QList<ClockChangeWeek> result;
    const QList<qint32> ids = [&] {
        QList<qint32> list;
        for (const SearchPerson& p : PeopleToSearch(selection))
            if (!list.contains(p.id))
                list << p.id;
        return list;
    }();
    const QHash<qint32, qint32> zoneOf = LoadPlayerZones(ids);
    const QHash<qint32, ZoneClock> clocks = LoadZoneClocks();
    const ZoneClock user = clocks.value(userZone);
    // Every selected member is looked at, available or not.
    const QHash<qint32, QString> names = LoadPlayerNames(ids);

    QHash<qint32, QDateTime> firstClock;
    QSet<qint32> firstAvailable;
    for (int w = 0; w < weeks; ++w) {
        ClockChangeWeek week;
        week.date = firstDate.addDays(7 * w);
        const ResolvedMoment at = user.toUtc(week.date, minutes);
        week.utc = at.utc;
        week.kind = at.kind;
        QSet<qint32> available;
        for (const AvailablePerson& p : FindAvailable(selection, at.utc))
            available.insert(p.id);
        week.count = static_cast<int>(available.size());
        for (qint32 id : ids) {
            const QDateTime local = clocks.value(zoneOf.value(id)).toLocal(at.utc);
            if (w == 0) {
                firstClock.insert(id, local);
                continue;
            }
            const QDateTime first = firstClock.value(id);
            // The same wall clock a whole number of weeks later reads the same weekday and time.
            if (local.date().dayOfWeek() == first.date().dayOfWeek() && minutesOf(local) == minutesOf(first))
                continue;
            week.shifted << MemberClockShift{id,    names.value(id),        local,
                                             first, available.contains(id), firstAvailable.contains(id)};
        }
        if (w == 0)
            firstAvailable = available;
        result << week;
    }
    return result;
}

bool AnyClockChange(const QList<ClockChangeWeek>& weeks) {
    for (const ClockChangeWeek& w : weeks)
        if (!w.shifted.isEmpty())
            return true;
    return false;
}

QStringList ClockChangeLines(const QList<ClockChangeWeek>& weeks, bool timeFormat24) {
    QStringList lines;
    if (!AnyClockChange(weeks)) {
        lines << QStringLiteral("No clock changes in the next %1 weeks for these members").arg(weeks.size());
        return lines;
    }
    const QLocale locale;
    for (const ClockChangeWeek& w : weeks) {
        lines << QStringLiteral("%1 – %2 available")
                     .arg(locale.toString(w.date, QStringLiteral("ddd d MMM yyyy")))
                     .arg(w.count);
        for (const MemberClockShift& m : w.shifted) {
            QString line = QStringLiteral("    %1: %2 %3 instead of %4 %5")
                               .arg(m.name, WeekdayName(m.localThen.date().dayOfWeek() % 7 + 1),
                                    FormatTimeOfDay(minutesOf(m.localThen), timeFormat24),
                                    WeekdayName(m.localFirst.date().dayOfWeek() % 7 + 1),
                                    FormatTimeOfDay(minutesOf(m.localFirst), timeFormat24));
            if (m.joins())
                line += QStringLiteral(" (joins)");
            else if (m.dropsOut())
                line += QStringLiteral(" (drops out)");
            lines << line;
        }
    }
    return lines;
}

} // namespace rm
