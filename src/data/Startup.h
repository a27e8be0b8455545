#pragma once

#include <QString>

#include <optional>

namespace rm {

// An error of start-up: number 1001 for the application's own checks, source "Rallymark".
struct StartupError {
    int number = 0;
    QString description;
    QString source = QStringLiteral("Rallymark");
};

inline constexpr int kStartupErrorNumber = 1001;

// Start-up from the existence test of the database file to the loading of the Options record:
// tests that ApplicationFolder()/ClanRoster.mdb exists, opens Db() on it, checks that it is a
// Rallymark database, and reads the Options record. Returns the error that must end the program, if
// any; its description names the database file.
std::optional<StartupError> OpenDatabaseAndLoadOptions();

} // namespace rm
