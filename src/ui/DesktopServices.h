#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace rm {

// Opens a document or web page with the desktop's default program. Returns false when the desktop
// refused it. Tests replace the opener to see what would be opened.
bool OpenWithDesktop(const QUrl& url);
void SetDesktopOpener(std::function<bool(const QUrl&)> opener); // empty restores the desktop's own

// Starts a program detached from this one. Returns false when it could not be started.
bool StartProgram(const QString& program);
void SetProgramStarter(std::function<bool(const QString&)> starter); // empty restores QProcess

// The first of the given program names found on PATH, as a full path; empty when none is there.
QString FindFirstProgram(const QStringList& names);

} // namespace rm
