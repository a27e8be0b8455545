#pragma once

// One copy of Rallymark per database file. The first copy holds a lock file and listens on a local
// socket, both named after the file's path; a later copy on the same file finds the lock held, asks
// the first copy to bring its window to the front and does not open. A lock left behind by a copy
// that crashed belongs to no running process and is taken over.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

namespace rm {

class InstanceLock final : public QObject {
public:
    InstanceLock();
    ~InstanceLock() override;

    // True when this process now holds the database file; false when another running copy holds
    // it, which has then been asked to come to the front. Where no lock file can be made at all, the
    // copy starts unguarded.
    bool claim(const QString& databasePath);

    // Called when a later copy asks this one to come to the front.
    std::function<void()> onRaiseRequested;

    // The name of the lock and the socket for a database file, and the lock file's path.
    static QString KeyFor(const QString& databasePath);
    static QString LockFilePath(const QString& databasePath);

private:
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace rm
