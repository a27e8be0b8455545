#pragma once

#include "ui/Maintenance.h"

class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace rm {

// All divisional titles: division, title, and the hidden keys of the title and its division.
class frmTitles : public MaintenanceWindow {
    Q_OBJECT

public:
    explicit frmTitles(QWidget* parent = nullptr);

    void refresh() override;

protected:
    qint32 selectedKey() const override;
    MaintainDialog* createDialog() override;
    QString noSelectionText(const QString& button) const override;

private:
    void FillTitles();

    QTreeWidget* lsvTitles = nullptr;
};

// Adds, edits or deletes one divisional title.
class frmMaintainTitle : public MaintainDialog {
    Q_OBJECT

public:
    explicit frmMaintainTitle(QWidget* parent = nullptr);

protected:
    void loadDialog() override;
    bool save() override;
    QList<QWidget*> editableFields() const override;

private:
    QComboBox* cboDivision = nullptr;
    QLineEdit* txtTitle = nullptr;
};

} // namespace rm
