#include "roster/widgets/MembershipDialog.h"

#include "roster/MembershipStore.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>

namespace rm {

void SetupMembershipColumns(QTreeWidget* list) {
    SetupReportColumns(list, {{QStringLiteral("Division"), 3100},
                              {QStringLiteral("Title"), 3100},
                              {QStringLiteral("DivisionID"), 0},
                              {QStringLiteral("TitleID"), 0}});
}

void AddMembershipRow(QTreeWidget* list, const QString& division, const QString& title, qint32 divisionId,
                      qint32 titleId) {
    auto* item = new QTreeWidgetItem(
        QStringList{division, title, QString::number(divisionId), QString::number(titleId)});
    list->addTopLevelItem(item);
}

QList<qint32> MembershipDivisionKeys(const QTreeWidget* list) {
    QList<qint32> keys;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        keys << list->topLevelItem(i)->text(colDivisionID).toInt();
    return keys;
}

frmMaintainMembership::frmMaintainMembership(QTreeWidget* memberships, QWidget* parent)
    : MaintainDialog(parent), m_memberships(memberships) {
    setObjectName(QStringLiteral("frmMaintainMembership"));
    setWindowTitle(tr("Maintain Membership"));

    cboDivision = new QComboBox(this);
    cboDivision->setObjectName(QStringLiteral("cboDivision"));
    cboDivision->setMinimumContentsLength(30);
    lstDivisionNames = new QListWidget(this);
    lstDivisionNames->setObjectName(QStringLiteral("lstDivisionNames"));
    lstDivisionNames->hide();
    cboTitle = new QComboBox(this);
    cboTitle->setObjectName(QStringLiteral("cboTitle"));
    cboTitle->setMinimumContentsLength(30);

    auto* form = new QFormLayout;
    auto* lblDivision = new QLabel(tr("Division: "), this);
    lblDivision->setObjectName(QStringLiteral("lblDivision"));
    auto* lblTitle = new QLabel(tr("Member Title:"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    form->addRow(lblDivision, cboDivision);
    form->addRow(lblTitle, cboTitle);

    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(cboDivision, &QComboBox::currentIndexChanged, this,
            [this] { RunTrapped([this] { fillTitles(); }); });
}

void frmMaintainMembership::loadDialog() {
    const QList<DivisionChoice> divisions = isAddMode()
                                                ? OfferedDivisions(MembershipDivisionKeys(m_memberships))
                                                : OfferedDivisions({}, DivisionKey);
    {
        const QSignalBlocker block(cboDivision);
        cboDivision->clear();
        lstDivisionNames->clear();
        for (const DivisionChoice& d : divisions) {
            cboDivision->addItem(d.itemText(), d.id);
            lstDivisionNames->addItem(d.name);
        }
        if (cboDivision->count() > 0) {
            cboDivision->setCurrentIndex(0);
            lstDivisionNames->setCurrentRow(0);
        }
    }
    if (!isAddMode()) {
        const int at = cboDivision->findData(DivisionKey);
        if (at >= 0) {
            const QSignalBlocker block(cboDivision);
            cboDivision->setCurrentIndex(at);
            lstDivisionNames->setCurrentRow(at);
        }
    }
    fillTitles();
    if (!isAddMode()) {
        if (TitleKey >= 1) {
            const int at = cboTitle->findData(TitleKey);
            if (at >= 0)
                cboTitle->setCurrentIndex(at);
        }
        cboDivision->setEnabled(false);
        cboDivision->setToolTip(tr("Cannot change the division"));
    }
}

void frmMaintainMembership::fillTitles() {
    cboTitle->clear();
    cboTitle->addItem(QString(), 0);
    if (cboDivision->currentIndex() >= 0) {
        lstDivisionNames->setCurrentRow(cboDivision->currentIndex());
        for (const auto& [id, description] : DivisionTitles(cboDivision->currentData().toInt()))
            cboTitle->addItem(description, id);
    }
    cboTitle->setCurrentIndex(0);
}

bool frmMaintainMembership::save() {
    const QString title = cboTitle->currentText().trimmed();
    const qint32 titleId = title.isEmpty() ? 0 : cboTitle->currentData().toInt();
    if (isAddMode()) {
        const int at = cboDivision->currentIndex();
        if (at < 0)
            return true;
        AddMembershipRow(m_memberships, lstDivisionNames->item(at)->text(),
                         title.isEmpty() ? kNoTitle : title, cboDivision->currentData().toInt(), titleId);
        return true;
    }
    for (int i = 0; i < m_memberships->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = m_memberships->topLevelItem(i);
        if (!row->isSelected())
            continue;
        row->setText(colTitle, title.isEmpty() ? kNoTitle : title);
        row->setText(colTitleID, QString::number(titleId));
        break;
    }
    return true;
}

} // namespace rm
