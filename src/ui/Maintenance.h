#pragma once

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QPair>
#include <QString>
#include <QWidget>

#include <functional>

class QAbstractButton;
class QAbstractItemView;
class QBoxLayout;
class QLineEdit;
class QListWidget;
class QToolButton;
class QTreeWidget;

namespace rm {

// Geometry of the system is given in twips (1/1440 inch), converted with the logical resolution of
// the reference widget's screen (else the primary screen) along one axis, halves rounded to even.
int TwipsToPixels(int twips, const QWidget* reference = nullptr, Qt::Orientation axis = Qt::Horizontal);
int PixelsToTwips(int pixels, const QWidget* reference = nullptr, Qt::Orientation axis = Qt::Horizontal);

// The application's pictures, kept as SVG resources: ":/icons/<name>.svg".
QIcon AppIcon(const QString& name);
// The names asked of AppIcon that have no picture (for the tests of the picture set).
QStringList MissingPictures();

// A picture button: icon, caption under it, tool tip and an accessible name saying what it does.
QToolButton* MakePictureButton(QWidget* parent, const QString& objectName, const QString& iconName,
                               const QString& caption, const QString& toolTip);
void SetPicture(QToolButton* button, const QString& iconName);

// Makes a text field wide enough to show `longest` whole (the longest text it usually holds).
void WidenForText(QLineEdit* field, const QString& longest);
// A window's first size: what its contents ask for, as far as the screen it opens on allows (the
// toolkit would otherwise hold a window to two thirds of the screen and squeeze its texts).
// A window whose contents cannot fit the screen at all gets them in a scroll area first.
// `wanted` replaces the contents' own wish when given.
void OpenAtPreferredSize(QWidget* window, QSize wanted = QSize());

// Return and Enter that no field of the dialog takes (a multi-line text keeps its line breaks) press
// the dialog's OK button, as the default button of a dialog does. Escape already cancels a dialog.
void ConfirmWithEnter(QDialog* dialog, QAbstractButton* ok);

// Runs a store action under the standard error trap: a DbError becomes the standard error report.
// Returns true when the action finished.
bool RunTrapped(const std::function<void()>& action);

// Every modal dialog is shown through this call, so tests can drive a dialog without blocking.
int RunModal(QDialog* dialog);
using ModalRunner = std::function<int(QDialog*)>;
void SetModalRunner(ModalRunner runner); // empty restores QDialog::exec

// A report-style list column: caption, width in twips (0 hides it), alignment.
struct ReportColumn {
    QString caption;
    int widthTwips;
    Qt::Alignment alignment = Qt::AlignLeft;
};
void SetupReportColumns(QTreeWidget* list, const QList<ReportColumn>& columns);
// The key in the given column of the first selected row (rows scanned from the first); 0 for none.
qint32 FirstSelectedKey(const QTreeWidget* list, int keyColumn);
// The item data key of the first selected entry of a plain list; 0 for none.
qint32 FirstSelectedKey(const QListWidget* list);
// The selected entries of a plain list in list order: item data key and text, or the keys alone.
QList<QPair<qint32, QString>> SelectedEntries(const QListWidget* list);
QList<qint32> SelectedKeys(const QListWidget* list);
void ClearSelection(QTreeWidget* list);
// Fills a plain list from a selection: each row's text column trimmed, its key column as item data.
// Raises DbError when the store refuses.
void FillPlainList(QListWidget* list, const QString& sql, const QString& keyColumn,
                   const QString& textColumn);

// The modal add/edit/delete dialog of the maintenance pattern. The list window sets EditMode,
// DialogText and PrimaryKey, then shows it with RunModal. In Delete mode all fields are read-only
// and the buttons show their delete pictures. OK calls save(); a true result closes the dialog.
class MaintainDialog : public QDialog {
    Q_OBJECT

public:
    explicit MaintainDialog(QWidget* parent = nullptr);

    QString EditMode; // "Add", "Edit" or "Delete"
    QString DialogText;
    qint32 PrimaryKey = 0;

    bool isAddMode() const { return EditMode.compare(QLatin1String("Add"), Qt::CaseInsensitive) == 0; }
    bool isEditMode() const { return EditMode.compare(QLatin1String("Edit"), Qt::CaseInsensitive) == 0; }
    bool isDeleteMode() const { return EditMode.compare(QLatin1String("Delete"), Qt::CaseInsensitive) == 0; }

    QToolButton* okButton() const { return m_ok; }
    QToolButton* cancelButton() const { return m_cancel; }

    // Loads the dialog for its mode (called by showEvent once, and by tests directly).
    void prepare();

public Q_SLOTS:
    void pressOK();
    void pressCancel();

protected:
    // Fills the fields; runs under the error trap. Edit and Delete load the row by PrimaryKey.
    virtual void loadDialog() {}
    // Validates and writes; shows its own messages. Return true to close the dialog.
    virtual bool save() = 0;
    // Fields that become read-only (or disabled) in Delete mode.
    virtual QList<QWidget*> editableFields() const { return {}; }

    // Adds OK (imgButton1) and Cancel (imgButton2) to a layout.
    void addDialogButtons(QBoxLayout* layout);
    void showEvent(QShowEvent* event) override;

private:
    void applyDeleteMode();

    QToolButton* m_ok = nullptr;
    QToolButton* m_cancel = nullptr;
    bool m_prepared = false;
};

// The list window of the maintenance pattern: Add, Edit, Delete and Exit picture buttons
// (imgAdd, imgEdit, imgDelete, imgExit), double-click = Edit, "No Selection Made" warnings, and a
// refill after each dialog. Subclasses own the list and say how to fill it.
class MaintenanceWindow : public QWidget {
    Q_OBJECT

public:
    explicit MaintenanceWindow(QWidget* parent = nullptr);

    virtual void refresh() = 0;

public Q_SLOTS:
    void addEntry();
    void editEntry();
    void deleteEntry();

protected:
    virtual qint32 selectedKey() const = 0;
    virtual MaintainDialog* createDialog() = 0;
    // "Please select a Time Zone from the list before selecting Edit", ...
    virtual QString noSelectionText(const QString& button) const = 0;
    virtual QString dialogText() const { return QString(); }
    // Edit or Delete pressed with nothing selected: the "No Selection Made" warning. Windows whose
    // buttons simply do nothing then override it with an empty body.
    virtual void reportNoSelection(const QString& button);

    // Shows the dialog in a mode for a key, then refreshes the list (a store error in the refresh
    // is reported and leaves the window usable).
    void runDialog(const QString& mode, qint32 key);
    // Refreshes the list under the standard error trap.
    void refill();
    // A row of the four buttons.
    QBoxLayout* makeButtonRow();
    // A row of some of the buttons; those left out stay nullptr.
    enum ListButton { AddButton = 1, EditButton = 2, DeleteButton = 4, ExitButton = 8, AllButtons = 15 };
    QBoxLayout* makeButtonRow(int buttons);
    // A double-click on an entry of the list acts as the Edit button.
    void editOnDoubleClick(QAbstractItemView* list);
    // The window's report-style list: one row selected at a time, double-click = Edit, and the tip
    // "Double Click an entry to Edit".
    QTreeWidget* makeReportList(const QString& objectName);
    // The four buttons in a bar of their own ("fmeButtons"), for windows placed by the resize rule.
    QWidget* makeButtonBar();

    QToolButton* imgAdd = nullptr;
    QToolButton* imgEdit = nullptr;
    QToolButton* imgDelete = nullptr;
    QToolButton* imgExit = nullptr;
};

} // namespace rm
