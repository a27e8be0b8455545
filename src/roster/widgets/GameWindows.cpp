#include "roster/widgets/GameWindows.h"

#include "data/DbConnection.h"
#include "roster/GameStore.h"
#include "roster/GenreStore.h"
#include "ui/NumericEntry.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace rm {

frmGames::frmGames(QWidget* parent)
    : CatalogueListWindow({{"Games", "Games List", "games", "Game", GameListSql()},
                           {{"Name", 3100, TextCell("Game_Name")},
                            {"Type", 3100, TextCell("Type_Description")},
                            {"Genre", 3500, TextCell("Genre_Name")},
                            NotesColumn("Game_Notes"),
                            KeyColumn("ID", "Game_ID")},
                           {ListPlacement::ResizeRule, 11145, 3600},
                           [](QWidget* window) { return new frmMaintainGame(window); }},
                          parent) {}

frmMaintainGame::frmMaintainGame(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainGame"));

    txtGameName = MakeTextField(this, QStringLiteral("txtGameName"), 50);
    cboGameType = Named(new QComboBox(this), QStringLiteral("cboGameType"));
    cboGameGenre = Named(new QComboBox(this), QStringLiteral("cboGameGenre"));
    txtNotes = Named(new QPlainTextEdit(this), QStringLiteral("txtNotes"));

    auto* form = new QFormLayout;
    AddNamedRow(form, QStringLiteral("lblGameName"), QStringLiteral("Game Name:"), txtGameName);
    AddNamedRow(form, QStringLiteral("lblGameType"), QStringLiteral("Game Type:"), cboGameType);
    AddNamedRow(form, QStringLiteral("lblGameGenre"), QStringLiteral("Game Genre:"), cboGameGenre);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    AddNotes(layout, txtNotes);
    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    layout->addLayout(buttons);
    resize(TwipsToPixels(6000, this), TwipsToPixels(4800, this));
}

void frmMaintainGame::loadDialog() {
    setWindowTitle(EditMode + QStringLiteral(" Game Entry"));
    FillKeyedDropDown(cboGameGenre, GenreListSql(), QStringLiteral("Genre_ID"), QStringLiteral("Genre_Name"));
    FillKeyedDropDown(cboGameType, TypeListSql(), QStringLiteral("Type_ID"),
                      QStringLiteral("Type_Description"));
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
