#include "data/DesktopLayout.h"

#include "data/AppEnvironment.h"

#include <cmath>
#include <limits>

namespace rm {

namespace {

QString key(int n, const char* word) {
    return QString::number(n) + QLatin1String(word);
}

// Settings values are texts; a number that cannot be read counts as 0.
qint32 readNumber(QSettings& settings, const QString& name) {
    bool ok = false;
    const double value = settings.value(name, QStringLiteral("0")).toString().trimmed().toDouble(&ok);
    return ok ? RoundHalfEven(value) : 0;
}

} // namespace

const QStringList& RestorableWindows() {
    static const QStringList names{
        QStringLiteral("frmCommCenter"), QStringLiteral("frmConnections"), QStringLiteral("frmCustomDrops"),
        QStringLiteral("frmDivisions"),  QStringLiteral("frmGames"),       QStringLiteral("frmGenresTypes"),
        QStringLiteral("frmPlayers"),    QStringLiteral("frmScheduling"),  QStringLiteral("frmTimeZones"),
        QStringLiteral("frmTitles"),
    };
    return names;
}

qint32 RoundHalfEven(double value) {
    const double rounded = std::nearbyint(value); // the default rounding mode is to nearest, ties to even
    if (rounded >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (rounded <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(rounded);
}

void SaveWindowPlacement(int n, const WindowPlacement& placement) {
    auto settings = OpenSettings();
    settings->setValue(key(n, "ScreenName"), placement.Name);
    settings->setValue(key(n, "ScreenTop"), QString::number(placement.Top));
    settings->setValue(key(n, "ScreenLeft"), QString::number(placement.Left));
    settings->setValue(key(n, "ScreenHeight"), QString::number(placement.Height));
    settings->setValue(key(n, "ScreenWidth"), QString::number(placement.Width));
}

WindowPlacement LoadWindowPlacement(int n) {
    auto settings = OpenSettings();
    WindowPlacement p;
    p.Name = settings->value(key(n, "ScreenName"), QString()).toString();
    if (p.Name.isEmpty())
        return p;
    p.Height = readNumber(*settings, key(n, "ScreenHeight"));
    p.Left = readNumber(*settings, key(n, "ScreenLeft"));
    p.Top = readNumber(*settings, key(n, "ScreenTop"));
    p.Width = readNumber(*settings, key(n, "ScreenWidth"));
    return p;
}

void ClearDesktop() {
    auto settings = OpenSettings();
    for (int n = 1;; ++n) {
        if (settings->value(key(n, "ScreenName"), QString()).toString().isEmpty())
            break;
        for (const char* word : {"ScreenName", "ScreenTop", "ScreenLeft", "ScreenHeight", "ScreenWidth"})
            settings->remove(key(n, word));
    }
}

void SaveDesktop(const QList<WindowPlacement>& windows) {
    ClearDesktop();
    int n = 0;
    for (const WindowPlacement& p : windows)
        SaveWindowPlacement(++n, p);
}

QList<WindowPlacement> LoadDesktop() {
    QList<WindowPlacement> result;
    for (int n = 1;; ++n) {
        WindowPlacement p = LoadWindowPlacement(n);
        if (p.Name.isEmpty())
            break;
        result << p;
    }
    return result;
}

void SaveMainWindowPlacement(const QByteArray& geometry) {
    OpenSettings()->setValue(QStringLiteral("MainWindow"), geometry);
}

QByteArray LoadMainWindowPlacement() {
    return OpenSettings()->value(QStringLiteral("MainWindow")).toByteArray();
}

void ClearMainWindowPlacement() {
    OpenSettings()->remove(QStringLiteral("MainWindow"));
}

bool ReadShowToolBar() {
    auto settings = OpenSettings();
    const QString text =
        settings->value(QStringLiteral("ShowToolBar"), QStringLiteral("True")).toString().trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok ? number != 0.0 : true;
}

void WriteShowToolBar(bool show) {
    OpenSettings()->setValue(QStringLiteral("ShowToolBar"),
                             show ? QStringLiteral("True") : QStringLiteral("False"));
}

} // namespace rm
