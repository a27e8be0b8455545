#pragma once

#include <QString>

namespace rm {

// Statements of the connection-type catalogue.
QString ConnectionListSql();
QString ConnectionSelectSql(qint32 key);
QString ConnectionInsertSql(const QString& name);
QString ConnectionUpdateSql(const QString& name, qint32 key);
QString ConnectionDeleteSql(qint32 key);

// The stored name of a connection type, trimmed; empty when no row has the key. Raises DbError.
QString RetrieveConnectionName(qint32 key);

// The OK step of the entry dialog for a mode ("Add", "Edit", "Delete", any case): shows its own
// message for an empty entry and returns true when the statement has run. A type that players still
// use is deleted all the same; they keep its key. Raises DbError when the store refuses.
bool SaveConnectionType(const QString& mode, qint32 key, const QString& name);

} // namespace rm
