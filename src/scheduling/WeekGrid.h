#pragma once

// The week grid of the scheduling screen: the counted week of the best-times search laid out as a
// column per ticked day of the seven counted (in date order: a week that starts on the first date)
// and a row per step of the day. The
// counts are those of CountWeek, so the grid and the best-times list always agree.

#include "scheduling/SchedulingSearch.h"
#include "time/TimeText.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>

#include <array>

namespace rm {

// The ticked weekdays (1 = Sunday; days[0] is Sunday) in the order of a week that starts on
// `firstDay`.
QList<int> WeekColumns(const std::array<bool, 7>& days, Qt::DayOfWeek firstDay);

// The trimmed online names of the given players, with one statement.
QString PlayerNamesStatement(const QList<qint32>& players);
QHash<qint32, QString> LoadPlayerNames(const QList<qint32>& players);

class WeekGrid {
public:
    WeekGrid() = default;
    WeekGrid(CountedWeek week, const BestTimesRequest& request, Qt::DayOfWeek firstDay);

    int columnCount() const { return static_cast<int>(m_columns.size()); }
    int rowCount() const { return m_columns.isEmpty() ? 0 : (kMinutesPerDay + m_step - 1) / m_step; }
    int weekday(int column) const { return m_columns.at(column); }
    int minutes(int row) const { return row * m_step; }
    // The slot of a cell; nullptr outside the grid.
    const CountedSlot* cell(int column, int row) const;
    int groupSize() const { return static_cast<int>(m_week.people.size()); }
    const QList<qint32>& people() const { return m_week.people; }

private:
    CountedWeek m_week;
    QList<int> m_columns;
    std::array<int, 8> m_firstSlot{}; // index of a weekday's 00:00 slot in m_week.moments
    int m_step = 30;
};

// The grid as a table for the view: the count as display data, what a cell means as tool tip and
// accessible texts, its weekday and time under the roles below.
class WeekGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Role { CountRole = Qt::UserRole + 1, GroupSizeRole, WeekdayRole, MinutesRole, DateRole };

    explicit WeekGridModel(QObject* parent = nullptr);

    // Counts the week for the selection and shows it. Store errors are raised.
    void refresh(const SearchSelection& selection, const BestTimesRequest& request, Qt::DayOfWeek firstDay);
    // Shows a week already counted.
    void setWeek(CountedWeek week, const BestTimesRequest& request, Qt::DayOfWeek firstDay);
    void setTimeFormat24(bool timeFormat24);

    const WeekGrid& grid() const { return m_grid; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString names(const QList<qint32>& ids) const;
    QString cellMoment(int column, int row) const;

    WeekGrid m_grid;
    QHash<qint32, QString> m_names;
    bool m_timeFormat24 = true;
};

} // namespace rm
