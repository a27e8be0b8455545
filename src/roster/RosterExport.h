#pragma once

// Writing players out as CSV, with the columns the roster import reads back (RosterCsvHeader).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace rm {

// The players with these keys (all players by online name when empty) as CSV with the columns of
// RosterCsvHeader. Raises DbError.
QList<QStringList> RosterCsvRows(const QList<qint32>& playerKeys);
QByteArray ExportRosterCsv(const QList<qint32>& playerKeys, char delimiter, bool withBom);
// Writes the export to a file, replacing it only once the whole text is written. Raises DbError for
// the store and for a file that cannot be written.
void SaveRosterCsv(const QString& path, const QList<qint32>& playerKeys, char delimiter, bool withBom);

} // namespace rm
