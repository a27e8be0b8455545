#include "scheduling/WeekGrid.h"

#include "data/DbConnection.h"
#include "scheduling/MatchText.h"
#include "time/TimeText.h"

#include <QLocale>
#include <QSet>

#include <utility>

namespace rm {

namespace {

// A tool tip lists this many names of each kind at most.
constexpr qsizetype kNamesShown = 25;

int schedulingDay(Qt::DayOfWeek day) {
    return static_cast<int>(day) % 7 + 1;
}

} // namespace

QList<int> WeekColumns(const std::array<bool, 7>& days, Qt::DayOfWeek firstDay) {
    QList<int> columns;
    const int first = schedulingDay(firstDay);
    for (int k = 0; k < 7; ++k) {
        const int day = (first - 1 + k) % 7 + 1;
        if (days.at(day - 1))
            columns << day;
    }
    return columns;
}

QString PlayerNamesStatement(const QList<qint32>& players) {
    QString ids;
    for (qsizetype i = 0; i < players.size(); ++i) {
        if (i > 0)
            ids += QStringLiteral(", ");
        ids += QString::number(players.at(i));
    }
    return QStringLiteral("Select Player_ID, Player_OnlineName From Players Where Player_ID In (") + ids +
           QStringLiteral(") ");
}

QHash<qint32, QString> LoadPlayerNames(const QList<qint32>& players) {
    QHash<qint32, QString> names;
    if (players.isEmpty())
        return names;
    names.reserve(players.size());
    RowSet rows = Db().execute(PlayerNamesStatement(players));
    for (; !rows.eof(); rows.moveNext())
        names.insert(static_cast<qint32>(rows.valueAt(0).toLongLong()), rows.valueAt(1).toString().trimmed());
    rows.close();
    return names;
}

WeekGrid::WeekGrid(CountedWeek week, const BestTimesRequest& request, Qt::DayOfWeek firstDay)
    : m_week(std::move(week)), m_columns(WeekColumns(request.days, firstDay)),
      m_step(request.step > 0 && request.step <= kMinutesPerDay ? request.step : 30) {
    // Each counted date holds one weekday's steps together.
    m_firstSlot.fill(-1);
    const int perDay = (kMinutesPerDay + m_step - 1) / m_step;
    for (int i = 0; i < m_week.moments.size(); i += perDay)
        m_firstSlot.at(m_week.moments.at(i).localDay) = i;
    bool fits = m_week.moments.size() == perDay * m_columns.size();
    for (int day : std::as_const(m_columns))
        fits = fits && m_firstSlot.at(day) >= 0;
    if (!fits) { // not counted with this request
        m_columns.clear();
        m_week.moments.clear();
    }
}

const CountedSlot* WeekGrid::cell(int column, int row) const {
    if (column < 0 || column >= columnCount() || row < 0 || row >= rowCount())
        return nullptr;
    return &m_week.moments.at(m_firstSlot.at(m_columns.at(column)) + row);
}

WeekGridModel::WeekGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void WeekGridModel::refresh(const SearchSelection& selection, const BestTimesRequest& request,
                            Qt::DayOfWeek firstDay) {
    setWeek(CountWeek(selection, request), request, firstDay);
}

void WeekGridModel::setWeek(CountedWeek week, const BestTimesRequest& request, Qt::DayOfWeek firstDay) {
    QHash<qint32, QString> names = LoadPlayerNames(week.people);
    beginResetModel();
    m_grid = WeekGrid(std::move(week), request, firstDay);
    m_names = std::move(names);
    endResetModel();
}

void WeekGridModel::setTimeFormat24(bool timeFormat24) {
    if (m_timeFormat24 == timeFormat24)
        return;
    m_timeFormat24 = timeFormat24;
    if (rowCount() > 0) {
        Q_EMIT headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
}

int WeekGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.rowCount();
}

int WeekGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.columnCount();
}

QString WeekGridModel::names(const QList<qint32>& ids) const {
    QStringList shown;
    for (qsizetype i = 0; i < ids.size() && i < kNamesShown; ++i)
        shown << m_names.value(ids.at(i));
    QString text = shown.join(QStringLiteral(", "));
    if (ids.size() > kNamesShown)
        text += tr(" and %n more", nullptr, static_cast<int>(ids.size() - kNamesShown));
    return text.isEmpty() ? tr("nobody") : text;
}

QString WeekGridModel::cellMoment(int column, int row) const {
    const CountedSlot* slot = m_grid.cell(column, row);
    QString text = WeekdayName(slot->localDay) + QLatin1Char(' ') + FormatMatchDate(slot->localDate) +
                   QLatin1Char(' ') + FormatTimeOfDay(slot->localMinutes, m_timeFormat24);
    if (slot->kind == LocalKind::Skipped)
        text += tr(" (the clocks skip this time)");
    else if (slot->kind == LocalKind::Repeated)
        text += tr(" (the first time: the clocks go back over it)");
    return text;
}

QVariant WeekGridModel::data(const QModelIndex& index, int role) const {
    const CountedSlot* slot = m_grid.cell(index.column(), index.row());
    if (!slot)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case CountRole:
        return slot->count();
    case GroupSizeRole:
        return m_grid.groupSize();
    case WeekdayRole:
        return slot->localDay;
    case MinutesRole:
        return slot->localMinutes;
    case DateRole:
        return slot->localDate;
    case Qt::AccessibleTextRole:
        return tr("%1: %2 of %3 available")
            .arg(WeekdayName(slot->localDay) + QLatin1Char(' ') +
                     FormatTimeOfDay(slot->localMinutes, m_timeFormat24),
                 QString::number(slot->count()), QString::number(m_grid.groupSize()));
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        const QSet<qint32> free(slot->players.cbegin(), slot->players.cend());
        QList<qint32> notFree;
        for (qint32 id : m_grid.people())
            if (!free.contains(id))
                notFree << id;
        const QString separator = role == Qt::ToolTipRole ? QStringLiteral("\n") : QStringLiteral(". ");
        return cellMoment(index.column(), index.row()) + separator +
               tr("Available (%1): %2").arg(slot->count()).arg(names(slot->players)) + separator +
               tr("Not available (%1): %2").arg(notFree.size()).arg(names(notFree));
    }
    default:
        return {};
    }
}

QVariant WeekGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnCount())
            return {};
        const CountedSlot* slot = m_grid.cell(section, 0);
        if (!slot)
            return {};
        // "Tue" over "15 Dec" in the names of the user's locale, so that seven columns fit.
        return role == Qt::DisplayRole ? QLocale().toString(slot->localDate, QStringLiteral("ddd'\n'd MMM"))
                                       : QLocale().toString(slot->localDate, QLocale::LongFormat);
    }
    if (section < 0 || section >= rowCount())
        return {};
    return FormatTimeOfDay(m_grid.minutes(section), m_timeFormat24);
}

} // namespace rm
