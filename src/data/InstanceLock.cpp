#include "data/InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace rm {

namespace {

constexpr int kWaitMs = 2000;
const QByteArray kRaise = QByteArrayLiteral("raise\n");

} // namespace

InstanceLock::InstanceLock() = default;

InstanceLock::~InstanceLock() {
    if (m_server)
        m_server->close();
}

QString InstanceLock::KeyFor(const QString& databasePath) {
    const QFileInfo info(databasePath);
    const QString canonical = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    return QStringLiteral("rallymark-") +
           QString::fromLatin1(
               QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(24));
}

QString InstanceLock::LockFilePath(const QString& databasePath) {
    return QDir::temp().filePath(KeyFor(databasePath) + QStringLiteral(".lock"));
}

bool InstanceLock::claim(const QString& databasePath) {
    const QString key = KeyFor(databasePath);
    auto lock = std::make_unique<QLockFile>(LockFilePath(databasePath));
    // Stale only when its process is gone, however long a copy has been running.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError)
            return true; // no place for a lock file: better unguarded than not started at all
        QLocalSocket socket;
        socket.connectToServer(key);
        if (socket.waitForConnected(kWaitMs)) {
            socket.write(kRaise);
            socket.waitForBytesWritten(kWaitMs);
            socket.disconnectFromServer();
        }
        return false;
    }
    m_lock = std::move(lock);
    m_server = std::make_unique<QLocalServer>();
    QLocalServer::removeServer(key); // a socket a crashed copy left behind
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server->listen(key)) {
        connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = m_server->nextPendingConnection()) {
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                    if (socket->readAll().contains(kRaise.trimmed()) && onRaiseRequested)
                        onRaiseRequested();
                });
            }
        });
    }
    return true;
}

} // namespace rm
