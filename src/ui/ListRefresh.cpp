#include "ui/ListRefresh.h"

#include "data/ChangeNotice.h"
#include "ui/Maintenance.h"

#include <QHash>
#include <QListWidget>
#include <QPointer>
#include <QSet>
#include <QTreeWidget>

namespace rm {

namespace {

QString identity(const QListWidgetItem* item) {
    const QVariant key = item->data(Qt::UserRole);
    return key.isValid() ? key.toString() : item->text();
}

QString identity(const QTreeWidget* list, const QTreeWidgetItem* item) {
    QStringList hidden;
    for (int c = 0; c < list->columnCount(); ++c)
        if (list->isColumnHidden(c))
            hidden << item->text(c);
    return hidden.isEmpty() ? item->text(0) : hidden.join(QLatin1Char('\x1f'));
}

} // namespace

void RefillKeepingSelection(QWidget* window, const std::function<void()>& refill) {
    QHash<QListWidget*, QSet<QString>> plain;
    for (QListWidget* list : window->findChildren<QListWidget*>())
        for (const QListWidgetItem* item : list->selectedItems())
            plain[list].insert(identity(item));
    QHash<QTreeWidget*, QSet<QString>> report;
    for (QTreeWidget* list : window->findChildren<QTreeWidget*>())
        for (const QTreeWidgetItem* item : list->selectedItems())
            report[list].insert(identity(list, item));

    RunTrapped(refill);

    for (auto it = plain.begin(); it != plain.end(); ++it) {
        QListWidget* list = it.key();
        for (int i = 0; i < list->count(); ++i)
            if (it.value().contains(identity(list->item(i)))) {
                if (list->selectedItems().isEmpty())
                    list->setCurrentItem(list->item(i), QItemSelectionModel::NoUpdate);
                list->item(i)->setSelected(true);
            }
    }
    for (auto it = report.begin(); it != report.end(); ++it) {
        QTreeWidget* list = it.key();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (it.value().contains(identity(list, list->topLevelItem(i)))) {
                if (list->selectedItems().isEmpty())
                    list->setCurrentItem(list->topLevelItem(i), 0, QItemSelectionModel::NoUpdate);
                list->topLevelItem(i)->setSelected(true);
            }
    }
}

void RefillOnChange(QWidget* window, std::function<void()> refill) {
    QObject::connect(&ChangeNotice::instance(), &ChangeNotice::dataChanged, window,
                     [window, refill = std::move(refill)] { RefillKeepingSelection(window, refill); });
}

} // namespace rm
