#include "ui/WindowRegistry.h"

#include <QDialog>
#include <QHash>
#include <QWidget>

namespace rm {

namespace {

QHash<QString, TaskWindowFactory>& taskWindows() {
    static QHash<QString, TaskWindowFactory> map;
    return map;
}

QHash<QString, ModalDialogFactory>& modalDialogs() {
    static QHash<QString, ModalDialogFactory> map;
    return map;
}

} // namespace

void RegisterTaskWindow(const QString& name, TaskWindowFactory factory) {
    taskWindows().insert(name, std::move(factory));
}

void RegisterModalDialog(const QString& name, ModalDialogFactory factory) {
    modalDialogs().insert(name, std::move(factory));
}

bool HasTaskWindow(const QString& name) {
    return taskWindows().contains(name);
}
bool HasModalDialog(const QString& name) {
    return modalDialogs().contains(name);
}

QWidget* CreateTaskWindow(const QString& name) {
    const auto it = taskWindows().constFind(name);
    if (it == taskWindows().cend())
        return nullptr;
    QWidget* w = it.value()();
    if (w && w->objectName().isEmpty())
        w->setObjectName(name);
    return w;
}

QDialog* CreateModalDialog(const QString& name, QWidget* parent) {
    const auto it = modalDialogs().constFind(name);
    if (it == modalDialogs().cend())
        return nullptr;
    QDialog* d = it.value()(parent);
    if (d && d->objectName().isEmpty())
        d->setObjectName(name);
    return d;
}

QStringList RegisteredTaskWindows() {
    return taskWindows().keys();
}

} // namespace rm
