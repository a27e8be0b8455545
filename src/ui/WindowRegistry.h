#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QWidget;

namespace rm {

// The task windows and modal dialogs the main window can open, by their object names
// ("frmPlayers", "frmOptions", ...). Each area registers its own in Register*Windows(); the main
// window enables the menu entries and toolbar buttons whose windows are registered.
using TaskWindowFactory = std::function<QWidget*()>;
using ModalDialogFactory = std::function<QDialog*(QWidget* parent)>;

void RegisterTaskWindow(const QString& name, TaskWindowFactory factory);
void RegisterModalDialog(const QString& name, ModalDialogFactory factory);
bool HasTaskWindow(const QString& name);
bool HasModalDialog(const QString& name);
QWidget* CreateTaskWindow(const QString& name);                   // nullptr when not registered
QDialog* CreateModalDialog(const QString& name, QWidget* parent); // nullptr when not registered
QStringList RegisteredTaskWindows();

// A task window that shows one pick-list custom field at a time (the custom entries window).
class CustomFieldWindow {
public:
    virtual ~CustomFieldWindow() = default;
    virtual void showField(int fieldNumber, const QString& caption) = 0;
};

// Every area's registration, called once by the application before the main window is built.
void RegisterAllWindows();

} // namespace rm
