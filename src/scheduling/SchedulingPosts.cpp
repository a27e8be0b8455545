#include "scheduling/SchedulingPosts.h"

#include "data/DbConnection.h"
#include "time/ZoneClock.h"

#include <QSet>

namespace rm {

QList<qint32> FindAvailablePlayerIds(const SearchSelection& selection, const GmtMoment& moment) {
    QList<qint32> searched;
    for (const SearchPerson& p : PeopleToSearch(selection))
        if (!searched.contains(p.id))
            searched << p.id;
    QList<qint32> found;
    if (searched.isEmpty())
        return found;
    QSet<qint32> free;
    for (RowSet rows = Db().execute(AvailableAtStatement(moment, searched)); !rows.eof(); rows.moveNext())
        free.insert(rows.integer(QStringLiteral("Schedule_Player")));
    for (const qint32 id : searched)
        if (free.contains(id))
            found << id;
    return found;
}

QList<BestTimePostRow> BestTimePostRows(const QList<CountedSlot>& counted, const QDate& today) {
    QList<BestTimePostRow> rows;
    std::optional<ZoneClock> user;
    for (const CountedSlot& slot : counted) {
        QDateTime utc = slot.utc;
        if (!utc.isValid()) {
            if (!user)
                user = UserZoneClock();
            utc = user->toUtc(NextDateOnWeekday(today, slot.localDay), slot.localMinutes).utc;
        }
        rows << BestTimePostRow{utc, slot.count()};
    }
    return rows;
}

} // namespace rm
