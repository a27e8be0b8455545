#pragma once

#include "ui/Maintenance.h"

#include <QObject>
#include <QString>

#include <functional>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;
class QVBoxLayout;
class QWidget;

namespace rm {

class RowSet;

// Gives a new widget its name and hands it back: `cboGame = Named(new QComboBox(this), "cboGame")`.
template <class W> W* Named(W* widget, const QString& objectName) {
    widget->setObjectName(objectName);
    return widget;
}
// A dialog's one-line text field holding at most `maxLength` characters.
QLineEdit* MakeTextField(QWidget* parent, const QString& objectName, int maxLength);
// A row of a dialog's form whose caption label carries a name of its own.
void AddNamedRow(QFormLayout* form, const QString& labelName, const QString& caption, QWidget* field);
// The "-- Notes --" caption and the notes field under it, which takes the dialog's spare height.
void AddNotes(QVBoxLayout* layout, QPlainTextEdit* notes);

// Drop-down lists that hold the referenced table's key beside each visible text: fills the list from
// a selection (trimmed texts, keys as item data) and chooses the first entry when there is one.
void FillKeyedDropDown(QComboBox* list, const QString& sql, const QString& keyColumn,
                       const QString& textColumn);
// Chooses the entry whose key equals the given one; the choice stays as it is when none does.
void ChooseKey(QComboBox* list, qint32 key);
// The key of the chosen entry; 0 when nothing is chosen (the list is empty).
qint32 ChosenKey(const QComboBox* list);

// The resize rule of the list windows: the window keeps a minimum size, the list takes the window's
// height less a band at the bottom, and the button bar stays along the bottom edge. The list and the
// bar are placed by the rule, not by a layout of the window. The window starts at its minimum size.
class ListResizeRule : public QObject {
    Q_OBJECT

public:
    ListResizeRule(QWidget* window, QWidget* list, QWidget* buttonBar, int minWidthTwips, int minHeightTwips,
                   int bandTwips = 1245);

    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QWidget* m_list;
    QWidget* m_buttonBar;
    int m_bandTwips;
};

// How a catalogue list shows one row of its selection in one column.
using CatalogueCell = std::function<QString(const RowSet&)>;
// The stored text trimmed, or what `shown` makes of it.
CatalogueCell TextCell(const QString& column, QString (*shown)(const QString&) = nullptr);
// A number (a key, a count).
CatalogueCell NumberCell(const QString& column);
// "Yes" or "No" for a flag.
CatalogueCell YesNoCell(const QString& column);

// A column of a catalogue list: caption, width in twips (0 hides it; the first hidden column holds the
// row's key), the cell, and the alignment of caption and cells.
struct CatalogueColumn {
    const char* caption;
    int widthTwips;
    CatalogueCell cell;
    Qt::Alignment alignment = Qt::AlignLeft;
};
// The narrow "Notes" column: "Yes" when there are notes, nothing when there are none.
CatalogueColumn NotesColumn(const QString& column);
// A hidden column holding a key.
CatalogueColumn KeyColumn(const char* caption, const QString& column);

// How a catalogue list window arranges its list and buttons: placed by the ListResizeRule with the
// window's minimum size; in a layout that keeps the designed size, with the list's minimum size; or in
// a layout that follows the window (no size).
enum class ListPlacement { ResizeRule, FixedSize, Stretch };
struct ListArrangement {
    ListPlacement placement;
    int widthTwips = 0;
    int heightTwips = 0;
};

// What a catalogue's list window is called and where its rows come from. "Divisions" gives the window
// frmDivisions with its list lsvDivisions; the "No Selection Made" warning names the entry ("Please
// select a Division from the list ...").
struct CatalogueSource {
    const char* name;
    const char* title;
    const char* iconName; // empty: no picture
    const char* entryName;
    QString listSql;
};

// One catalogue as its list window shows it.
struct CatalogueList {
    CatalogueSource source;
    QList<CatalogueColumn> columns;
    ListArrangement arrangement;
    // The add/edit/delete dialog of one entry.
    std::function<MaintainDialog*(QWidget* parent)> dialog;
};

// The list window of a catalogue: a report list of its rows with the Add, Edit, Delete and Exit
// buttons, refilled after each dialog and after any save elsewhere (keeping the selected row).
class CatalogueListWindow : public MaintenanceWindow {
    Q_OBJECT

public:
    explicit CatalogueListWindow(CatalogueList catalogue, QWidget* parent = nullptr);

    void refresh() override;

protected:
    qint32 selectedKey() const override;
    MaintainDialog* createDialog() override;
    QString noSelectionText(const QString& button) const override;

private:
    void fill();

    CatalogueList m_catalogue;
    QTreeWidget* m_list = nullptr;
    int m_keyColumn = -1;
};

} // namespace rm
