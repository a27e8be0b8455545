#include "roster/ScheduleFrameUpgrade.h"

#include "data/DbConnection.h"
#include "roster/PlayerStore.h"
#include "roster/ScheduleStorage.h"
#include "time/Daylight.h"
#include "time/TimeText.h"

#include <QHash>
#include <QList>

#include <optional>

namespace rm {

namespace {

struct ZoneRow {
    qint32 offset = 0;
    QString code;
};

std::optional<int> storedTime(const QString& text) {
    const QString t = text.trimmed();
    if (const auto m = ParseHHMM(t))
        return m;
    return ParseHHMM(t.left(5));
}

} // namespace

void ConvertSchedulesToStandardFrame(DbConnection& db, const QDateTime& now) {
    // What the earlier version showed: local = stored - (o - 60*z + 60*u), with z the zone's rule
    // and u the user's rule as they stand today.
    QString userRule;
    {
        RowSet options = db.execute(QStringLiteral("Select Options_DST From Options"));
        if (!options.eof())
            userRule = options.text(QStringLiteral("Options_DST"));
    }
    const int u = IsRuleInEffect(userRule, now) ? 60 : 0;

    QHash<qint32, ZoneRow> zones;
    {
        RowSet rows =
            db.execute(QStringLiteral("Select TZ_ID, TZ_GMT_Offset, TZ_Daylight_Savings From TimeZones"));
        for (; !rows.eof(); rows.moveNext())
            zones.insert(rows.integer(QStringLiteral("TZ_ID")),
                         ZoneRow{rows.integer(QStringLiteral("TZ_GMT_Offset")),
                                 rows.text(QStringLiteral("TZ_Daylight_Savings")).trimmed()});
    }
    QHash<qint32, qint32> zoneOf;
    {
        RowSet rows = db.execute(QStringLiteral("Select Player_ID, Player_TimeZone From Players"));
        for (; !rows.eof(); rows.moveNext())
            zoneOf.insert(rows.integer(QStringLiteral("Player_ID")),
                          rows.integer(QStringLiteral("Player_TimeZone")));
    }

    QHash<qint32, QList<ScheduleRow>> rowsOf;
    QList<qint32> order;
    QHash<qint32, bool> unreadable;
    {
        RowSet rows = db.execute(QStringLiteral(
            "Select Schedule_Player, Schedule_Day, Schedule_StartTime, Schedule_EndTime From Schedules"));
        for (; !rows.eof(); rows.moveNext()) {
            const qint32 player = rows.integer(QStringLiteral("Schedule_Player"));
            if (!rowsOf.contains(player))
                order << player;
            const auto start = storedTime(rows.text(QStringLiteral("Schedule_StartTime")));
            const auto end = storedTime(rows.text(QStringLiteral("Schedule_EndTime")));
            const int day = rows.integer(QStringLiteral("Schedule_Day"));
            if (!start || !end || day < 1 || day > 7)
                unreadable[player] = true;
            else
                rowsOf[player] << ScheduleRow{day, *start, *end};
        }
    }

    for (qint32 player : std::as_const(order)) {
        if (!zoneOf.contains(player) || unreadable.value(player))
            continue; // rows of no player, or rows the player window could not show: kept as they are
        const auto zone = zones.constFind(zoneOf.value(player));
        const qint32 offset = zone == zones.cend() ? 0 : zone->offset;
        const int z = zone != zones.cend() && IsRuleInEffect(zone->code, now) ? 60 : 0;
        const int shownWith = offset - z + u;
        if (shownWith == offset)
            continue; // already in the standard-time frame: the rows stay exactly as they are
        const WeekLists week = StoredToLocal(rowsOf.value(player), shownWith);
        db.execute(SchedulesDeleteStatement(player));
        const QList<ScheduleRow> converted = LocalToStored(week, offset);
        // Many rows to one statement: a large roster upgrades in a moment.
        constexpr qsizetype kRowsPerStatement = 200;
        for (qsizetype first = 0; first < converted.size(); first += kRowsPerStatement) {
            QString sql = QStringLiteral("Insert Into Schedules (Schedule_Player, Schedule_Day, "
                                         "Schedule_StartTime, Schedule_EndTime) Values");
            for (qsizetype i = first; i < converted.size() && i < first + kRowsPerStatement; ++i) {
                const ScheduleRow& r = converted.at(i);
                sql += QStringLiteral("%1(%2, %3, '%4', '%5')")
                           .arg(i > first ? QStringLiteral(",") : QString())
                           .arg(player)
                           .arg(r.day)
                           .arg(MinutesToHHMM(r.start), MinutesToHHMM(r.end));
            }
            db.execute(sql);
        }
    }
}

} // namespace rm
