#include "roster/PlayerStore.h"

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/SqlText.h"
#include "time/TimeFuncs.h"
#include "time/TimeText.h"

#include <QHash>
#include <QStringList>

#include <limits>

namespace rm {

namespace {

const QString kDivisionError = QStringLiteral("Error encountered adding player to division\n");
const QString kKeyError =
    QStringLiteral("Initial creation of that player failed.  Cannot continue with the operation.");
const QString kUpdateError =
    QStringLiteral("Problem encountered when saving player information.  Cannot continue operation.\n");
const QString kDeleteErrors[] = {
    QStringLiteral("Problem encountered deleting the main player information."),
    QStringLiteral("Problem encountered deleting the player membership information."),
    QStringLiteral("Problem encountered deleting the player schedule information."),
};

// What failed, then the store's own description.
[[noreturn]] void fail(const QString& what, const DbError& error) {
    QString text = what;
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    throw DbError(text + error.description());
}

QString number(qint64 value) {
    return QString::number(value);
}

QString icqValue(const QString& typed) {
    return number(IcqNumber(typed).value_or(0));
}

void insertMemberships(qint32 key, const QList<MembershipEntry>& memberships) {
    for (const MembershipEntry& m : memberships) {
        try {
            Db().execute(MemberInsertStatement(key, m));
        } catch (const DbError& e) {
            fail(kDivisionError, e);
        }
    }
}

// Weeks are kept in the zone's standard-time frame: stored = local + the zone's standard offset
// (TZ_GMT_Offset). That never depends on the day of saving, so loading gives back the wall-clock week
// on any date. An unknown zone is reported and taken as offset 0.
qint32 frameShift(qint32 zone) {
    if (const std::optional<ZoneRule> rule = cTimeFuncs::LookupZone(zone))
        return rule->offset;
    ShowMessage(QStringLiteral("Unrecoverable Data Error.  Number 1024"), AlignCenterText, vbOKOnly,
                vbCritical, QStringLiteral("Database Access Error"));
    return 0;
}

// One local day at a time, so that a failure names the day the user entered.
void insertSchedule(qint32 key, qint32 zone, const WeekLists& lists) {
    bool any = false;
    for (const QStringList& day : lists)
        any = any || !day.isEmpty();
    if (!any)
        return;
    const qint32 shift = frameShift(zone);
    for (int d = 0; d < 7; ++d) {
        WeekLists one;
        one[d] = lists[d];
        for (const ScheduleRow& row : LocalToStored(one, shift)) {
            try {
                Db().execute(ScheduleInsertStatement(key, row));
            } catch (const DbError& e) {
                fail(QStringLiteral("Error encountered player's %1 Schedule\n").arg(WeekdayName(d + 1)), e);
            }
        }
    }
}

std::optional<int> parseStoredTime(const QString& text) {
    const QString t = text.trimmed();
    if (const auto m = ParseHHMM(t))
        return m;
    return ParseHHMM(t.left(5)); // a time stored with seconds
}

// One stored row; nothing for a row whose times cannot be read.
std::optional<ScheduleRow> scheduleRow(const RowSet& rows) {
    const auto start = parseStoredTime(rows.text(QStringLiteral("Schedule_StartTime")));
    const auto end = parseStoredTime(rows.text(QStringLiteral("Schedule_EndTime")));
    if (!start || !end)
        return std::nullopt;
    return ScheduleRow{rows.integer(QStringLiteral("Schedule_Day")), *start, *end};
}

} // namespace

std::optional<qint32> IcqNumber(const QString& typed) {
    QString digits = typed.trimmed();
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    while (digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.isEmpty())
        return 0;
    if (digits.size() > 10)
        return std::nullopt;
    const qint64 value = digits.toLongLong();
    if (value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

QString IcqText(qint64 stored) {
    return stored == 0 ? QString() : number(stored);
}

std::optional<QString> PlayerValidationMessage(const PlayerRecord& player) {
    if (player.onlineName.trimmed().isEmpty())
        return kOnlineNameRequired;
    if (!IcqNumber(player.icq))
        return kIcqOutOfRange;
    return std::nullopt;
}

QString PlayerListQuery() {
    return QStringLiteral(
               "Select Player_ID, Player_OnlineName, Player_Active, Player_RealName, Player_EmailPrimary, "
               "Player_Notes, TZ_Name ") +
           QStringLiteral("From Players, TimeZones ") + QStringLiteral("Where TZ_ID = Player_TimeZone ") +
           QStringLiteral("Order By Player_Active DESC, Player_OnlineName");
}

QString PlayerSelectStatement(qint32 key) {
    return QStringLiteral("Select * From Players Where Player_ID = ") + number(key);
}

QString PlayerInsertStatement(const PlayerRecord& p, const QDateTime& now) {
    QString sql =
        QStringLiteral("Insert Into Players ") +
        QStringLiteral("(Player_TimeZone, Player_OnlineName, Player_Active, Player_RealName, "
                       "Player_EmailPrimary, Player_EmailSecondary, ") +
        QStringLiteral("Player_ICQ, Player_AIM, Player_Yahoo, Player_MSN, Player_Discord, Player_Connection, "
                       "Player_Notes, ") +
        QStringLiteral("Player_Custom1, Player_Custom2, Player_Custom3, Player_Custom4, ") +
        QStringLiteral("Player_CustomDrop1, Player_CustomDrop2, Player_CustomDrop3, Player_CustomDrop4, "
                       "Player_Update) ") +
        QStringLiteral("Values(") + number(p.timeZone) + QStringLiteral(", ") + SqlText(p.onlineName) +
        QStringLiteral(", ") + SqlBool(p.active) + QStringLiteral(", ") + SqlText(p.realName) +
        QStringLiteral(", ") + SqlText(p.emailPrimary) + QStringLiteral(", ") + SqlText(p.emailSecondary) +
        QStringLiteral(", ") + icqValue(p.icq) + QStringLiteral(", ") + SqlText(p.aim) +
        QStringLiteral(", ") + SqlText(p.yahoo) + QStringLiteral(", ") + SqlText(p.msn) +
        QStringLiteral(", ") + SqlText(p.discord.trimmed()) + QStringLiteral(", ") + number(p.connection) +
        QStringLiteral(", ") + SqlText(p.notes) + QStringLiteral(", ");
    for (const QString& text : p.customText)
        sql += SqlText(text) + QStringLiteral(", ");
    for (qint32 drop : p.customDrop)
        sql += number(drop) + QStringLiteral(", ");
    return sql + SqlDateTime(now) + QStringLiteral(") ");
}

QString PlayerUpdateStatement(const PlayerRecord& p, qint32 key, const QDateTime& now) {
    QString sql = QStringLiteral("Update Players ") + QStringLiteral("Set Player_TimeZone = ") +
                  number(p.timeZone) + QStringLiteral(", ") + QStringLiteral("Player_OnlineName = ") +
                  SqlText(p.onlineName) + QStringLiteral(", ") +
                  (p.active ? QStringLiteral("Player_Active = 1, ") : QStringLiteral("Player_Active = 0, ")) +
                  QStringLiteral("Player_RealName = ") + SqlText(p.realName) + QStringLiteral(", ") +
                  QStringLiteral("Player_EmailPrimary = ") + SqlText(p.emailPrimary) + QStringLiteral(", ") +
                  QStringLiteral("Player_EmailSecondary = ") + SqlText(p.emailSecondary) +
                  QStringLiteral(", ") + QStringLiteral("Player_ICQ = ") + icqValue(p.icq) +
                  QStringLiteral(", ") + QStringLiteral("Player_AIM = ") + SqlText(p.aim) +
                  QStringLiteral(", ") + QStringLiteral("Player_Yahoo = ") + SqlText(p.yahoo) +
                  QStringLiteral(", ") + QStringLiteral("Player_MSN = ") + SqlText(p.msn) +
                  QStringLiteral(", ") + QStringLiteral("Player_Discord = ") + SqlText(p.discord.trimmed()) +
                  QStringLiteral(", ") + QStringLiteral("Player_Connection = ") + number(p.connection) +
                  QStringLiteral(", ") + QStringLiteral("Player_Notes = ") + SqlText(p.notes) +
                  QStringLiteral(", ");
    for (int n = 0; n < kCustomFieldCount; ++n)
        sql +=
            QStringLiteral("Player_Custom%1 = ").arg(n + 1) + SqlText(p.customText[n]) + QStringLiteral(", ");
    for (int n = 0; n < kCustomFieldCount; ++n)
        sql += QStringLiteral("Player_CustomDrop%1 = ").arg(n + 1) + number(p.customDrop[n]) +
               QStringLiteral(", ");
    return sql + QStringLiteral("Player_Update = ") + SqlDateTime(now) + QStringLiteral(" ") +
           QStringLiteral("Where Player_ID = ") + number(key);
}

QString MemberInsertStatement(qint32 player, const MembershipEntry& m) {
    return QStringLiteral(
               "Insert Into Members (Member_Player_ID, Member_Division_ID, Member_Title) Values(") +
           number(player) + QStringLiteral(", ") + number(m.divisionId) + QStringLiteral(", ") +
           number(m.titleId) + QStringLiteral(") ");
}

QString ScheduleSelectStatement(qint32 player) {
    return QStringLiteral("Select * from Schedules Where Schedule_Player = ") + number(player) +
           QStringLiteral(" Order By Schedule_Day, Schedule_StartTime ");
}

QString ScheduleInsertStatement(qint32 player, const ScheduleRow& row) {
    return QStringLiteral("Insert Into Schedules (Schedule_Player, Schedule_Day, Schedule_StartTime, "
                          "Schedule_EndTime) Values(") +
           number(player) + QStringLiteral(", ") + number(row.day) + QStringLiteral(", ") +
           SqlTimeOfDay(row.start) + QStringLiteral(", ") + SqlTimeOfDay(row.end) + QStringLiteral(")");
}

QString PlayerDeleteStatement(qint32 key) {
    return QStringLiteral("Delete From Players Where Player_ID = ") + number(key) + QStringLiteral(" ");
}

QString MembersDeleteStatement(qint32 player) {
    return QStringLiteral("Delete From Members Where Member_Player_ID = ") + number(player) +
           QStringLiteral(" ");
}

QString SchedulesDeleteStatement(qint32 player) {
    return QStringLiteral("Delete From Schedules Where Schedule_Player = ") + number(player) +
           QStringLiteral(" ");
}

QList<PlayerListRow> ReadPlayerList() {
    QList<PlayerListRow> list;
    RowSet rows = Db().execute(PlayerListQuery());
    for (; !rows.eof(); rows.moveNext()) {
        PlayerListRow row;
        row.id = rows.integer(QStringLiteral("Player_ID"));
        row.onlineName = rows.text(QStringLiteral("Player_OnlineName")).trimmed();
        row.realName = rows.text(QStringLiteral("Player_RealName")).trimmed();
        row.active = rows.boolean(QStringLiteral("Player_Active"));
        row.zoneName = rows.text(QStringLiteral("TZ_Name")).trimmed();
        row.email = rows.text(QStringLiteral("Player_EmailPrimary")).trimmed();
        row.hasNotes = !rows.text(QStringLiteral("Player_Notes")).trimmed().isEmpty();
        list << row;
    }
    return list;
}

QString StoredPlayerRow(qint32 key) {
    RowSet rows = Db().execute(PlayerSelectStatement(key));
    if (rows.eof())
        return QString();
    QStringList values;
    for (int i = 0; i < rows.columnCount(); ++i) {
        const QVariant v = rows.valueAt(i);
        values << (v.isNull() ? QStringLiteral("(null)") : QLatin1Char('=') + v.toString());
    }
    return values.join(QLatin1Char('\x1f'));
}

QString ChangedElsewhereMessage(const QString& onlineName) {
    return QStringLiteral("%1 was changed elsewhere since you opened it.\n\nSave your entries over those "
                          "changes? Cancel keeps this window open with your entries.")
        .arg(onlineName);
}

std::optional<PlayerRecord> LoadPlayer(qint32 key) {
    RowSet rows = Db().execute(PlayerSelectStatement(key));
    if (rows.eof())
        return std::nullopt;
    return PlayerFromRow(rows);
}

PlayerRecord PlayerFromRow(const RowSet& rows) {
    auto text = [&rows](const char* column) { return rows.text(QString::fromLatin1(column)).trimmed(); };
    PlayerRecord p;
    p.timeZone = rows.integer(QStringLiteral("Player_TimeZone"));
    p.onlineName = text("Player_OnlineName");
    p.active = rows.boolean(QStringLiteral("Player_Active"));
    p.realName = text("Player_RealName");
    p.emailPrimary = text("Player_EmailPrimary");
    p.emailSecondary = text("Player_EmailSecondary");
    p.icq = IcqText(rows.value(QStringLiteral("Player_ICQ")).toLongLong());
    p.aim = text("Player_AIM");
    p.yahoo = text("Player_Yahoo");
    p.msn = text("Player_MSN");
    p.discord = text("Player_Discord");
    p.connection = rows.integer(QStringLiteral("Player_Connection"));
    p.notes = text("Player_Notes");
    for (int n = 0; n < kCustomFieldCount; ++n) {
        p.customText[n] = rows.text(QStringLiteral("Player_Custom%1").arg(n + 1)).trimmed();
        p.customDrop[n] = rows.integer(QStringLiteral("Player_CustomDrop%1").arg(n + 1));
    }
    return p;
}

QList<ScheduleRow> ReadScheduleRows(qint32 player) {
    QList<ScheduleRow> list;
    RowSet rows = Db().execute(ScheduleSelectStatement(player));
    for (; !rows.eof(); rows.moveNext())
        if (const auto row = scheduleRow(rows))
            list << *row;
    return list;
}

WeekLists LoadPlayerSchedule(qint32 player, qint32 zone) {
    const QList<ScheduleRow> rows = ReadScheduleRows(player);
    if (rows.isEmpty())
        return {};
    return StoredToLocal(rows, frameShift(zone));
}

QHash<qint32, WeekLists> LoadPlayerSchedules(const QHash<qint32, qint32>& zones) {
    if (zones.isEmpty())
        return {};
    QStringList keys;
    for (auto it = zones.cbegin(); it != zones.cend(); ++it)
        keys << number(it.key());
    QHash<qint32, QList<ScheduleRow>> stored;
    RowSet rows =
        Db().execute(QStringLiteral("Select * from Schedules Where Schedule_Player In (") +
                     keys.join(QStringLiteral(", ")) +
                     QStringLiteral(") Order By Schedule_Player, Schedule_Day, Schedule_StartTime "));
    for (; !rows.eof(); rows.moveNext())
        if (const auto row = scheduleRow(rows))
            stored[rows.integer(QStringLiteral("Schedule_Player"))] << *row;
    QHash<qint32, qint32> shifts; // per zone, looked up once
    QHash<qint32, WeekLists> weeks;
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        const qint32 zone = zones.value(it.key());
        if (!shifts.contains(zone))
            shifts.insert(zone, frameShift(zone));
        weeks.insert(it.key(), StoredToLocal(*it, shifts.value(zone)));
    }
    return weeks;
}

qint32 AddPlayer(const PlayerSave& save) {
    DbConnection::Transaction transaction(Db());
    try {
        Db().execute(PlayerInsertStatement(save.player, Now()));
    } catch (const DbError& e) {
        throw PlayerInsertError(e.description());
    }
    const qint32 key = Db().scalar(QStringLiteral("Select MAX(Player_ID) From Players")).toInt();
    if (key == 0)
        throw DbError(kKeyError);
    insertMemberships(key, save.memberships);
    if (save.schedule)
        insertSchedule(key, save.player.timeZone, *save.schedule);
    transaction.commit();
    return key;
}

void UpdatePlayer(qint32 key, const PlayerSave& save) {
    DbConnection::Transaction transaction(Db());
    try {
        Db().execute(PlayerUpdateStatement(save.player, key, Now()));
        Db().execute(MembersDeleteStatement(key));
        if (save.schedule)
            Db().execute(SchedulesDeleteStatement(key));
    } catch (const DbError& e) {
        fail(kUpdateError, e);
    }
    insertMemberships(key, save.memberships);
    if (save.schedule)
        insertSchedule(key, save.player.timeZone, *save.schedule);
    transaction.commit();
}

void DeletePlayer(qint32 key) {
    DbConnection::Transaction transaction(Db());
    const QString statements[] = {PlayerDeleteStatement(key), MembersDeleteStatement(key),
                                  SchedulesDeleteStatement(key)};
    for (int i = 0; i < 3; ++i) {
        try {
            Db().execute(statements[i]);
        } catch (const DbError& e) {
            fail(kDeleteErrors[i], e);
        }
    }
    transaction.commit();
}

void SavePlayerWeeks(const QList<PlayerWeek>& weeks) {
    DbConnection::Transaction transaction(Db());
    for (const PlayerWeek& w : weeks) {
        const QVariant zone = Db().scalar(
            QStringLiteral("Select Player_TimeZone From Players Where Player_ID = ") + number(w.player));
        if (zone.isNull())
            throw DbError(QStringLiteral("There is no player with the key %1.").arg(w.player));
        try {
            Db().execute(SchedulesDeleteStatement(w.player));
            Db().execute(QStringLiteral("Update Players Set Player_Update = ") + SqlDateTime(Now()) +
                         QStringLiteral(" Where Player_ID = ") + number(w.player));
        } catch (const DbError& e) {
            fail(kUpdateError, e);
        }
        insertSchedule(w.player, zone.toInt(), w.week);
    }
    transaction.commit();
}

} // namespace rm
