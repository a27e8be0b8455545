#include "roster/widgets/TitleWindows.h"

#include "data/DbConnection.h"
#include "roster/TitleStore.h"
#include "ui/NumericEntry.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace rm {

frmTitles::frmTitles(QWidget* parent)
    : CatalogueListWindow({{"Titles", "Divisional Titles", "titles", "Divisional Title", TitleListSql()},
                           {{"Division", 3700, TextCell("Division_Name")},
                            {"Title", 3700, TextCell("Title_Description")},
                            KeyColumn("TitleID", "Title_ID"),
                            KeyColumn("DivisionID", "Division_ID")},
                           {ListPlacement::FixedSize, 7700, 3300},
                           [](QWidget* window) { return new frmMaintainTitle(window); }},
                          parent) {}

frmMaintainTitle::frmMaintainTitle(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainTitle"));
    setWindowTitle(QStringLiteral("Maintain Title"));

    cboDivision = Named(new QComboBox(this), QStringLiteral("cboDivision"));
    txtTitle = MakeTextField(this, QStringLiteral("txtTitle"), 50);

    auto* form = new QFormLayout;
    AddNamedRow(form, QStringLiteral("lblDivision"), QStringLiteral("Division:"), cboDivision);
    AddNamedRow(form, QStringLiteral("lblTitle"), QStringLiteral("Title:"), txtTitle);

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
