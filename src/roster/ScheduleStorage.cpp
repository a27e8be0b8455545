#include "roster/ScheduleStorage.h"

#include "time/TimeText.h"

#include <QDate>

#include <algorithm>

namespace rm {

namespace {

int wrapWeek(int minutes) {
    const int m = minutes % kMinutesPerWeek;
    return m < 0 ? m + kMinutesPerWeek : m;
}

int floorTo(int minutes, int step) {
    const int r = ((minutes % step) + step) % step;
    return minutes - r;
}

int ceilTo(int minutes, int step) {
    return floorTo(minutes + step - 1, step);
}

// A stretch on the week's clock: start in [0, week), end not before start (it may pass the end of
// the week).
struct Span {
    int start = 0;
    int end = 0;
};

// Two spans meet when the second starts at or before the first's end, or right after a first piece
// that stops at '23:59'.
int reachOf(const Span& s) {
    return s.end % kMinutesPerDay == kLastStoredMinute ? s.end + 1 : s.end;
}

// Sorts and joins spans that overlap or meet, across the end of the week too.
QList<Span> joinSpans(QList<Span> spans) {
    if (spans.isEmpty())
        return spans;
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
        return a.start != b.start ? a.start < b.start : a.end < b.end;
    });
    QList<Span> joined;
    for (const Span& s : spans) {
        if (!joined.isEmpty() && s.start <= reachOf(joined.last()))
            joined.last().end = std::max(joined.last().end, s.end);
        else
            joined << s;
    }
    // A span that runs into the next week may meet the first spans of the week.
    while (joined.size() > 1 && joined.first().start + kMinutesPerWeek <= reachOf(joined.last())) {
        const Span first = joined.takeFirst();
        joined.last().end = std::max(joined.last().end, first.end + kMinutesPerWeek);
    }
    return joined;
}

struct Piece {
    int start = 0;
    int end = 0;
};

} // namespace

QList<ScheduleRow> LocalToStored(const WeekLists& lists, int toGMTShift) {
    QList<ScheduleRow> rows;
    for (int d = 0; d < 7; ++d) {
        for (const QString& element : lists[d]) {
            const auto stretch = ParseStretch(element);
            if (!stretch || stretch->first > stretch->second)
                continue;
            const int start = wrapWeek(d * kMinutesPerDay + stretch->first + toGMTShift);
            const int end = start + (stretch->second - stretch->first);
            const int startDay = start / kMinutesPerDay;
            if (end / kMinutesPerDay == startDay) {
                rows << ScheduleRow{startDay + 1, start % kMinutesPerDay, end % kMinutesPerDay};
            } else {
                rows << ScheduleRow{startDay + 1, start % kMinutesPerDay, kLastStoredMinute};
                rows << ScheduleRow{(startDay + 1) % 7 + 1, 0, end % kMinutesPerDay};
            }
        }
    }
    std::sort(rows.begin(), rows.end(), [](const ScheduleRow& a, const ScheduleRow& b) {
        if (a.day != b.day)
            return a.day < b.day;
        return a.start != b.start ? a.start < b.start : a.end < b.end;
    });
    return rows;
}

WeekLists StoredToLocal(const QList<ScheduleRow>& rows, int toGMTShift) {
    QList<Span> gmt;
    for (const ScheduleRow& row : rows) {
        if (row.day < 1 || row.day > 7)
            continue;
        const int start = (row.day - 1) * kMinutesPerDay + row.start;
        const int end = (row.day - 1) * kMinutesPerDay + row.end + (row.end < row.start ? kMinutesPerDay : 0);
        gmt << Span{start, end};
    }

    std::array<QList<Piece>, 7> days;
    for (const Span& s : joinSpans(gmt)) {
        const int start = wrapWeek(s.start - toGMTShift);
        const int end = start + (s.end - s.start);
        // Cut at every local midnight the stretch crosses; a piece that is only the closing
        // midnight of the stretch before it adds nothing.
        for (int dayStart = floorTo(start, kMinutesPerDay); dayStart <= end; dayStart += kMinutesPerDay) {
            const int from = std::max(start, dayStart);
            const int to = std::min(end, dayStart + kMinutesPerDay);
            if (from == to && from == dayStart && from != start)
                continue;
            const int day = wrapWeek(dayStart) / kMinutesPerDay;
            // A piece that reaches local midnight ends at 24:00 of its day.
            const int pieceStart = floorTo(from - dayStart, kHalfHour);
            const int pieceEnd = std::max(ceilTo(to - dayStart, kHalfHour), pieceStart + kHalfHour);
            days[day] << Piece{pieceStart, pieceEnd};
        }
    }

    WeekLists lists;
    for (int d = 0; d < 7; ++d) {
        QList<Piece>& pieces = days[d];
        std::sort(pieces.begin(), pieces.end(),
                  [](const Piece& a, const Piece& b) { return a.start < b.start; });
        QList<Piece> joined;
        for (const Piece& p : pieces) {
            if (!joined.isEmpty() && p.start <= joined.last().end)
                joined.last().end = std::max(joined.last().end, p.end);
            else
                joined << p;
        }
        for (const Piece& p : joined)
            lists[d] << FormatStretch(p.start, p.end);
    }
    return lists;
}

StoredMoment StoredMomentOf(int gmtWeekMinutes) {
    const int m = wrapWeek(gmtWeekMinutes);
    return StoredMoment{m / kMinutesPerDay + 1, m % kMinutesPerDay};
}

bool RowCovers(const ScheduleRow& row, int day, int minutes) {
    return row.day == day && row.start <= minutes && minutes <= row.end;
}

int WeekdayNumber(const QDate& date) {
    return date.dayOfWeek() % 7 + 1;
}

} // namespace rm
