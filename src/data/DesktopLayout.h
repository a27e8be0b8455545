#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace rm {

// One saved task window: its name and its place inside the main window's client area, in twips.
struct WindowPlacement {
    QString Name;
    qint32 Top = 0;
    qint32 Left = 0;
    qint32 Width = 0;
    qint32 Height = 0;
};

// The windows a saved desktop may reopen.
const QStringList& RestorableWindows();

// The saved desktop in the per-user settings store: values n + "ScreenName", "ScreenTop",
// "ScreenLeft", "ScreenHeight" and "ScreenWidth" for n = 1, 2, ...
void SaveWindowPlacement(int n, const WindowPlacement& placement);
// An empty name and zeros when n + "ScreenName" is missing or empty.
WindowPlacement LoadWindowPlacement(int n);
// Removes the saved windows from 1 up to the first gap; ShowToolBar stays.
void ClearDesktop();
// ClearDesktop, then the windows given, numbered from 1 in their order.
void SaveDesktop(const QList<WindowPlacement>& windows);
// The saved windows from 1 up to the first gap.
QList<WindowPlacement> LoadDesktop();

// The main window's own place, size and maximised state as the windowing system gives it (value
// "MainWindow"); empty when none is saved. SaveDesktop keeps it; ClearMainWindowPlacement removes it.
void SaveMainWindowPlacement(const QByteArray& geometry);
QByteArray LoadMainWindowPlacement();
void ClearMainWindowPlacement();

// The ShowToolBar value ("True" or "False"); a missing or unreadable value counts as true.
bool ReadShowToolBar();
void WriteShowToolBar(bool show);

// Rounds half to even, like the conversions of the settings store.
qint32 RoundHalfEven(double value);

} // namespace rm
