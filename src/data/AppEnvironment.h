#pragma once

#include <QDateTime>
#include <QSettings>
#include <QString>

#include <memory>

namespace rm {

// The clock behind every "now" of the system: daylight rules, time stamps of saves, dates in
// e-mails. Tests install a fixed clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0; // local date and time
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime now) : m_now(std::move(now)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& now) { m_now = now; }

private:
    QDateTime m_now;
};

const Clock& CurrentClock();
void SetClock(const Clock* clock); // not owned; nullptr restores the system clock
QDateTime Now();

// The folder that holds the executable, the database, Help/ and Export/.
QString ApplicationFolder();
void SetApplicationFolder(const QString& folder); // empty restores the executable's folder
QString DatabasePath();                           // ApplicationFolder() + "/ClanRoster.mdb"
inline const QString kDatabaseFileName = QStringLiteral("ClanRoster.mdb");

// The per-user settings store: organisation "Brassmoor", application "Rallymark". Tests point it at
// an INI file of their own.
std::unique_ptr<QSettings> OpenSettings();
void SetSettingsFile(const QString& iniPath); // empty restores the user's own store

} // namespace rm
