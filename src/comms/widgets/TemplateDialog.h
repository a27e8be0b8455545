#pragma once

#include "ui/Maintenance.h"

class QLineEdit;
class QPlainTextEdit;

namespace rm {

// The template dialog: adds ("A") or edits ("E") one row of Templates.
class frmTemplate : public MaintainDialog {
    Q_OBJECT

public:
    explicit frmTemplate(QWidget* parent = nullptr);

    QString UpdateMode; // "A" or "E"
    qint32 UpdatePK = 0;

    // Set when the template to edit could not be found; the dialog then closes as soon as it shows.
    bool closeAtOnce() const { return m_closeAtOnce; }
    // The checks of OK; shows the "Entry Error" warning and answers false when something is missing.
    bool ValidData();

protected:
    void loadDialog() override;
    bool save() override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* txtTemplateName = nullptr;
    QPlainTextEdit* txtTemplateContent = nullptr;
    bool m_closeAtOnce = false;
};

} // namespace rm
