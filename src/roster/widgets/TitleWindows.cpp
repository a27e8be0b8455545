#include "roster/widgets/TitleWindows.h"

#include "data/DbConnection.h"
#include "roster/TitleStore.h"
#include "roster/widgets/CatalogueWidgets.h"
#include "ui/NumericEntry.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace rm {

namespace {

constexpr int kTitleKeyColumn = 2;
constexpr int kDivisionKeyColumn = 3;

} // namespace

frmTitles::frmTitles(QWidget* parent) : MaintenanceWindow(parent) {
    setObjectName(QStringLiteral("frmTitles"));
    setWindowTitle(QStringLiteral("Divisional Titles"));
    setWindowIcon(AppIcon(QStringLiteral("titles")));

    lsvTitles = makeReportList(QStringLiteral("lsvTitles"));
    lsvTitles->setMinimumSize(TwipsToPixels(7700, this), TwipsToPixels(3300, this));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lsvTitles, 1);
    layout->addLayout(makeButtonRow());
    // The window keeps its designed size.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    refresh();
}

void frmTitles::refresh() {
    RunTrapped([this] { FillTitles(); });
}

void frmTitles::FillTitles() {
    SetupReportColumns(lsvTitles, {{QStringLiteral("Division"), 3700},
                                   {QStringLiteral("Title"), 3700},
                                   {QStringLiteral("TitleID"), 0},
                                   {QStringLiteral("DivisionID"), 0}});
    RowSet rows = Db().execute(TitleListSql());
    for (; !rows.eof(); rows.moveNext()) {
        auto* item = new QTreeWidgetItem(lsvTitles);
        item->setText(0, rows.text(QStringLiteral("Division_Name")).trimmed());
        item->setText(1, rows.text(QStringLiteral("Title_Description")).trimmed());
        item->setText(kTitleKeyColumn, QString::number(rows.integer(QStringLiteral("Title_ID"))));
        item->setText(kDivisionKeyColumn, QString::number(rows.integer(QStringLiteral("Division_ID"))));
    }
    rows.close();
    ClearSelection(lsvTitles);
}

qint32 frmTitles::selectedKey() const {
    return FirstSelectedKey(lsvTitles, kTitleKeyColumn);
}

MaintainDialog* frmTitles::createDialog() {
    return new frmMaintainTitle(this);
}

QString frmTitles::noSelectionText(const QString& button) const {
    return QStringLiteral("Please select a Divisional Title from the list before selecting ") + button;
}

frmMaintainTitle::frmMaintainTitle(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainTitle"));
    setWindowTitle(QStringLiteral("Maintain Title"));

    cboDivision = new QComboBox(this);
    cboDivision->setObjectName(QStringLiteral("cboDivision"));
    txtTitle = new QLineEdit(this);
    txtTitle->setObjectName(QStringLiteral("txtTitle"));
    txtTitle->setMaxLength(50);
    SelectAllOnFocus(txtTitle);

    auto* form = new QFormLayout;
    auto* lblDivision = new QLabel(QStringLiteral("Division:"), this);
    lblDivision->setObjectName(QStringLiteral("lblDivision"));
    auto* lblTitle = new QLabel(QStringLiteral("Title:"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    form->addRow(lblDivision, cboDivision);
    form->addRow(lblTitle, txtTitle);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    layout->addLayout(buttons);
    resize(TwipsToPixels(5400, this), sizeHint().height());
}

void frmMaintainTitle::loadDialog() {
    FillKeyedDropDown(cboDivision, TitleDivisionChoicesSql(), QStringLiteral("Division_ID"),
                      QStringLiteral("Division_Name"));
    if (isAddMode())
        return;
    RowSet row = Db().execute(TitleSelectSql(PrimaryKey));
    if (!row.eof()) {
        txtTitle->setText(row.text(QStringLiteral("Title_Description")).trimmed());
        ChooseKey(cboDivision, row.integer(QStringLiteral("Title_Division")));
    }
    row.close();
}

bool frmMaintainTitle::save() {
    TitleEntry entry;
    entry.divisionText = cboDivision->currentText();
    entry.divisionKey = ChosenKey(cboDivision);
    entry.title = txtTitle->text();
    return SaveTitle(EditMode, PrimaryKey, entry);
}

QList<QWidget*> frmMaintainTitle::editableFields() const {
    return {cboDivision, txtTitle};
}

} // namespace rm
