#pragma once

#include "ui/Maintenance.h"

class QToolButton;
class QTreeWidget;
class QWidget;

namespace rm {

// "Players": every player with its zone, active players first; Add, Edit, Delete, E-mail, Exit.
class frmPlayers : public MaintenanceWindow {
    Q_OBJECT

public:
    explicit frmPlayers(QWidget* parent = nullptr);

    void refresh() override;

public Q_SLOTS:
    void emailEntry();
    void importPlayers();
    void exportPlayers();
    void askAvailability();
    void pasteReplies();

protected:
    qint32 selectedKey() const override;
    MaintainDialog* createDialog() override;
    QString noSelectionText(const QString& button) const override;

private:
    QList<qint32> selectedKeys() const;

    QTreeWidget* lsvPlayers;
    QToolButton* imgEmail;
    QToolButton* imgImport;
    QToolButton* imgExport;
    QToolButton* imgAskAvailability;
    QToolButton* imgPasteReplies;
    QWidget* m_buttonBar;
};

// Registers the players window with the main window.
void RegisterPlayerWindows();

} // namespace rm
