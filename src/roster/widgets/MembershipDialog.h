#pragma once

#include "ui/Maintenance.h"

class QComboBox;
class QListWidget;
class QTreeWidget;

namespace rm {

// The columns of a player's memberships list.
enum MembershipColumn { colDivision = 0, colTitle = 1, colDivisionID = 2, colTitleID = 3 };
void SetupMembershipColumns(QTreeWidget* list);
// Appends a row: division name, title text, and the two keys as text.
void AddMembershipRow(QTreeWidget* list, const QString& division, const QString& title, qint32 divisionId,
                      qint32 titleId);
// The DivisionID texts of every row, read as whole numbers.
QList<qint32> MembershipDivisionKeys(const QTreeWidget* list);

// "Maintain Membership": adds a division to the player's memberships list (Add) or changes the
// title of the selected row (Edit). It writes only into the list; the player dialog saves.
class frmMaintainMembership : public MaintainDialog {
    Q_OBJECT

public:
    explicit frmMaintainMembership(QTreeWidget* memberships, QWidget* parent = nullptr);

    qint32 DivisionKey = 0; // Edit mode: the row's DivisionID
    qint32 TitleKey = 0;    // Edit mode: the row's TitleID

protected:
    void loadDialog() override;
    bool save() override;

private:
    void fillTitles();

    QTreeWidget* m_memberships;
    QComboBox* cboDivision;
    QListWidget* lstDivisionNames;
    QComboBox* cboTitle;
};

} // namespace rm
