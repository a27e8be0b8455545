#pragma once

#include "roster/widgets/CatalogueWidgets.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace rm {

// The division list: name, game, active flag, number of active members, whether there are notes,
// and the hidden key. Active divisions come first.
class frmDivisions : public CatalogueListWindow {
public:
    explicit frmDivisions(QWidget* parent = nullptr);
};

// Adds, edits or deletes one division; a delete takes the division's memberships and titles along.
class frmMaintainDivision : public MaintainDialog {
    Q_OBJECT

public:
    explicit frmMaintainDivision(QWidget* parent = nullptr);

protected:
    void loadDialog() override;
    bool save() override;
    QList<QWidget*> editableFields() const override;

private:
    QLineEdit* txtDivisionName = nullptr;
    QComboBox* cboGame = nullptr;
    QCheckBox* chkActive = nullptr;
    QPlainTextEdit* txtNotes = nullptr;
    QLabel* lblLastUpdate = nullptr;
    QLineEdit* txtDiscordWebhook = nullptr;
};

} // namespace rm
