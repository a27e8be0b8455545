#include "scheduling/SchedulingSearch.h"

#include "data/DbConnection.h"
#include "data/SqlText.h"
#include "time/TimeFuncs.h"
#include "time/TimeText.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

namespace rm {

namespace {

QString idList(const QList<qint32>& ids) {
    QString text;
    text.reserve(ids.size() * 6);
    for (qsizetype i = 0; i < ids.size(); ++i) {
        if (i > 0)
            text += QStringLiteral(", ");
        text += QString::number(ids.at(i));
    }
    return text;
}

QList<qint32> distinctIds(const QList<SearchPerson>& people) {
    QList<qint32> ids;
    QSet<qint32> seen;
    for (const SearchPerson& p : people)
        if (!seen.contains(p.id)) {
            seen.insert(p.id);
            ids << p.id;
        }
    return ids;
}

// 'HH:MM' as stored; anything else through the general parser.
int storedMinutes(const QString& text) {
    if (text.size() == 5 && text.at(2) == QLatin1Char(':')) {
        const int h = (text.at(0).unicode() - '0') * 10 + (text.at(1).unicode() - '0');
        const int m = (text.at(3).unicode() - '0') * 10 + (text.at(4).unicode() - '0');
        if (text.at(0).isDigit() && text.at(1).isDigit() && text.at(3).isDigit() && text.at(4).isDigit() &&
            h < 24 && m < 60)
            return h * 60 + m;
    }
    return ParseHHMM(text).value_or(-1);
}

} // namespace

int SchedulingWeekday(const QDate& date) {
    return date.dayOfWeek() % 7 + 1;
}

QDate NextDateOnWeekday(const QDate& from, int weekday) {
    QDate d = from;
    for (int i = 0; i < 7 && SchedulingWeekday(d) != weekday; ++i)
        d = d.addDays(1);
    return d;
}

int WeekdayFromName(const QString& name) {
    for (int day = 1; day <= 7; ++day)
        if (name == WeekdayName(day))
            return day;
    return 0;
}

GmtMoment MatchMomentToGMT(const QDate& localDate, int localMinutes, qint32 zone, bool userDaylightNow) {
    // Plain arithmetic: the computer's own zone plays no part.
    const QDateTime local(localDate, QTime(0, 0).addSecs(localMinutes * 60), Qt::UTC);
    const QDateTime gmt = TimeFuncs().toGMT(local, zone, userDaylightNow);
    return GmtMoment{SchedulingWeekday(gmt.date()), gmt.time().msecsSinceStartOfDay() / 60000};
}

GmtMoment WeekMinutesToGMT(int localWeekMinutes, int toGMTShift) {
    int w = (localWeekMinutes + toGMTShift) % kMinutesPerWeek;
    if (w < 0)
        w += kMinutesPerWeek;
    return GmtMoment{w / kMinutesPerDay + 1, w % kMinutesPerDay};
}

QString ActiveMembersStatement(qint32 division) {
    return QStringLiteral("Select Member_Player_ID ") + QStringLiteral("From Players, Members ") +
           QStringLiteral("Where Member_Division_ID = ") + QString::number(division) + QStringLiteral(" ") +
           QStringLiteral("And Member_Player_ID = Player_ID ") + QStringLiteral("And Player_Active = True ");
}

QString AvailableAtStatement(const GmtMoment& moment, const QList<qint32>& players) {
    const QString t = MinutesToHHMM(moment.minutes);
    return QStringLiteral("Select Schedule_Player, Player_OnlineName ") +
           QStringLiteral("From Schedules, Players ") + QStringLiteral("Where Schedule_StartTime <= '") + t +
           QStringLiteral("' ") + QStringLiteral("And '") + t + QStringLiteral("'  <= Schedule_EndTime ") +
           QStringLiteral("And Schedule_Day = ") + QString::number(moment.day) + QStringLiteral(" ") +
           QStringLiteral("And Schedule_Player In (") + idList(players) + QStringLiteral(") ") +
           QStringLiteral("And Schedule_Player = Player_ID ");
}

QString ScheduleRowsStatement(const QList<qint32>& players) {
    return QStringLiteral("Select Schedule_Player, Schedule_Day, Schedule_StartTime, Schedule_EndTime ") +
           QStringLiteral("From Schedules ") + QStringLiteral("Where Schedule_Player In (") +
           idList(players) + QStringLiteral(") ");
}

QString DeleteSchedulingWorkStatement() {
    return QStringLiteral("Delete From SchedulingWork");
}

QString InsertSchedulingWorkStatement(const QList<CountedSlot>& moments, qsizetype first, qsizetype count) {
    // Built as Latin-1 bytes: a search of a large roster writes a great many keys.
    QByteArray sql("Insert Into SchedulingWork (WS_Time, WS_Day, WS_PlayerCount, WS_Players) Values");
    char number[16];
    const auto append = [&](qint64 value) {
        const auto result = std::to_chars(number, number + sizeof number, value);
        sql.append(number, result.ptr - number);
    };
    for (qsizetype i = first; i < first + count && i < moments.size(); ++i) {
        const CountedSlot& s = moments.at(i);
        sql.reserve(sql.size() + 40 + s.players.size() * 7);
        if (i > first)
            sql.append(',');
        sql.append("('").append(MinutesToHHMM(s.gmt.minutes).toLatin1()).append("', ");
        append(s.gmt.day);
        sql.append(", ");
        append(s.count());
        sql.append(", '");
        for (qsizetype k = 0; k < s.players.size(); ++k) {
            if (k > 0)
                sql.append('|');
            append(s.players.at(k));
        }
        sql.append("')");
    }
    return QString::fromLatin1(sql);
}

QList<SearchPerson> PeopleToSearch(const SearchSelection& selection) {
    QList<SearchPerson> people;
    if (selection.byPlayer) {
        for (qint32 id : selection.players)
            people << SearchPerson{id, 0};
        return people;
    }
    for (qint32 division : selection.divisions) {
        RowSet rows = Db().execute(ActiveMembersStatement(division));
        for (; !rows.eof(); rows.moveNext())
            people << SearchPerson{rows.integer(QStringLiteral("Member_Player_ID")), division};
        rows.close();
    }
    return people;
}

QStringList FindAvailable(const SearchSelection& selection, const GmtMoment& moment) {
    const QList<SearchPerson> people = PeopleToSearch(selection);
    const QList<qint32> ids = distinctIds(people);
    QStringList names;
    if (ids.isEmpty())
        return names;

    QHash<qint32, QString> available;
    RowSet rows = Db().execute(AvailableAtStatement(moment, ids));
    for (; !rows.eof(); rows.moveNext()) {
        const qint32 id = rows.integer(QStringLiteral("Schedule_Player"));
        if (!available.contains(id))
            available.insert(id, rows.text(QStringLiteral("Player_OnlineName")).trimmed());
    }
    rows.close();

    if (selection.byPlayer) {
        for (qint32 id : ids)
            if (const auto it = available.constFind(id); it != available.cend())
                names << it.value();
        return names;
    }
    for (const SearchPerson& p : people) {
        const auto it = available.constFind(p.id);
        if (it != available.cend() && !names.contains(it.value()))
            names << it.value();
    }
    return names;
}

QList<CountedSlot> SlotsToCount(const BestTimesRequest& request, int toGMTShift) {
    const int step = request.step > 0 && request.step <= kMinutesPerDay ? request.step : 30;
    QList<CountedSlot> moments;
    for (int k = 0; k < 7; ++k) {
        if (!request.days.at(k))
            continue;
        for (int m = 0; m < kMinutesPerDay; m += step) {
            CountedSlot slot;
            slot.localDay = k + 1;
            slot.localMinutes = m;
            slot.gmt = WeekMinutesToGMT(k * kMinutesPerDay + m, toGMTShift);
            moments << slot;
        }
    }
    return moments;
}

CountedWeek CountWeek(const SearchSelection& selection, const BestTimesRequest& request) {
    const int shift = TimeFuncs().toGMTShift(request.zone, request.userDaylightNow);
    CountedWeek week;
    week.moments = SlotsToCount(request, shift);
    QList<CountedSlot>& moments = week.moments;
    week.people = distinctIds(PeopleToSearch(selection));
    const QList<qint32>& ids = week.people;
    if (moments.isEmpty() || ids.isEmpty())
        return week;

    // The slots of every GMT weekday, ordered by GMT time.
    struct SlotAt {
        int minutes;
        int index;
    };
    std::array<std::vector<SlotAt>, 8> byDay;
    for (int i = 0; i < moments.size(); ++i)
        byDay.at(moments.at(i).gmt.day).push_back(SlotAt{moments.at(i).gmt.minutes, i});
    for (auto& day : byDay)
        std::sort(day.begin(), day.end(),
                  [](const SlotAt& a, const SlotAt& b) { return a.minutes < b.minutes; });

    // Every row of the selected people, with one statement.
    struct Row {
        int day;
        int start;
        int end;
    };
    QHash<qint32, std::vector<Row>> rowsOf;
    rowsOf.reserve(ids.size());
    RowSet rows = Db().execute(ScheduleRowsStatement(ids));
    for (; !rows.eof(); rows.moveNext()) {
        const qint32 player = static_cast<qint32>(rows.valueAt(0).toLongLong());
        const int day = static_cast<int>(rows.valueAt(1).toLongLong());
        const int start = storedMinutes(rows.valueAt(2).toString());
        const int end = storedMinutes(rows.valueAt(3).toString());
        if (day < 1 || day > 7 || start < 0 || end < start)
            continue; // a row that covers no moment
        rowsOf[player].push_back(Row{day, start, end});
    }
    rows.close();

    // People in search order; a person is counted once per slot however many rows cover it.
    std::vector<int> countedBy(moments.size(), -1);
    std::vector<std::vector<qint32>> freeAt(moments.size());
    for (int person = 0; person < ids.size(); ++person) {
        const auto it = rowsOf.constFind(ids.at(person));
        if (it == rowsOf.cend())
            continue;
        for (const Row& row : it.value()) {
            const std::vector<SlotAt>& day = byDay.at(row.day);
            auto at = std::lower_bound(day.begin(), day.end(), row.start,
                                       [](const SlotAt& s, int minutes) { return s.minutes < minutes; });
            for (; at != day.end() && at->minutes <= row.end; ++at) {
                if (countedBy[at->index] == person)
                    continue;
                countedBy[at->index] = person;
                freeAt[at->index].push_back(ids.at(person));
            }
        }
    }

    for (int i = 0; i < moments.size(); ++i)
        moments[i].players = QList<qint32>(freeAt[i].begin(), freeAt[i].end());
    return week;
}

QList<CountedSlot> RankBestTimes(const QList<CountedSlot>& moments) {
    QList<CountedSlot> counted;
    for (const CountedSlot& slot : moments)
        if (slot.count() > 0)
            counted << slot;
    std::stable_sort(counted.begin(), counted.end(),
                     [](const CountedSlot& a, const CountedSlot& b) { return a.count() > b.count(); });
    return counted;
}

QList<CountedSlot> CountBestTimes(const SearchSelection& selection, const BestTimesRequest& request) {
    return RankBestTimes(CountWeek(selection, request).moments);
}

void WriteSchedulingWork(const QList<CountedSlot>& moments) {
    constexpr qsizetype kRowsPerStatement = 100;
    DbConnection::Transaction transaction(Db());
    Db().execute(DeleteSchedulingWorkStatement());
    for (qsizetype first = 0; first < moments.size(); first += kRowsPerStatement)
        Db().execute(InsertSchedulingWorkStatement(moments, first, kRowsPerStatement));
    transaction.commit();
}

QList<CountedSlot> ShowBestTimes(const SearchSelection& selection, const BestTimesRequest& request,
                                 int maxResults, CountedWeek* week) {
    CountedWeek counting = CountWeek(selection, request);
    QList<CountedSlot> counted = RankBestTimes(counting.moments);
    if (week)
        *week = std::move(counting);
    WriteSchedulingWork(counted);
    if (maxResults >= 0 && counted.size() > maxResults)
        counted.resize(maxResults);
    return counted;
}

QString BestTimeEntry(const CountedSlot& slot, bool timeFormat24) {
    return WeekdayName(slot.localDay) + QStringLiteral(" - ") +
           FormatTimeOfDay(slot.localMinutes, timeFormat24) + QStringLiteral(" - ") +
           QString::number(slot.count()) + QStringLiteral(" player(s)");
}

} // namespace rm
