#pragma once

#include "roster/widgets/CatalogueWidgets.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace rm {

// The games list: name, type, genre, whether there are notes, and the hidden key.
class frmGames : public CatalogueListWindow {
public:
    explicit frmGames(QWidget* parent = nullptr);
};

// Adds, edits or deletes one game.
class frmMaintainGame : public MaintainDialog {
    Q_OBJECT

public:
    explicit frmMaintainGame(QWidget* parent = nullptr);

protected:
    void loadDialog() override;
    bool save() override;
    QList<QWidget*> editableFields() const override;

private:
    QLineEdit* txtGameName = nullptr;
    QComboBox* cboGameType = nullptr;
    QComboBox* cboGameGenre = nullptr;
    QPlainTextEdit* txtNotes = nullptr;
};

} // namespace rm
