#include "roster/widgets/CatalogueWidgets.h"

#include "data/DbConnection.h"
#include "ui/Maintenance.h"

#include <QComboBox>
#include <QEvent>
#include <QWidget>

namespace rm {

void FillKeyedDropDown(QComboBox* list, const QString& sql, const QString& keyColumn,
                       const QString& textColumn) {
    list->clear();
    RowSet rows = Db().execute(sql);
    for (; !rows.eof(); rows.moveNext())
        list->addItem(rows.text(textColumn).trimmed(), rows.integer(keyColumn));
    rows.close();
    if (list->count() > 0)
        list->setCurrentIndex(0);
}

void ChooseKey(QComboBox* list, qint32 key) {
    const int index = list->findData(key);
    if (index >= 0)
        list->setCurrentIndex(index);
}

qint32 ChosenKey(const QComboBox* list) {
    if (list->currentIndex() < 0)
        return 0;
    return list->currentData().toInt();
}

ListResizeRule::ListResizeRule(QWidget* window, QWidget* list, QWidget* buttonBar, int minWidthTwips,
                               int minHeightTwips, int bandTwips)
    : QObject(window), m_window(window), m_list(list), m_buttonBar(buttonBar), m_bandTwips(bandTwips) {
    const QSize minimum(TwipsToPixels(minWidthTwips, window), TwipsToPixels(minHeightTwips, window));
    window->setMinimumSize(minimum);
    window->resize(minimum);
    window->installEventFilter(this);
    apply();
}

void ListResizeRule::apply() {
    const int width = m_window->width();
    const int height = m_window->height();
    const int margin = TwipsToPixels(120, m_window);
    // The band holds the button bar: the list never runs under the buttons, whatever their size.
    const int band =
        qMax(TwipsToPixels(m_bandTwips, m_window), m_buttonBar->sizeHint().height() + 2 * margin);
    m_list->setGeometry(margin, margin, qMax(0, width - 2 * margin), qMax(0, height - band));
    // The bar sits in the band below the list, centred in what is left of it.
    const int listBottom = margin + qMax(0, height - band);
    const int barHeight = qMin(m_buttonBar->sizeHint().height(), qMax(0, height - listBottom));
    const int barTop = listBottom + qMax(0, (height - listBottom - barHeight) / 2);
    m_buttonBar->setGeometry(margin, barTop, qMax(0, width - 2 * margin), barHeight);
}

bool ListResizeRule::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}

} // namespace rm
