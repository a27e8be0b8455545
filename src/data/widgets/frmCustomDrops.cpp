#include "data/widgets/frmCustomDrops.h"

#include "data/CustomFields.h"
#include "data/Options.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

namespace rm {

frmMaintainCustom::frmMaintainCustom(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainCustom"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    txtCustomEntry = new QLineEdit(this);
    txtCustomEntry->setObjectName(QStringLiteral("txtCustomEntry"));
    txtCustomEntry->setMaxLength(50);
    form->addRow(tr("Custom Entry:"), txtCustomEntry);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    layout->addLayout(buttons);
}

void frmMaintainCustom::loadDialog() {
    setWindowTitle(EditMode + QStringLiteral(" ") + DialogText + QStringLiteral(" entry"));
    if (isEditMode() || isDeleteMode())
        RetrieveEntry();
}

void frmMaintainCustom::RetrieveEntry() {
    txtCustomEntry->setText(RetrieveCustomEntry(PrimaryKey));
}

QList<QWidget*> frmMaintainCustom::editableFields() const {
    return {txtCustomEntry};
}

bool frmMaintainCustom::save() {
    return SaveCustomEntry(EditMode, CustomKey, PrimaryKey, txtCustomEntry->text(), DialogText);
}

frmCustomDrops::frmCustomDrops(QWidget* parent) : MaintenanceWindow(parent) {
    setObjectName(QStringLiteral("frmCustomDrops"));
    auto* layout = new QVBoxLayout(this);
    fmeCustom = new QGroupBox(this);
    fmeCustom->setObjectName(QStringLiteral("fmeCustom"));
    auto* frame = new QVBoxLayout(fmeCustom);
    lstCustom = new QListWidget(fmeCustom);
    lstCustom->setObjectName(QStringLiteral("lstCustom"));
    lstCustom->setSelectionMode(QAbstractItemView::SingleSelection);
    frame->addWidget(lstCustom);
    auto* lblHint = new QLabel(tr("Doubleclick an entry to edit"), fmeCustom);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    frame->addWidget(lblHint);
    layout->addWidget(fmeCustom);
    layout->addLayout(makeButtonRow(AddButton | DeleteButton));
    editOnDoubleClick(lstCustom);
    const int first = FirstEnabledPickListField();
    showField(first, first > 0 ? CurrentOptions().CustomDropTitle[first - 1] : QString());
}

void frmCustomDrops::showField(int fieldNumber, const QString& caption) {
    CustomKey = static_cast<qint16>(fieldNumber);
    DialogText = caption;
    setWindowTitle(QStringLiteral("Maintain Custom Field - ") + caption);
    // A frame title would take an ampersand of the caption as a shortcut mark.
    fmeCustom->setTitle(QStringLiteral("Custom Entries for ") +
                        QString(caption).replace(QLatin1Char('&'), QLatin1String("&&")));
    // Entries can only be added to one of the four fields.
    imgAdd->setEnabled(fieldNumber >= 1 && fieldNumber <= kCustomFieldCount);
    refill();
}

void frmCustomDrops::refresh() {
    RefreshCustom();
}

void frmCustomDrops::RefreshCustom() {
    FillPlainList(lstCustom, CustomEntriesSql(CustomKey), QStringLiteral("Custom_ID"),
                  QStringLiteral("Custom_FieldText"));
}

qint32 frmCustomDrops::selectedKey() const {
    return FirstSelectedKey(lstCustom);
}

MaintainDialog* frmCustomDrops::createDialog() {
    auto* dialog = new frmMaintainCustom(this);
    dialog->CustomKey = CustomKey;
    return dialog;
}

} // namespace rm
