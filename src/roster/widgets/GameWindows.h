#pragma once

#include "ui/Maintenance.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;

namespace rm {

class ListResizeRule;

// The games list: name, type, genre, whether there are notes, and the hidden key.
class frmGames : public MaintenanceWindow {
    Q_OBJECT

public:
    explicit frmGames(QWidget* parent = nullptr);

    void refresh() override;

protected:
    qint32 selectedKey() const override;
    MaintainDialog* createDialog() override;
    QString noSelectionText(const QString& button) const override;

private:
    void FillGames();

    QTreeWidget* lsvGames = nullptr;
    ListResizeRule* m_resize = nullptr;
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
    void FillDropDowns();

    QLineEdit* txtGameName = nullptr;
    QComboBox* cboGameType = nullptr;
    QComboBox* cboGameGenre = nullptr;
    QPlainTextEdit* txtNotes = nullptr;
};

} // namespace rm
