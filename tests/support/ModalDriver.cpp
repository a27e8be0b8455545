#include "support/ModalDriver.h"

#include "ui/Maintenance.h"

#include <QCoreApplication>

namespace rm::test {

ModalDriver::ModalDriver() {
    SetModalRunner([this](QDialog* dialog) {
        shown << dialog->objectName();
        dialog->setResult(QDialog::Rejected);
        dialog->show();
        QCoreApplication::processEvents();
        if (m_steps.isEmpty()) {
            unexpected << dialog->objectName();
            dialog->reject();
        } else {
            Step step = m_steps.takeFirst();
            step(dialog);
            if (dialog->isVisible())
                dialog->hide();
        }
        return dialog->result();
    });
}

ModalDriver::~ModalDriver() {
    SetModalRunner({});
}

} // namespace rm::test
