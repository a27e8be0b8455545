#pragma once

#include <QStringList>
#include <QWidget>

#include <array>

class QAction;
class QMenu;

namespace rm {

// One day of a player's week: 48 half-hour cells side by side, cell i standing for i × 30 minutes,
// and after them a narrow edge cell standing for 24:00, the midnight that closes the day, which can
// only be the end of a stretch. A left press on a free cell sets a start, any other button on a free
// cell after it sets the end; the cells between become part of the stretch, swallowing stretches
// that lay inside it. A right press on a marked cell offers "Delete Time Slot". A double-click is
// its first press only. A drag with the left button from a free cell marks every cell it passes over,
// a drag from a marked cell frees them; touching stretches become one.
class ctlTimeBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kCells = 48;
    static constexpr int kEdgeCell = kCells; // 24:00, right of the last half-hour cell
    // The state of a cell, also its tag text.
    enum CellState { Free = 1, Start = 3, Middle = 4, End = 5 };

    explicit ctlTimeBar(QWidget* parent = nullptr);

    // The day list: "HH:MM|HH:MM" stretches in the order of the bar. Setting it does not redraw.
    QStringList Times() const { return m_times; }
    void setTimes(const QStringList& times) { m_times = times; }
    // Marks the cells from Times (cells are not cleared first), then rebuilds Times from the cells.
    void LoadSchedule();

    // A press of a mouse button on cell k, 0 .. kEdgeCell (what a click on the cell does).
    void pressCell(int k, Qt::MouseButton button);
    // A left-button drag from cell `from` that has reached cell `to` (half-hour cells 0 .. kCells - 1):
    // marks the cells between them, or frees them when `from` was marked before the press. The
    // press's own pending start is undone. Called for every cell the drag reaches.
    void dragCells(int from, int to);
    // The stretches of another bar, replacing this bar's.
    void copyFrom(const ctlTimeBar& other);

    CellState cellState(int i) const { return m_cells.at(i); }
    QString cellTag(int i) const { return QString::number(int(m_cells.at(i))); }
    QString cellToolTip(int i) const;
    QRect cellRect(int i) const;
    int cellAt(const QPoint& pos) const; // -1 outside the cells
    bool startPending() const { return m_startPending; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void setCell(int i, CellState state);
    void rebuildTimes();
    // Half-hour cell i lies inside a stretch.
    static bool marked(const std::array<CellState, kCells + 1>& cells, int i);
    void markRuns(const std::array<bool, kCells>& busy);
    void deleteTimeSlot();
    int cellWidth() const;
    int cellHeight() const;
    int edgeWidth() const;

    std::array<CellState, kCells + 1> m_cells{};
    bool m_startPending = false;
    int m_startCell = 0;
    bool m_endSet = false;
    int m_endCell = 0;
    int m_popupCell = 0;
    QStringList m_times;
    // The bar as it was before the last left press, for a drag that follows it.
    struct PressState {
        std::array<CellState, kCells + 1> cells{};
        bool startPending = false;
        int startCell = 0;
        int cell = -1; // -1: no drag possible
    } m_press;
    bool m_dragging = false;
    QMenu* m_menu = nullptr;
    QAction* m_deleteAction = nullptr;
};

} // namespace rm
