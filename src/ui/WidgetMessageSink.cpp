#include "ui/WidgetMessageSink.h"

#include "ui/Maintenance.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace rm {

int WidgetMessageSink::showMessage(const QString& text, int align, int buttons, int icon,
                                   const QString& title) {
    return ShowMessageBox(text, align, buttons, icon, title);
}

void WidgetMessageSink::showStandardBox(const QString& text, const QString& title, int icon) {
    QMessageBox::Icon standardIcon = QMessageBox::NoIcon;
    switch (icon) {
    case vbCritical:
        standardIcon = QMessageBox::Critical;
        break;
    case vbQuestion:
        standardIcon = QMessageBox::Question;
        break;
    case vbExclamation:
        standardIcon = QMessageBox::Warning;
        break;
    case vbInformation:
        standardIcon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox box(standardIcon, title, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("StandardMessageBox"));
    RunModal(&box);
}

void InstallWidgetMessageSink() {
    static WidgetMessageSink sink;
    SetMessageSink(&sink);
}

} // namespace rm
