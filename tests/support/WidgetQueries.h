#pragma once

// Small queries and actions on the list windows and dialogs, for widget tests. Header-only.

#include "support/ModalDriver.h"
#include "ui/PopupMenu.h"

#include <QComboBox>
#include <QListWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace rm::test {

inline void Click(QObject* parent, const QString& name) {
    child<QToolButton>(parent, name)->click();
}

inline void ClickOK(QDialog* d) {
    Click(d, QStringLiteral("imgButton1"));
}

// Each row of a report list as its cells joined by '|'.
inline QStringList RowTexts(const QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(i)->text(c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

inline QStringList Column(const QTreeWidget* list, int col) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(col);
    return texts;
}

inline QStringList ItemTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

inline QStringList ComboTexts(const QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

inline void SelectRow(QTreeWidget* list, int row) {
    list->clearSelection();
    list->setCurrentItem(list->topLevelItem(row));
    list->topLevelItem(row)->setSelected(true);
}

// Selects the row whose column `col` reads `text`, or fails the test.
inline void SelectRow(QTreeWidget* list, const QString& text, int col = 0) {
    const QList<QTreeWidgetItem*> found = list->findItems(text, Qt::MatchExactly, col);
    if (found.isEmpty())
        qFatal("no row %s", qPrintable(text));
    SelectRow(list, list->indexOfTopLevelItem(found.first()));
}

inline void SelectItem(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        qFatal("no entry %s", qPrintable(text));
    list->clearSelection();
    list->setCurrentItem(found.first());
    found.first()->setSelected(true);
}

// Chooses pop-up menu entries by object name, in order, instead of showing the menus (none left:
// the menu is dismissed); counts the menus shown.
class PopupChooser {
public:
    PopupChooser() {
        SetPopupMenuRunner([this](QMenu* menu) -> QAction* {
            ++shown;
            return choices.isEmpty() ? nullptr : FindMenuAction(menu, choices.takeFirst());
        });
    }
    ~PopupChooser() { SetPopupMenuRunner({}); }
    PopupChooser(const PopupChooser&) = delete;
    PopupChooser& operator=(const PopupChooser&) = delete;

    // Opens the list's pop-up menu and chooses the entry.
    void choose(QTreeWidget* list, const QString& entry) {
        choices << entry;
        emit list->customContextMenuRequested(QPoint(5, 5));
    }

    QStringList choices;
    int shown = 0;
};

} // namespace rm::test
