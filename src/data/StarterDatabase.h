#pragma once

#include <QString>
#include <QStringList>

namespace rm {

class DbConnection;

// Writes the schema and the starter contents (Options row, time-zone catalogue, genres, game types,
// connection types) into an open, empty database. Raises DbError on failure.
void WriteStarterContents(DbConnection& db);

// Gives every catalogue entry whose name and offset are those of a starter entry, and that names no
// real zone yet, the starter entry's real zone. Raises DbError on failure.
void AssignStarterRealZones(DbConnection& db);
// The real zones of the starter catalogue, in its order.
QStringList StarterRealZones();

// Creates a new database file at path with the starter contents. Refuses to touch an existing file.
// Returns false with a message in error on failure.
bool CreateStarterDatabase(const QString& path, QString* error);

} // namespace rm
