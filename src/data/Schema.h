#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace rm {

class DbConnection;

// The fourteen tables of the database file, in creation order.
QStringList SchemaTableNames();
// CREATE TABLE statements for a new file (keys never reused: INTEGER PRIMARY KEY AUTOINCREMENT).
QStringList SchemaStatements();
// The columns each table must have, as written in the statements.
QStringList SchemaColumns(const QString& table);

// Checks an open file: nullopt when it is a usable Rallymark database, otherwise a description such
// as "The Rallymark database file has no table Players" or the store's own error.
std::optional<QString> CheckSchema(DbConnection& db);

// Brings a file made by an earlier version up to date in one transaction: adds the columns it lacks,
// with their defaults; and a file whose weeks still depend on the day they were saved gets its
// catalogue entries' real zones (those of the starter catalogue) and every player's week rewritten to
// read exactly as the player window showed it before. Every row stays. Returns a description when the store
// refuses (the file is then as it was); nullopt when nothing was needed, the file was brought up to
// date, or it is no usable database at all (CheckSchema reports that).
std::optional<QString> UpgradeSchema(DbConnection& db);

} // namespace rm
