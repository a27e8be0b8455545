#pragma once

// Every file Rallymark writes (rosters, CSV exports, calendar events) goes through here: the new
// content is written in full to a temporary file beside the target, each write checked and the
// data flushed to the disk, and only then does it replace the target. Whatever fails on the way,
// an existing file stays as it was.

#include <QByteArray>
#include <QString>

#include <optional>

namespace rm {

// Writes the bytes to path. False with a message that names the file and the reason ("No space
// left on device") in `error` when it cannot; the earlier file is then untouched.
bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error);

// Tests: after this many bytes every further write fails as on a full disk; nullopt writes
// normally again.
void SetWriteFailureAfter(std::optional<qint64> bytes);

} // namespace rm
