#include "ui/PopupMenu.h"

#include <QAction>
#include <QMenu>

namespace rm {

namespace {
PopupMenuRunner g_popupRunner;
} // namespace

QAction* RunPopupMenu(QMenu* menu, const QPoint& globalPos) {
    if (g_popupRunner)
        return g_popupRunner(menu);
    return menu->exec(globalPos);
}

void SetPopupMenuRunner(PopupMenuRunner runner) {
    g_popupRunner = std::move(runner);
}

QAction* FindMenuAction(const QMenu* menu, const QString& objectName) {
    for (QAction* action : menu->actions())
        if (action->objectName() == objectName)
            return action;
    return nullptr;
}

} // namespace rm
