#pragma once

#include <QString>

namespace rm {

// Tells in the main window's status bar what was just done and where ("HTML roster written to
// /home/ann/roster.html"). Without a main window (a window tested alone) nothing is shown.
void ShowStatus(const QString& text);

} // namespace rm
