#pragma once

#include <QString>

namespace rm {

// Statements of the connection-type catalogue.
QString ConnectionListSql();
QString ConnectionSelectSql(qint32 key);
QString ConnectionInsertSql(const QString& name);
QString ConnectionUpdateSql(const QString& name, qint32 key);
QString ConnectionDeleteSql(qint32 key);
// The players that still use a connection type.
QString ConnectionInUseSql(qint32 key);

// The stored name of a connection type, trimmed; empty when no row has the key. Raises DbError.
QString RetrieveConnectionName(qint32 key);

// The OK step of the entry dialog for a mode ("Add", "Edit", "Delete", any case): shows its own
// message for an empty entry, a name that another type already has, or a type that players still
// use, and returns true when the statement has run. Raises DbError when the store refuses.
bool SaveConnectionType(const QString& mode, qint32 key, const QString& name);

} // namespace rm
