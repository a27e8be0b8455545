#pragma once

#include "scheduling/WeekGrid.h"

#include <QColor>
#include <QDate>
#include <QTableView>
#include <QWidget>

namespace rm {

// The colour of a cell: one hue from pale (nobody) to dark (everybody), its lightness falling
// steadily with the share of the group, so the order stays visible in greyscale and for every kind
// of colour blindness.
QColor WeekGridColour(int count, int groupSize);
// Black or white, whichever reads better on the cell colour.
QColor WeekGridTextColour(int count, int groupSize);

// The week as a heat map: a column per ticked weekday, a row per step, each cell coloured by how
// many of the group are free then, with the count written in cells large enough to hold it. The
// arrow keys move the focused cell; a click, or Enter on the focused cell, chooses it.
class WeekGridView : public QTableView {
    Q_OBJECT

public:
    explicit WeekGridView(QWidget* parent = nullptr);

    WeekGridModel* gridModel() const { return m_model; }

Q_SIGNALS:
    // The user's local weekday (1 = Sunday) and time of day of the chosen cell.
    void cellChosen(const QDate& date, int minutes);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void choose(const QModelIndex& index);

    WeekGridModel* m_model = nullptr;
};

// The key of the colours: 0 … group size.
class WeekGridLegend : public QWidget {
    Q_OBJECT

public:
    explicit WeekGridLegend(QWidget* parent = nullptr);

    void setGroupSize(int groupSize);
    int groupSize() const { return m_groupSize; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int boxWidth() const;

    int m_groupSize = 0;
};

} // namespace rm
