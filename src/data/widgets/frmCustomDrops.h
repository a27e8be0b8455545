#pragma once

#include "ui/Maintenance.h"
#include "ui/WindowRegistry.h"

class QGroupBox;
class QLineEdit;
class QListWidget;

namespace rm {

// The entry dialog of one pick-list custom field.
class frmMaintainCustom : public MaintainDialog {
    Q_OBJECT

public:
    explicit frmMaintainCustom(QWidget* parent = nullptr);

    qint16 CustomKey = 0; // the field number, given for Add

    // Gives the field the stored text of the entry (nothing when no row has the key).
    void RetrieveEntry();

protected:
    void loadDialog() override;
    bool save() override;
    QList<QWidget*> editableFields() const override;

private:
    QLineEdit* txtCustomEntry = nullptr;
};

// The entries of one pick-list custom field at a time. Opened without a field (as the desktop restore
// does), it shows the first enabled pick-list field; with none enabled it offers no Add.
class frmCustomDrops : public MaintenanceWindow, public CustomFieldWindow {
    Q_OBJECT

public:
    explicit frmCustomDrops(QWidget* parent = nullptr);

    qint16 CustomKey = 0; // the field number
    QString DialogText;   // the field's caption

    // Shows another field: captions and list are set anew.
    void showField(int fieldNumber, const QString& caption) override;
    void refresh() override;
    // Fills the list with the entries of the field shown. Raises DbError.
    void RefreshCustom();

protected:
    qint32 selectedKey() const override;
    MaintainDialog* createDialog() override;
    QString noSelectionText(const QString&) const override { return QString(); }
    // Delete and double-click without a selected entry do nothing.
    void reportNoSelection(const QString&) override {}
    QString dialogText() const override { return DialogText; }

private:
    QGroupBox* fmeCustom = nullptr;
    QListWidget* lstCustom = nullptr;
};

} // namespace rm
