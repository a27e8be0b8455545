#include "roster/widgets/frmConnections.h"

#include "roster/ConnectionTypes.h"
#include "roster/widgets/CatalogueWidgets.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace rm {

frmMaintainConnection::frmMaintainConnection(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainConnection"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    txtConnection = MakeTextField(this, QStringLiteral("txtConnection"), 50);
    form->addRow(tr("Connection Type:"), txtConnection);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    layout->addLayout(buttons);
}

void frmMaintainConnection::loadDialog() {
    setWindowTitle(EditMode + QStringLiteral(" ") + DialogText + QStringLiteral(" entry"));
    if (isEditMode() || isDeleteMode())
        RetrieveEntry();
}

void frmMaintainConnection::RetrieveEntry() {
    txtConnection->setText(RetrieveConnectionName(PrimaryKey));
}

QList<QWidget*> frmMaintainConnection::editableFields() const {
    return {txtConnection};
}

bool frmMaintainConnection::save() {
    return SaveConnectionType(EditMode, PrimaryKey, txtConnection->text());
}

frmConnections::frmConnections(QWidget* parent) : MaintenanceWindow(parent) {
    setObjectName(QStringLiteral("frmConnections"));
    setWindowTitle(tr("Connection Types"));
    auto* layout = new QVBoxLayout(this);
    fmeConnections = new QGroupBox(tr("Connections"), this);
    fmeConnections->setObjectName(QStringLiteral("fmeConnections"));
    auto* frame = new QVBoxLayout(fmeConnections);
    lstConnections = new QListWidget(fmeConnections);
    lstConnections->setObjectName(QStringLiteral("lstConnections"));
    lstConnections->setSelectionMode(QAbstractItemView::SingleSelection);
    frame->addWidget(lstConnections);
    auto* lblHint = new QLabel(tr("Doubleclick an entry to edit"), fmeConnections);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    frame->addWidget(lblHint);
    layout->addWidget(fmeConnections);
    layout->addLayout(makeButtonRow(AddButton | DeleteButton));
    editOnDoubleClick(lstConnections);
    refill();
}

void frmConnections::refresh() {
    RefreshList();
}

void frmConnections::RefreshList() {
    FillPlainList(lstConnections, ConnectionListSql(), QStringLiteral("Connection_ID"),
                  QStringLiteral("Connection_Name"));
}

qint32 frmConnections::selectedKey() const {
    return FirstSelectedKey(lstConnections);
}

QString frmConnections::dialogText() const {
    const QList<QListWidgetItem*> selected = lstConnections->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

} // namespace rm
