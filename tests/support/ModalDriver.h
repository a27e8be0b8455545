#pragma once

#include "ui/Maintenance.h"

#include <QCoreApplication>
#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>

namespace rm::test {

// Drives modal dialogs without blocking: while it lives, every RunModal() shows the dialog, hands
// it to the next scripted step and returns the dialog's result. A dialog with no step left is
// rejected (Cancel) and its name recorded in unexpected.
class ModalDriver {
public:
    using Step = std::function<void(QDialog*)>;

    ModalDriver() {
        SetModalRunner([this](QDialog* dialog) {
            shown << dialog->objectName();
            dialog->setResult(QDialog::Rejected);
            dialog->show();
            QCoreApplication::processEvents();
            if (m_steps.isEmpty()) {
                unexpected << dialog->objectName();
                dialog->reject();
            } else {
                m_steps.takeFirst()(dialog);
                if (dialog->isVisible())
                    dialog->hide();
            }
            return dialog->result();
        });
    }
    ~ModalDriver() { SetModalRunner({}); }

    void then(Step step) { m_steps << std::move(step); }
    int pending() const { return static_cast<int>(m_steps.size()); }

    QStringList shown;      // object names of the dialogs shown, in order
    QStringList unexpected; // dialogs that came without a step

private:
    QList<Step> m_steps;
};

// Finds a child by object name or fails the test.
template <typename T> T* child(QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (!found)
        qFatal("no child %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

} // namespace rm::test
