#pragma once

#include "roster/GenreStore.h"
#include "ui/Maintenance.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;

namespace rm {

// The two catalogues side by side: game genres and game types. Double-click edits an entry; each
// list has its own Add and Delete buttons. There is no Exit button.
class frmGenresTypes : public QWidget {
    Q_OBJECT

public:
    explicit frmGenresTypes(QWidget* parent = nullptr);

    void RefreshGenres();
    void RefreshTypes();

public Q_SLOTS:
    void addGenre();
    void deleteGenre();
    void addType();
    void deleteType();

private:
    void refreshList(CatalogueKind kind);
    void runDialog(CatalogueKind kind, const QString& mode, qint32 key);
    void deleteSelected(CatalogueKind kind);
    QListWidget* listOf(CatalogueKind kind) const;

    QListWidget* lstGenres = nullptr;
    QListWidget* lstTypes = nullptr;
};

// Adds, edits or deletes one genre ("Genre") or game type ("Game Type"), as the dialog text says.
class frmMaintainGenresTypes : public MaintainDialog {
    Q_OBJECT

public:
    explicit frmMaintainGenresTypes(QWidget* parent = nullptr);

protected:
    void loadDialog() override;
    bool save() override;
    QList<QWidget*> editableFields() const override;

private:
    void RetrieveEntry();

    QLabel* lblEntry = nullptr;
    QLineEdit* txtEntry = nullptr;
};

} // namespace rm
