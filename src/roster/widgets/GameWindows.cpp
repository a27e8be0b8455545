#include "roster/widgets/GameWindows.h"

#include "data/DbConnection.h"
#include "roster/GameStore.h"
#include "roster/GenreStore.h"
#include "roster/widgets/CatalogueWidgets.h"
#include "ui/NumericEntry.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace rm {

namespace {

constexpr int kGameKeyColumn = 4;

} // namespace

frmGames::frmGames(QWidget* parent) : MaintenanceWindow(parent) {
    setObjectName(QStringLiteral("frmGames"));
    setWindowTitle(QStringLiteral("Games List"));
    setWindowIcon(AppIcon(QStringLiteral("games")));

    lsvGames = makeReportList(QStringLiteral("lsvGames"));

    QWidget* buttonBar = makeButtonBar();

    m_resize = new ListResizeRule(this, lsvGames, buttonBar, 11145, 3600);
    refresh();
}

void frmGames::refresh() {
    RunTrapped([this] { FillGames(); });
}

void frmGames::FillGames() {
    SetupReportColumns(lsvGames, {{QStringLiteral("Name"), 3100},
                                  {QStringLiteral("Type"), 3100},
                                  {QStringLiteral("Genre"), 3500},
                                  {QStringLiteral("Notes"), 700, Qt::AlignHCenter},
                                  {QStringLiteral("ID"), 0}});
    RowSet rows = Db().execute(GameListSql());
    for (; !rows.eof(); rows.moveNext()) {
        auto* item = new QTreeWidgetItem(lsvGames);
        item->setText(0, rows.text(QStringLiteral("Game_Name")).trimmed());
        item->setText(1, rows.text(QStringLiteral("Type_Description")).trimmed());
        item->setText(2, rows.text(QStringLiteral("Genre_Name")).trimmed());
        item->setText(3, rows.text(QStringLiteral("Game_Notes")).trimmed().isEmpty() ? QString()
                                                                                     : QStringLiteral("Yes"));
        item->setTextAlignment(3, Qt::AlignCenter);
        item->setText(kGameKeyColumn, QString::number(rows.integer(QStringLiteral("Game_ID"))));
    }
    rows.close();
    ClearSelection(lsvGames);
}

qint32 frmGames::selectedKey() const {
    return FirstSelectedKey(lsvGames, kGameKeyColumn);
}

MaintainDialog* frmGames::createDialog() {
    return new frmMaintainGame(this);
}

QString frmGames::noSelectionText(const QString& button) const {
    return QStringLiteral("Please select a Game from the list before selecting ") + button;
}

frmMaintainGame::frmMaintainGame(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainGame"));

    txtGameName = new QLineEdit(this);
    txtGameName->setObjectName(QStringLiteral("txtGameName"));
    txtGameName->setMaxLength(50);
    SelectAllOnFocus(txtGameName);
    cboGameType = new QComboBox(this);
    cboGameType->setObjectName(QStringLiteral("cboGameType"));
    cboGameGenre = new QComboBox(this);
    cboGameGenre->setObjectName(QStringLiteral("cboGameGenre"));
    txtNotes = new QPlainTextEdit(this);
    txtNotes->setObjectName(QStringLiteral("txtNotes"));

    auto* form = new QFormLayout;
    auto* lblGameName = new QLabel(QStringLiteral("Game Name:"), this);
    lblGameName->setObjectName(QStringLiteral("lblGameName"));
    auto* lblGameType = new QLabel(QStringLiteral("Game Type:"), this);
    lblGameType->setObjectName(QStringLiteral("lblGameType"));
    auto* lblGameGenre = new QLabel(QStringLiteral("Game Genre:"), this);
    lblGameGenre->setObjectName(QStringLiteral("lblGameGenre"));
    form->addRow(lblGameName, txtGameName);
    form->addRow(lblGameType, cboGameType);
    form->addRow(lblGameGenre, cboGameGenre);

    auto* lblNotes = new QLabel(QStringLiteral("-- Notes --"), this);
    lblNotes->setObjectName(QStringLiteral("lblNotes"));
    lblNotes->setAlignment(Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblNotes);
    layout->addWidget(txtNotes, 1);
    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    layout->addLayout(buttons);
    resize(TwipsToPixels(6000, this), TwipsToPixels(4800, this));
}

void frmMaintainGame::FillDropDowns() {
    FillKeyedDropDown(cboGameGenre, GenreListSql(), QStringLiteral("Genre_ID"), QStringLiteral("Genre_Name"));
    FillKeyedDropDown(cboGameType, TypeListSql(), QStringLiteral("Type_ID"),
                      QStringLiteral("Type_Description"));
}

void frmMaintainGame::loadDialog() {
    setWindowTitle(EditMode + QStringLiteral(" Game Entry"));
    FillDropDowns();
    if (isAddMode())
        return;
    RowSet row = Db().execute(GameSelectSql(PrimaryKey));
    if (!row.eof()) {
        txtGameName->setText(row.text(QStringLiteral("Game_Name")).trimmed());
        txtNotes->setPlainText(row.text(QStringLiteral("Game_Notes")).trimmed());
        ChooseKey(cboGameGenre, row.integer(QStringLiteral("Game_Genre")));
        ChooseKey(cboGameType, row.integer(QStringLiteral("Game_Type")));
    }
    row.close();
}

bool frmMaintainGame::save() {
    GameEntry entry;
    entry.name = txtGameName->text();
    entry.typeKey = ChosenKey(cboGameType);
    entry.genreKey = ChosenKey(cboGameGenre);
    entry.notes = txtNotes->toPlainText();
    return SaveGame(EditMode, PrimaryKey, entry);
}

QList<QWidget*> frmMaintainGame::editableFields() const {
    return {txtGameName, cboGameType, cboGameGenre, txtNotes};
}

} // namespace rm
