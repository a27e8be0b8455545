#include "ui/DesktopServices.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace rm {

namespace {

std::function<bool(const QUrl&)> g_opener;
std::function<bool(const QString&)> g_starter;

} // namespace

bool OpenWithDesktop(const QUrl& url) {
    if (g_opener)
        return g_opener(url);
    return QDesktopServices::openUrl(url);
}

void SetDesktopOpener(std::function<bool(const QUrl&)> opener) {
    g_opener = std::move(opener);
}

bool StartProgram(const QString& program) {
    if (g_starter)
        return g_starter(program);
    return QProcess::startDetached(program, {});
}

void SetProgramStarter(std::function<bool(const QString&)> starter) {
    g_starter = std::move(starter);
}

QString FindFirstProgram(const QStringList& names) {
    for (const QString& name : names) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

} // namespace rm
