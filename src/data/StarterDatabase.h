#pragma once

#include <QString>

namespace rm {

class DbConnection;

// Writes the schema and the starter contents (Options row, time-zone catalogue, genres, game types,
// connection types) into an open, empty database. Raises DbError on failure.
void WriteStarterContents(DbConnection& db);

// Creates a new database file at path with the starter contents. Refuses to touch an existing file.
// Returns false with a message in error on failure.
bool CreateStarterDatabase(const QString& path, QString* error);

} // namespace rm
