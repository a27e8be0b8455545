#include "data/SafeFile.h"

#include <QDir>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace rm {

namespace {

std::optional<qint64> g_failAfter;

constexpr qint64 kChunk = 64 * 1024;

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

void SetWriteFailureAfter(std::optional<qint64> bytes) {
    g_failAfter = bytes;
}

bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error) {
    const auto failed = [&](const QString& reason) {
        *error = QStringLiteral("The file %1 could not be written: %2. An earlier file of that name was "
                                "left as it was.")
                     .arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    QSaveFile file(path);
    // Writing in place would destroy the old file on the first failure.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(file.errorString());
    qint64 done = 0;
    while (done < bytes.size()) {
        qint64 size = qMin(kChunk, bytes.size() - done);
        if (g_failAfter)
            size = qMin(size, qMax<qint64>(0, *g_failAfter - done));
        const qint64 written = size > 0 ? file.write(bytes.constData() + done, size) : 0;
        if (written <= 0) {
            const QString reason = written < 0 ? file.errorString() : Reason(ENOSPC);
            file.cancelWriting();
            return failed(reason);
        }
        done += written;
    }
    if (!file.flush())
        return failed(file.errorString());
#ifdef Q_OS_UNIX
    // Some file systems report a full disk only when the data reaches it.
    if (::fsync(file.handle()) != 0) {
        const int e = errno;
        file.cancelWriting();
        return failed(Reason(e));
    }
#endif
    if (!file.commit())
        return failed(file.errorString());
    return true;
}

} // namespace rm
