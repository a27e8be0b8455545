#pragma once

#include <QPoint>

#include <functional>

class QAction;
class QMenu;

namespace rm {

// Every pop-up menu is shown through this call, so tests can choose an entry without blocking.
// Returns the chosen action, nullptr when the menu was dismissed.
QAction* RunPopupMenu(QMenu* menu, const QPoint& globalPos);
using PopupMenuRunner = std::function<QAction*(QMenu*)>;
void SetPopupMenuRunner(PopupMenuRunner runner); // empty restores QMenu::exec

// The entry of a menu with the given object name; nullptr when there is none.
QAction* FindMenuAction(const QMenu* menu, const QString& objectName);

} // namespace rm
