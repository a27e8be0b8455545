#pragma once

#include "roster/widgets/CatalogueWidgets.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace rm {

// The add/edit/delete dialog of one time zone.
class frmMaintainTimeZone : public MaintainDialog {
    Q_OBJECT

public:
    explicit frmMaintainTimeZone(QWidget* parent = nullptr);

protected:
    void loadDialog() override;
    bool save() override;
    QList<QWidget*> editableFields() const override;

private:
    QString selectedDaylightCode() const;
    QString selectedRealZone() const;
    // Shows the chosen zone's offset now and proposes its standard offset.
    void realZoneChosen();
    void selectDaylightCode(const QString& code);

    QLineEdit* txtShortName = nullptr;
    QLineEdit* txtDescription = nullptr;
    QLineEdit* txtOffset = nullptr;
    QComboBox* cboRealZone = nullptr;
    QLabel* lblRealZoneNow = nullptr;
    QGroupBox* fmeDaylight = nullptr;
    QRadioButton* optDSTNone = nullptr;
    QRadioButton* optDSTUSA = nullptr;
    QRadioButton* optDSTEU = nullptr;
};

// The list window of the time zone catalogue.
class frmTimeZones : public CatalogueListWindow {
public:
    explicit frmTimeZones(QWidget* parent = nullptr);
};

} // namespace rm
