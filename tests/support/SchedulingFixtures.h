#pragma once

// Rosters for the scheduling tests and benchmark, written with plain SQL, and the plain reference
// best-times search that asks the store once per person and slot, with each person's clock read from
// the tz data directly. Header-only: the benchmark includes it too and links the core library only.

#include "data/DbConnection.h"
#include "data/Options.h"
#include "roster/ScheduleStorage.h"
#include "scheduling/SchedulingSearch.h"
#include "support/RosterRows.h"
#include "time/TimeFuncs.h"
#include "time/TimeText.h"

#include <QRandomGenerator>
#include <QTimeZone>

namespace rm::test {

// One stored row as it is: GMT weekday and GMT times of day.
inline void AddScheduleRow(qint32 player, int day, int start, int end) {
    Db().execute(QStringLiteral("Insert Into Schedules (Schedule_Player, Schedule_Day, Schedule_StartTime, "
                                "Schedule_EndTime) Values(%1, %2, '%3', '%4')")
                     .arg(player)
                     .arg(day)
                     .arg(MinutesToHHMM(start), MinutesToHHMM(end)));
}

inline QList<qint32> CatalogueZones() {
    QList<qint32> zones;
    RowSet rows = Db().execute(QStringLiteral("Select TZ_ID From TimeZones Order By TZ_ID"));
    for (; !rows.eof(); rows.moveNext())
        zones << rows.integer(QStringLiteral("TZ_ID"));
    return zones;
}

struct Roster {
    QList<qint32> activePlayers; // in online-name order
    QList<qint32> divisions;     // in name order
};

// A roster of players spread over every zone of the catalogue, each with up to `stretchesPerDay`
// stretches a day on the half-hour grid of the time bars, about one in ten inactive, each a member
// of one or two of the (at least one) divisions.
inline Roster MakeRandomRoster(QRandomGenerator& random, int players, int divisions,
                               int stretchesPerDay = 2) {
    DbConnection::Transaction transaction(Db());
    const QList<qint32> zones = CatalogueZones();
    Roster roster;
    for (int d = 0; d < divisions; ++d)
        roster.divisions << InsertDivision(QStringLiteral("Division %1").arg(d, 3, 10, QLatin1Char('0')));
    for (int p = 0; p < players; ++p) {
        const qint32 zone = zones.at(random.bounded(zones.size()));
        const bool active = random.bounded(10) != 0;
        const qint32 id =
            InsertPlayerRow(QStringLiteral("Player %1").arg(p, 5, 10, QLatin1Char('0')), active, zone);
        if (active)
            roster.activePlayers << id;
        WeekLists week; // stored the way the player dialog stores it
        for (QStringList& day : week) {
            const int stretches = random.bounded(stretchesPerDay + 1);
            for (int k = 0; k < stretches; ++k) {
                const int startCell = random.bounded(47);                           // 00:00 .. 23:00
                const int endCell = startCell + 1 + random.bounded(47 - startCell); // .. 23:30
                day << FormatStretch(startCell * 30, endCell * 30);
            }
        }
        for (const ScheduleRow& row : LocalToStored(week, cTimeFuncs::LookupZone(zone)->offset))
            AddScheduleRow(id, row.day, row.start, row.end);
        const qint32 first = roster.divisions.at(random.bounded(divisions));
        InsertMember(id, first);
        const qint32 second = roster.divisions.at(random.bounded(divisions));
        if (random.bounded(3) == 0 && second != first)
            InsertMember(id, second);
    }
    transaction.commit();
    return roster;
}

// A SchedulingWork row as text, for comparisons: "day HH:MM count players".
inline QStringList SchedulingWorkRows() {
    QStringList rows;
    RowSet r = Db().execute(QStringLiteral("Select WS_Day || ' ' || WS_Time || ' ' || WS_PlayerCount || ' ' "
                                           "|| Trim(WS_Players) As Line From SchedulingWork"));
    for (; !r.eof(); r.moveNext())
        rows << r.text(QStringLiteral("Line"));
    rows.sort();
    return rows;
}

// The plain search: one availability statement per person (as PeopleToSearch lists them), slot
// and ticked day, one lookup and one insert or update of SchedulingWork per hit. The slots are the
// user's wall clock on each of the seven days, made instants by Qt (weeks in which the user's own
// clocks change are not for this reference); each person is looked up under the stored weekday and
// time of day of the wall clock in their zone, moved into the zone's standard-time frame. Returns the
// rows it leaves in SchedulingWork.
inline QStringList ReferenceBestTimes(const SearchSelection& selection, const BestTimesRequest& request) {
    DbConnection::Transaction transaction(Db()); // only to spare the disk; the statements are the same
    Db().execute(QStringLiteral("Delete From SchedulingWork"));
    const auto zoneOf = [](const QVariant& key) { // the real zone and TZ_GMT_Offset
        RowSet r = Db().execute(
            QStringLiteral("Select TZ_IANA, TZ_GMT_Offset From TimeZones Where TZ_ID = ") + key.toString());
        return std::pair{QTimeZone(r.text(QStringLiteral("TZ_IANA")).toUtf8()),
                         r.integer(QStringLiteral("TZ_GMT_Offset"))};
    };
    const QTimeZone user = zoneOf(request.zone).first;
    for (const SearchPerson& person : PeopleToSearch(selection)) {
        const QString id = QString::number(person.id);
        const auto [zone, offset] = zoneOf(
            Db().scalar(QStringLiteral("Select Player_TimeZone From Players Where Player_ID = ") + id));
        for (int m = 0; m < kMinutesPerDay; m += request.step) {
            for (int k = 0; k < 7; ++k) {
                const QDate date = request.weekOf.addDays(k);
                if (!request.days.at(date.dayOfWeek() % 7))
                    continue;
                const QDateTime utc = QDateTime(date, QTime(0, 0).addSecs(m * 60), user).toUTC();
                const QDateTime local = utc.toTimeZone(zone);
                const QDateTime frame =
                    QDateTime(local.date(), local.time(), Qt::UTC).addSecs(qint64(offset) * 60);
                const QString sql = QStringLiteral("Select Schedule_Player From Schedules Where "
                                                   "Schedule_StartTime <= '%1' And Schedule_EndTime >= '%1' "
                                                   "And Schedule_Day = %2 And Schedule_Player = %3");
                const QString day = QString::number(frame.date().dayOfWeek() % 7 + 1);
                if (Db().execute(sql.arg(frame.toString(QStringLiteral("HH:mm")), day, id)).eof())
                    continue; // not free
                const QString wsTime = utc.toString(QStringLiteral("HH:mm"));
                const int wsDay = utc.date().dayOfWeek() % 7 + 1;
                const QString where =
                    QStringLiteral(" Where WS_Time = '%1' And WS_Day = %2").arg(wsTime).arg(wsDay);
                RowSet work = Db().execute(QStringLiteral("Select * From SchedulingWork") + where);
                if (work.eof()) {
                    Db().execute(
                        QStringLiteral("Insert Into SchedulingWork (WS_Time, WS_Day, WS_PlayerCount, "
                                       "WS_Players) Values('%1', %2, 1, '%3')")
                            .arg(wsTime)
                            .arg(wsDay)
                            .arg(id));
                    continue;
                }
                const QString players = work.text(QStringLiteral("WS_Players")).trimmed();
                const int count = work.integer(QStringLiteral("WS_PlayerCount"));
                work.close();
                if (!selection.byPlayer && players.split(QLatin1Char('|')).contains(id))
                    continue;
                Db().execute(
                    QStringLiteral("Update SchedulingWork Set WS_PlayerCount = %1, WS_Players = '%2'")
                        .arg(count + 1)
                        .arg(players + QLatin1Char('|') + id) +
                    where);
            }
        }
    }
    transaction.commit();
    return SchedulingWorkRows();
}

} // namespace rm::test
