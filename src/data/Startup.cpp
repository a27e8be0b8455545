#include "data/Startup.h"

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/Schema.h"

#include <QFileInfo>

namespace rm {

std::optional<StartupError> OpenDatabaseAndLoadOptions() {
    const QString path = DatabasePath();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return StartupError{kStartupErrorNumber,
                            QStringLiteral("The Rallymark database file appears to be missing!")};

    DbConnection& db = Db();
    if (!db.open(path)) {
        const QString reason = db.lastError();
        return StartupError{kStartupErrorNumber,
                            reason.isEmpty() ? QStringLiteral("The Rallymark database could not be opened!")
                                             : reason};
    }
    if (!db.isOpen())
        return StartupError{kStartupErrorNumber,
                            QStringLiteral("The Rallymark database could not be opened!")};

    // A file made by an earlier version gets the newer columns; a file that is not a database, or
    // lacks a table, cannot work: end with its description.
    std::optional<QString> problem = UpgradeSchema(db);
    if (!problem)
        problem = CheckSchema(db);
    if (problem) {
        db.close();
        return StartupError{kStartupErrorNumber, *problem};
    }

    LoadOptions();
    return std::nullopt;
}

} // namespace rm
