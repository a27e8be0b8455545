#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace rm {

// What the division dialog writes. A game key of 0 means the game list had nothing to choose.
struct DivisionEntry {
    QString name;
    qint32 gameKey = 0;
    bool active = true;
    QString notes;
};

// The division list: active divisions first, each group by name; only divisions whose game exists.
// MemberCount is the number of the division's members whose player is active.
QString DivisionListSql();

// The game list of the division dialog.
QString DivisionGameChoicesSql();
QString DivisionSelectSql(qint32 divisionId);
QString DivisionInsertSql(const DivisionEntry& entry, const QDateTime& savedAt);
QString DivisionUpdateSql(qint32 divisionId, const DivisionEntry& entry, const QDateTime& savedAt);
// The division, its memberships and its titles, in this order.
QStringList DivisionDeleteSqls(qint32 divisionId);

// The dialog's note about the last save: "Last updated on MM/DD/YY HH:MM AM"; empty when the stored
// value is no date-time.
QString LastUpdatedNote(const QString& storedUpdate);

// OK of the division dialog: validates, writes with the time of saving, or (after the confirmation)
// deletes the division together with its memberships and titles in one transaction. Shows its own
// messages and returns true when the dialog may close. A store refusal is raised as DbError; a
// delete that fails leaves everything as it was.
bool SaveDivision(const QString& editMode, qint32 divisionId, const DivisionEntry& entry);

// The key of the division added last. Raises DbError.
qint32 NewestDivisionKey();

} // namespace rm
