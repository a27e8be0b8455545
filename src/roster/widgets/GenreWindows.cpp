#include "roster/widgets/GenreWindows.h"

#include "data/DbConnection.h"
#include "ui/NumericEntry.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

namespace rm {

namespace {

QString dialogTextOf(CatalogueKind kind) {
    return kind == CatalogueKind::Genre ? QStringLiteral("Genre") : QStringLiteral("Game Type");
}

} // namespace

frmGenresTypes::frmGenresTypes(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmGenresTypes"));
    setWindowTitle(QStringLiteral("Genres & Types"));
    setWindowIcon(AppIcon(QStringLiteral("genres")));
    setAttribute(Qt::WA_DeleteOnClose, true);

    auto makeFrame = [this](const QString& frameName, const QString& caption, const QString& listName,
                            const QString& hintName, const QString& what, QListWidget** list,
                            QToolButton** add, QToolButton** remove) {
        auto* frame = new QGroupBox(caption, this);
        frame->setObjectName(frameName);
        *list = new QListWidget(frame);
        (*list)->setObjectName(listName);
        (*list)->setSelectionMode(QAbstractItemView::SingleSelection);
        (*list)->setMinimumSize(TwipsToPixels(3300, this), TwipsToPixels(2900, this));
        auto* hint = new QLabel(QStringLiteral("Doubleclick an entry to edit"), frame);
        hint->setObjectName(hintName);
        hint->setAlignment(Qt::AlignHCenter);
        *add = MakePictureButton(frame, QStringLiteral("imgAdd") + what, QStringLiteral("add"),
                                 QStringLiteral("Add"), QStringLiteral("Add a new entry"));
        *remove = MakePictureButton(frame, QStringLiteral("imgDelete") + what, QStringLiteral("delete"),
                                    QStringLiteral("Delete"), QStringLiteral("Delete the selected entry"));
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(*add);
        buttons->addWidget(*remove);
        buttons->addStretch(1);
        auto* layout = new QVBoxLayout(frame);
        layout->addWidget(*list, 1);
        layout->addWidget(hint);
        layout->addLayout(buttons);
        return frame;
    };

    QToolButton* imgAddGenre = nullptr;
    QToolButton* imgDeleteGenre = nullptr;
    QToolButton* imgAddType = nullptr;
    QToolButton* imgDeleteType = nullptr;
    QWidget* fmeGenres = makeFrame(QStringLiteral("fmeGenres"), QStringLiteral("Game Genres"),
                                   QStringLiteral("lstGenres"), QStringLiteral("lblGenresHint"),
                                   QStringLiteral("Genre"), &lstGenres, &imgAddGenre, &imgDeleteGenre);
    QWidget* fmeTypes = makeFrame(QStringLiteral("fmeTypes"), QStringLiteral("Game Types"),
                                  QStringLiteral("lstTypes"), QStringLiteral("lblTypesHint"),
                                  QStringLiteral("Type"), &lstTypes, &imgAddType, &imgDeleteType);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(fmeGenres);
    layout->addWidget(fmeTypes);
    // The window keeps its designed size.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(imgAddGenre, &QToolButton::clicked, this, &frmGenresTypes::addGenre);
    connect(imgDeleteGenre, &QToolButton::clicked, this, &frmGenresTypes::deleteGenre);
    connect(imgAddType, &QToolButton::clicked, this, &frmGenresTypes::addType);
    connect(imgDeleteType, &QToolButton::clicked, this, &frmGenresTypes::deleteType);
    for (CatalogueKind kind : {CatalogueKind::Genre, CatalogueKind::GameType}) {
        // A double-click that leaves no entry selected does nothing.
        connect(listOf(kind), &QListWidget::itemDoubleClicked, this, [this, kind](QListWidgetItem* item) {
            if (item && item->isSelected() && !item->text().isEmpty())
                runDialog(kind, QStringLiteral("Edit"), item->data(Qt::UserRole).toInt());
        });
    }

    RefreshGenres();
    RefreshTypes();
}

QListWidget* frmGenresTypes::listOf(CatalogueKind kind) const {
    return kind == CatalogueKind::Genre ? lstGenres : lstTypes;
}

void frmGenresTypes::RefreshGenres() {
    refreshList(CatalogueKind::Genre);
}

void frmGenresTypes::RefreshTypes() {
    refreshList(CatalogueKind::GameType);
}

void frmGenresTypes::refreshList(CatalogueKind kind) {
    QListWidget* list = listOf(kind);
    const QString keyColumn =
        kind == CatalogueKind::Genre ? QStringLiteral("Genre_ID") : QStringLiteral("Type_ID");
    const QString textColumn =
        kind == CatalogueKind::Genre ? QStringLiteral("Genre_Name") : QStringLiteral("Type_Description");
    RunTrapped([&] {
        list->clear();
        RowSet rows = Db().execute(CatalogueListSql(kind));
        for (; !rows.eof(); rows.moveNext()) {
            auto* item = new QListWidgetItem(rows.text(textColumn).trimmed(), list);
            item->setData(Qt::UserRole, rows.integer(keyColumn));
        }
        rows.close();
    });
}

void frmGenresTypes::runDialog(CatalogueKind kind, const QString& mode, qint32 key) {
    auto* dialog = new frmMaintainGenresTypes(this);
    dialog->EditMode = mode;
    dialog->DialogText = dialogTextOf(kind);
    dialog->PrimaryKey = key;
    RunModal(dialog);
    delete dialog;
    refreshList(kind);
}

void frmGenresTypes::deleteSelected(CatalogueKind kind) {
    const QList<QListWidgetItem*> selected = listOf(kind)->selectedItems();
    if (selected.isEmpty() || selected.first()->text().isEmpty())
        return;
    runDialog(kind, QStringLiteral("Delete"), selected.first()->data(Qt::UserRole).toInt());
}

void frmGenresTypes::addGenre() {
    runDialog(CatalogueKind::Genre, QStringLiteral("Add"), 0);
}

void frmGenresTypes::deleteGenre() {
    deleteSelected(CatalogueKind::Genre);
}

void frmGenresTypes::addType() {
    runDialog(CatalogueKind::GameType, QStringLiteral("Add"), 0);
}

void frmGenresTypes::deleteType() {
    deleteSelected(CatalogueKind::GameType);
}

frmMaintainGenresTypes::frmMaintainGenresTypes(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainGenresTypes"));
    lblEntry = new QLabel(this);
    lblEntry->setObjectName(QStringLiteral("lblEntry"));
    txtEntry = new QLineEdit(this);
    txtEntry->setObjectName(QStringLiteral("txtEntry"));
    lblEntry->setBuddy(txtEntry);
    SelectAllOnFocus(txtEntry);

    auto* field = new QHBoxLayout;
    field->addWidget(lblEntry);
    field->addWidget(txtEntry, 1);
    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addLayout(buttons);
    resize(TwipsToPixels(5400, this), sizeHint().height());
}

void frmMaintainGenresTypes::loadDialog() {
    const CatalogueKind kind = CatalogueKindOf(DialogText);
    setWindowTitle(EditMode + QStringLiteral(" ") + DialogText + QStringLiteral(" entry"));
    lblEntry->setText(kind == CatalogueKind::Genre ? QStringLiteral("Name: ")
                                                   : QStringLiteral("Description:"));
    txtEntry->setMaxLength(CatalogueEntryLimit(kind));
    if (isEditMode() || isDeleteMode())
        RetrieveEntry();
}

void frmMaintainGenresTypes::RetrieveEntry() {
    const CatalogueKind kind = CatalogueKindOf(DialogText);
    RowSet row = Db().execute(CatalogueEntrySql(kind, PrimaryKey));
    if (!row.eof())
        txtEntry->setText(row.valueAt(0).toString().trimmed());
    row.close();
}

bool frmMaintainGenresTypes::save() {
    return SaveCatalogueEntry(EditMode, CatalogueKindOf(DialogText), PrimaryKey, txtEntry->text());
}

QList<QWidget*> frmMaintainGenresTypes::editableFields() const {
    return {txtEntry};
}

} // namespace rm
