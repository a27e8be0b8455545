#include "data/Startup.h"

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/Schema.h"

#include <QDir>
#include <QFileInfo>

namespace rm {

namespace {

// Every start-up message names the file it is about.
StartupError FileError(const QString& description, const QString& path) {
    return StartupError{kStartupErrorNumber,
                        description + QStringLiteral("\n\nDatabase file: ") + QDir::toNativeSeparators(path)};
}

} // namespace

std::optional<StartupError> OpenDatabaseAndLoadOptions() {
    const QString path = DatabasePath();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return FileError(QStringLiteral("The Rallymark database file appears to be missing!"), path);

    DbConnection& db = Db();
    if (!db.open(path)) {
        const QString reason = db.lastError();
        return FileError(
            reason.isEmpty() ? QStringLiteral("The Rallymark database could not be opened!") : reason, path);
    }
    if (!db.isOpen())
        return FileError(QStringLiteral("The Rallymark database could not be opened!"), path);

    // A file made by an earlier version gets the newer columns; a file that is not a database, or
    // lacks a table, cannot work: end with its description.
    std::optional<QString> problem = UpgradeSchema(db);
    if (!problem)
        problem = CheckSchema(db);
    if (problem) {
        db.close();
        return FileError(*problem, path);
    }

    // A damaged Options row ends start-up like any other damaged file.
    if (const std::optional<QString> optionsProblem = ReadOptionsRecord()) {
        db.close();
        return FileError(*optionsProblem, path);
    }
    return std::nullopt;
}

} // namespace rm
