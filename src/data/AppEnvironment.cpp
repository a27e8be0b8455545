#include "data/AppEnvironment.h"

#include <QCoreApplication>
#include <QDir>

namespace rm {

namespace {

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

SystemClock g_systemClock;
const Clock* g_clock = nullptr;
QString g_applicationFolder;
QString g_settingsFile;

} // namespace

const Clock& CurrentClock() {
    return g_clock ? *g_clock : g_systemClock;
}
void SetClock(const Clock* clock) {
    g_clock = clock;
}
QDateTime Now() {
    return CurrentClock().now();
}

QString ApplicationFolder() {
    if (!g_applicationFolder.isEmpty())
        return g_applicationFolder;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void SetApplicationFolder(const QString& folder) {
    g_applicationFolder = folder;
}

QString DatabasePath() {
    return QDir(ApplicationFolder()).filePath(kDatabaseFileName);
}

std::unique_ptr<QSettings> OpenSettings() {
    if (!g_settingsFile.isEmpty())
        return std::make_unique<QSettings>(g_settingsFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QStringLiteral("Brassmoor"), QStringLiteral("Rallymark"));
}

void SetSettingsFile(const QString& iniPath) {
    g_settingsFile = iniPath;
}

} // namespace rm
