#include "ui/StatusMessage.h"

#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>

namespace rm {

void ShowStatus(const QString& text) {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<QMainWindow*>(top))
            main->statusBar()->showMessage(text, 15000);
}

} // namespace rm
