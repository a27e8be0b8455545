#include "roster/RosterExport.h"

#include "data/CustomFields.h"
#include "data/DbConnection.h"
#include "data/SafeFile.h"
#include "roster/ConnectionTypes.h"
#include "roster/MembershipStore.h"
#include "roster/PlayerStore.h"
#include "roster/RosterCsv.h"
#include "roster/RosterImport.h"
#include "time/TimeZoneCatalog.h"

namespace rm {

QList<QStringList> RosterCsvRows(const QList<qint32>& playerKeys) {
    QList<qint32> keys = playerKeys;
    if (keys.isEmpty())
        for (RowSet r =
                 Db().execute(QStringLiteral("Select Player_ID From Players Order By Player_OnlineName"));
             !r.eof(); r.moveNext())
            keys << r.integer(QStringLiteral("Player_ID"));
    QList<QStringList> rows;
    for (const qint32 k : keys) {
        const auto player = LoadPlayer(k);
        if (!player)
            continue;
        const PlayerRecord& p = *player;
        QStringList row{p.onlineName,
                        p.realName,
                        p.emailPrimary,
                        p.emailSecondary,
                        p.icq,
                        p.aim,
                        p.yahoo,
                        p.msn,
                        p.discord,
                        p.connection ? RetrieveConnectionName(p.connection) : QString(),
                        TimeZoneName(p.timeZone),
                        p.notes,
                        p.active ? QStringLiteral("Yes") : QStringLiteral("No")};
        for (const QString& text : p.customText)
            row << text;
        for (const qint32 drop : p.customDrop)
            row << (drop ? RetrieveCustomEntry(drop) : QString());
        QStringList divisions;
        for (const MembershipRow& m : ReadMemberships(k))
            divisions << (m.titleId > 0 && m.title != kUnknownTitle
                              ? m.division + QStringLiteral(": ") + m.title
                              : m.division);
        row << divisions.join(QLatin1Char('|'));
        const WeekLists week = LoadPlayerSchedule(k, p.timeZone);
        for (const QStringList& day : week)
            row << FormatDayStretches(day);
        rows << row;
    }
    return rows;
}

QByteArray ExportRosterCsv(const QList<qint32>& playerKeys, char delimiter, bool withBom) {
    QList<QStringList> rows = RosterCsvRows(playerKeys);
    for (QStringList& row : rows)
        for (QString& cell : row)
            cell = GuardFormula(cell);
    return WriteCsv(RosterCsvHeader(), rows, delimiter, withBom);
}

void SaveRosterCsv(const QString& path, const QList<qint32>& playerKeys, char delimiter, bool withBom) {
    QString error;
    if (!WriteFileSafely(path, ExportRosterCsv(playerKeys, delimiter, withBom), &error))
        throw DbError(error);
}

} // namespace rm
