#include "roster/widgets/ScheduleTimeBar.h"

#include "data/MessageSink.h"
#include "data/Options.h"
#include "time/TimeText.h"
#include "ui/Maintenance.h"
#include "ui/PopupMenu.h"

#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace rm {

namespace {

const QString kSchedulesTitle = QStringLiteral("Schedules");

QString pictureName(ctlTimeBar::CellState state) {
    switch (state) {
    case ctlTimeBar::Start:
        return QStringLiteral("slot-start");
    case ctlTimeBar::Middle:
        return QStringLiteral("slot-busy");
    case ctlTimeBar::End:
        return QStringLiteral("slot-end");
    case ctlTimeBar::Free:
        break;
    }
    return QStringLiteral("slot-free");
}

void tellUser(const QString& text) {
    Messages().showStandardBox(text, kSchedulesTitle, vbInformation);
}

// Cell i's time as the day lists write it; the edge cell is "24:00".
QString cellText(int i) {
    return i == ctlTimeBar::kEdgeCell ? QStringLiteral("24:00") : MinutesToHHMM(i * 30);
}

} // namespace

ctlTimeBar::ctlTimeBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ctlTimeBar"));
    m_cells.fill(Free);
    m_menu = new QMenu(this);
    m_deleteAction = m_menu->addAction(tr("Delete Time Slot"));
    m_deleteAction->setObjectName(QStringLiteral("mnuDeleteTimeSlot"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setMouseTracking(false);
}

int ctlTimeBar::cellWidth() const {
    return std::max(4, TwipsToPixels(195, this));
}
int ctlTimeBar::cellHeight() const {
    return std::max(8, TwipsToPixels(300, this));
}
int ctlTimeBar::edgeWidth() const {
    return std::max(4, cellWidth() / 2);
}

QSize ctlTimeBar::sizeHint() const {
    return QSize(cellWidth() * kCells + edgeWidth() + 1, cellHeight() + 1);
}

QRect ctlTimeBar::cellRect(int i) const {
    return QRect(i * cellWidth(), 0, i == kEdgeCell ? edgeWidth() : cellWidth(), cellHeight());
}

int ctlTimeBar::cellAt(const QPoint& pos) const {
    if (pos.x() < 0 || pos.y() < 0 || pos.y() >= cellHeight())
        return -1;
    const int i = pos.x() / cellWidth();
    if (i < kCells)
        return i;
    return pos.x() < kCells * cellWidth() + edgeWidth() ? kEdgeCell : -1;
}

QString ctlTimeBar::cellToolTip(int i) const {
    if (i == kEdgeCell && CurrentOptions().TimeFormat)
        return cellText(i);
    return FormatTimeOfDay(i * 30, CurrentOptions().TimeFormat);
}

void ctlTimeBar::setCell(int i, CellState state) {
    if (m_cells[i] == state)
        return;
    m_cells[i] = state;
    update(cellRect(i));
}

void ctlTimeBar::pressCell(int k, Qt::MouseButton button) {
    if (k < 0 || k > kEdgeCell)
        return;
    // A drag may follow a left press on a half-hour cell when no start is waiting for its end.
    m_press = PressState{m_cells, m_startPending, m_startCell,
                         button == Qt::LeftButton && k < kCells && !m_startPending ? k : -1};
    if (m_cells[k] != Free) {
        if (!m_startPending && button == Qt::RightButton) {
            m_popupCell = k;
            if (RunPopupMenu(m_menu, mapToGlobal(cellRect(k).center())) == m_deleteAction)
                deleteTimeSlot();
        }
        rebuildTimes();
        return;
    }
    if (button == Qt::LeftButton) {
        if (m_startPending) {
            tellUser(QStringLiteral("You have already set a start time!"));
        } else if (k == kEdgeCell) {
            tellUser(QStringLiteral("The end of the day can only be an end time!"));
        } else {
            setCell(k, Start);
            m_startPending = true;
            m_startCell = k;
        }
    } else if (!m_startPending) {
        tellUser(QStringLiteral("You need to set a start time before setting an end time!"));
    } else if (m_startCell >= k) {
        tellUser(QStringLiteral("Cannot set the end time before the start time!"));
    } else {
        setCell(k, End);
        m_endSet = true;
        m_endCell = k;
    }
    if (m_startPending && m_endSet) {
        // Everything between start and end joins the new stretch, swallowing stretches inside it.
        for (int i = m_startCell + 1; i < m_endCell; ++i)
            setCell(i, Middle);
        m_startPending = false;
        m_endSet = false;
        m_startCell = 0;
        m_endCell = 0;
    }
    rebuildTimes();
}

bool ctlTimeBar::marked(const std::array<CellState, kCells + 1>& cells, int i) {
    return cells[i] == Start || cells[i] == Middle;
}

void ctlTimeBar::markRuns(const std::array<bool, kCells>& busy) {
    for (int i = 0; i <= kEdgeCell; ++i)
        setCell(i, Free);
    for (int i = 0; i < kCells; ++i) {
        if (!busy[i])
            continue;
        int last = i;
        while (last + 1 < kCells && busy[last + 1])
            ++last;
        setCell(i, Start);
        for (int j = i + 1; j <= last; ++j)
            setCell(j, Middle);
        setCell(last + 1, End);
        i = last + 1;
    }
}

void ctlTimeBar::dragCells(int from, int to) {
    if (m_press.cell < 0 || from != m_press.cell)
        return;
    to = std::clamp(to, 0, kCells - 1);
    const bool erase = marked(m_press.cells, from);
    std::array<bool, kCells> busy{};
    for (int i = 0; i < kCells; ++i)
        busy[i] = marked(m_press.cells, i);
    for (int i = std::min(from, to); i <= std::max(from, to); ++i)
        busy[i] = !erase;
    markRuns(busy);
    m_startPending = false; // the press's start became part of the drag
    m_startCell = 0;
    m_endSet = false;
    rebuildTimes();
}

void ctlTimeBar::copyFrom(const ctlTimeBar& other) {
    for (int i = 0; i <= kEdgeCell; ++i)
        setCell(i, Free);
    m_startPending = false;
    m_endSet = false;
    m_press.cell = -1;
    m_times = other.Times();
    LoadSchedule();
}

void ctlTimeBar::deleteTimeSlot() {
    int first = m_popupCell;
    while (first > 0 && m_cells[first] != Start)
        --first;
    int last = m_popupCell;
    while (last < kEdgeCell && m_cells[last] != End)
        ++last;
    for (int i = first; i <= last; ++i)
        setCell(i, Free);
    m_popupCell = 0;
}

void ctlTimeBar::rebuildTimes() {
    m_times.clear();
    QString start;
    QString end;
    for (int i = 0; i <= kEdgeCell; ++i) {
        if (m_cells[i] == Start)
            start = cellText(i);
        else if (m_cells[i] == End)
            end = cellText(i);
        if (!start.isEmpty() && !end.isEmpty()) {
            m_times << start + QLatin1Char('|') + end;
            start.clear();
            end.clear();
        }
    }
}

void ctlTimeBar::LoadSchedule() {
    for (const QString& element : m_times) {
        const QString s = element.section(QLatin1Char('|'), 0, 0);
        const QString e = element.section(QLatin1Char('|'), 1, 1);
        for (int i = 0; i <= kEdgeCell; ++i) {
            const QString t = cellText(i);
            if (t == s)
                setCell(i, Start);
            else if (t > s && t < e)
                setCell(i, Middle);
            else if (t == e)
                setCell(i, End);
        }
    }
    rebuildTimes();
}

void ctlTimeBar::mousePressEvent(QMouseEvent* event) {
    const int k = cellAt(event->position().toPoint());
    if (k >= 0)
        pressCell(k, event->button());
    event->accept();
}

void ctlTimeBar::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && m_press.cell >= 0) {
        const QPoint pos = event->position().toPoint();
        const int to = pos.x() / cellWidth();
        if (m_dragging || to != m_press.cell) {
            m_dragging = true;
            dragCells(m_press.cell, pos.x() < 0 ? 0 : to);
        }
    }
    event->accept();
}

void ctlTimeBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        m_press.cell = -1;
    }
    event->accept();
}

// The double-click's first press has already acted; the second one must not act again (a right
// double-click would set an end and then open the menu on it).
void ctlTimeBar::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

bool ctlTimeBar::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int k = cellAt(help->pos());
        if (k >= 0)
            QToolTip::showText(help->globalPos(), cellToolTip(k), this, cellRect(k));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void ctlTimeBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor free = palette().color(QPalette::Base);
    const QColor busy(0x3c, 0x9a, 0x5c);
    const QColor edge(0x1f, 0x5f, 0x36);
    const QColor grid = palette().color(QPalette::Mid);
    for (int i = 0; i < kCells; ++i) {
        const QRect r = cellRect(i);
        const QIcon picture = AppIcon(pictureName(m_cells[i]));
        if (!picture.isNull()) {
            picture.paint(&painter, r);
            continue;
        }
        // No pictures installed: draw the four states.
        painter.fillRect(r, m_cells[i] == Free ? free : busy);
        if (m_cells[i] == Start)
            painter.fillRect(QRect(r.left(), r.top(), std::max(2, r.width() / 4), r.height()), edge);
        else if (m_cells[i] == End)
            painter.fillRect(QRect(r.right() - std::max(2, r.width() / 4) + 1, r.top(),
                                   std::max(2, r.width() / 4), r.height()),
                             edge);
        painter.setPen(m_cells[i] == Free ? grid : edge);
        painter.drawRect(r);
    }
    // The edge cell, as tall as the cells' pictures: an outline, filled when a stretch ends at 24:00.
    QRect r = cellRect(kEdgeCell);
    const QIcon picture = AppIcon(pictureName(Free));
    if (!picture.isNull()) {
        const int h = picture.actualSize(cellRect(0).size()).height();
        r = QRect(r.left(), r.top() + (r.height() - h) / 2, r.width(), h);
    }
    if (m_cells[kEdgeCell] == End)
        painter.fillRect(r, edge);
    painter.setPen(m_cells[kEdgeCell] == End ? edge : grid);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
}

} // namespace rm
