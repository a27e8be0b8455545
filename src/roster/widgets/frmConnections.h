#pragma once

#include "ui/Maintenance.h"

class QGroupBox;
class QLineEdit;
class QListWidget;

namespace rm {

// The entry dialog of one connection type.
class frmMaintainConnection : public MaintainDialog {
    Q_OBJECT

public:
    explicit frmMaintainConnection(QWidget* parent = nullptr);

    // Gives the field the stored name of the type (nothing when no row has the key).
    void RetrieveEntry();

protected:
    void loadDialog() override;
    bool save() override;
    QList<QWidget*> editableFields() const override;

private:
    QLineEdit* txtConnection = nullptr;
};

// The connection-type window: a plain list, Add and Delete; a double-click edits.
class frmConnections : public MaintenanceWindow {
    Q_OBJECT

public:
    explicit frmConnections(QWidget* parent = nullptr);

    void refresh() override;
    // Fills the list with the connection types. Raises DbError.
    void RefreshList();

protected:
    qint32 selectedKey() const override;
    MaintainDialog* createDialog() override { return new frmMaintainConnection(this); }
    QString noSelectionText(const QString&) const override { return QString(); }
    // Delete and double-click without a selected entry do nothing.
    void reportNoSelection(const QString&) override {}
    // The selected entry's text, in every mode.
    QString dialogText() const override;

private:
    QGroupBox* fmeConnections = nullptr;
    QListWidget* lstConnections = nullptr;
};

} // namespace rm
