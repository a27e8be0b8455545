#include "scheduling/widgets/WeekGridView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace rm {

namespace {

constexpr int kHue = 215;        // blue
constexpr int kLightest = 246;   // nobody free
constexpr int kDarkest = 52;     // everybody free
constexpr int kLegendSteps = 11; // boxes of a legend for a large group

double share(int count, int groupSize) {
    return groupSize > 0 ? std::clamp(double(count) / groupSize, 0.0, 1.0) : 0.0;
}

int lightness(int count, int groupSize) {
    return kLightest - static_cast<int>((kLightest - kDarkest) * share(count, groupSize) + 0.5);
}

// Paints the colour and, where it fits, the count.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int count = index.data(WeekGridModel::CountRole).toInt();
        const int group = index.data(WeekGridModel::GroupSizeRole).toInt();
        painter->save();
        painter->fillRect(option.rect, WeekGridColour(count, group));
        const QString text = QString::number(count);
        const QFontMetrics metrics(option.font);
        if (metrics.horizontalAdvance(text) + 4 <= option.rect.width() &&
            metrics.height() <= option.rect.height()) {
            painter->setPen(WeekGridTextColour(count, group));
            painter->setFont(option.font);
            painter->drawText(option.rect, Qt::AlignCenter, text);
        }
        if (option.state & QStyle::State_HasFocus) {
            QPen pen(option.palette.color(QPalette::Highlight), 2);
            painter->setPen(pen);
            painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        }
        painter->restore();
    }
};

} // namespace

QColor WeekGridColour(int count, int groupSize) {
    const double s = share(count, groupSize);
    // Less saturated at the pale end, so an empty cell is nearly white.
    return QColor::fromHsl(kHue, 90 + static_cast<int>(110 * s), lightness(count, groupSize));
}

QColor WeekGridTextColour(int count, int groupSize) {
    return lightness(count, groupSize) > 140 ? QColor(Qt::black) : QColor(Qt::white);
}

WeekGridView::WeekGridView(QWidget* parent) : QTableView(parent), m_model(new WeekGridModel(this)) {
    setObjectName(QStringLiteral("ctlWeekGrid"));
    setModel(m_model);
    setItemDelegate(new CellDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::StrongFocus);
    setShowGrid(true);
    setWordWrap(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setHighlightSections(false);
    setAccessibleName(tr("Week grid"));
    setAccessibleDescription(tr("How many of the selected members are free at each time of the week"));
    setToolTip(QString()); // each cell has its own
    connect(this, &QAbstractItemView::clicked, this, &WeekGridView::choose);
    // A new week keeps the focused cell where it can.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const QModelIndex current = currentIndex();
        setProperty("lastCell", current.isValid() ? QPoint(current.column(), current.row()) : QPoint(-1, -1));
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        const QPoint last = property("lastCell").toPoint();
        const QModelIndex again = m_model->index(last.y(), last.x());
        if (again.isValid())
            setCurrentIndex(again);
    });
}

void WeekGridView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        QModelIndex index = currentIndex();
        if (!index.isValid())
            index = m_model->index(0, 0);
        choose(index);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void WeekGridView::choose(const QModelIndex& index) {
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    Q_EMIT cellChosen(index.data(WeekGridModel::DateRole).toDate(),
                      index.data(WeekGridModel::MinutesRole).toInt());
}

WeekGridLegend::WeekGridLegend(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ctlWeekGridLegend"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setGroupSize(0);
}

void WeekGridLegend::setGroupSize(int groupSize) {
    m_groupSize = std::max(0, groupSize);
    setAccessibleName(tr("Colour key: 0 to %1 members free").arg(m_groupSize));
    setToolTip(accessibleName());
    updateGeometry();
    update();
}

QSize WeekGridLegend::sizeHint() const {
    const int boxes = std::min(m_groupSize + 1, kLegendSteps);
    return QSize(boxes * boxWidth() + fontMetrics().horizontalAdvance(tr("members free")) + 12,
                 fontMetrics().height() + 8);
}

int WeekGridLegend::boxWidth() const {
    return std::max(26, fontMetrics().horizontalAdvance(QString::number(m_groupSize)) + 8);
}

void WeekGridLegend::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int boxWidth = this->boxWidth();
    // Every count for a small group; for a larger one evenly spaced counts from 0 to the group size.
    const int boxes = std::min(m_groupSize + 1, kLegendSteps);
    const int height = fontMetrics().height() + 4;
    for (int b = 0; b < boxes; ++b) {
        const int count = boxes > 1 ? (m_groupSize * b + (boxes - 1) / 2) / (boxes - 1) : 0;
        const QRect box(b * boxWidth, 2, boxWidth, height);
        painter.fillRect(box, WeekGridColour(count, m_groupSize));
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(WeekGridTextColour(count, m_groupSize));
        painter.drawText(box, Qt::AlignCenter, QString::number(count));
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(boxes * boxWidth + 6, 2, width(), height), Qt::AlignVCenter | Qt::AlignLeft,
                     tr("members free"));
}

} // namespace rm
