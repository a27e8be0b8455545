#pragma once

#include "roster/widgets/CatalogueWidgets.h"

class QComboBox;
class QLineEdit;

namespace rm {

// All divisional titles: division, title, and the hidden keys of the title and its division.
class frmTitles : public CatalogueListWindow {
public:
    explicit frmTitles(QWidget* parent = nullptr);
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
