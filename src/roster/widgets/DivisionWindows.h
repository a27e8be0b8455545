#pragma once

#include "ui/Maintenance.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;

namespace rm {

class ListResizeRule;

// The division list: name, game, active flag, number of active members, whether there are notes,
// and the hidden key. Active divisions come first.
class frmDivisions : public MaintenanceWindow {
    Q_OBJECT

public:
    explicit frmDivisions(QWidget* parent = nullptr);

    void refresh() override;

protected:
    qint32 selectedKey() const override;
    MaintainDialog* createDialog() override;
    QString noSelectionText(const QString& button) const override;

private:
    void FillDivisions();

    QTreeWidget* lsvDivisions = nullptr;
    ListResizeRule* m_resize = nullptr;
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
    void FillDropDowns();

    QLineEdit* txtDivisionName = nullptr;
    QComboBox* cboGame = nullptr;
    QCheckBox* chkActive = nullptr;
    QPlainTextEdit* txtNotes = nullptr;
    QLabel* lblLastUpdate = nullptr;
    QLineEdit* txtDiscordWebhook = nullptr;
};

} // namespace rm
