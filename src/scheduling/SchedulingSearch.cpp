#include "scheduling/SchedulingSearch.h"

#include "data/DbConnection.h"
#include "data/SqlText.h"
#include "time/TimeText.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <bit>
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

int WeekdayFromName(const QString& name) {
    for (int day = 1; day <= 7; ++day)
        if (name == WeekdayName(day))
            return day;
    return 0;
}

ResolvedMoment MatchInstant(const QDate& localDate, int localMinutes, qint32 zone) {
    if (std::optional<ZoneClock> clock = LoadZoneClock(zone))
        return clock->toUtc(localDate, localMinutes);
    return ZoneClock().toUtc(localDate, localMinutes);
}

int WeekMinuteOf(const QDateTime& utc, int shift) {
    // 1 January 1970 was a Thursday: the week before it began on Sunday 28 December 1969.
    const qint64 minutes = utc.toSecsSinceEpoch() / 60 + shift + 4 * kMinutesPerDay;
    const qint64 m = minutes % kMinutesPerWeek;
    return static_cast<int>(m < 0 ? m + kMinutesPerWeek : m);
}

GmtMoment FrameMomentAt(const QDateTime& utc, int frameShift) {
    const int w = WeekMinuteOf(utc, frameShift);
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

QString PlayerZonesStatement(const QList<qint32>& players) {
    return QStringLiteral("Select Player_ID, Player_TimeZone From Players Where Player_ID In (") +
           idList(players) + QStringLiteral(") ");
}

QHash<qint32, qint32> LoadPlayerZones(const QList<qint32>& players) {
    QHash<qint32, qint32> zones;
    if (players.isEmpty())
        return zones;
    zones.reserve(players.size());
    RowSet rows = Db().execute(PlayerZonesStatement(players));
    for (; !rows.eof(); rows.moveNext())
        zones.insert(static_cast<qint32>(rows.valueAt(0).toLongLong()),
                     static_cast<qint32>(rows.valueAt(1).toLongLong()));
    rows.close();
    return zones;
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

namespace {

// The frame shift of each person's zone at an instant; a zone missing from the catalogue keeps its
// week in the UTC frame.
class FrameShifts {
public:
    FrameShifts() : m_clocks(LoadZoneClocks()) {}
    int at(qint32 zone, const QDateTime& utc) const {
        const auto it = m_clocks.constFind(zone);
        return it == m_clocks.cend() ? 0 : it->frameShiftAt(utc);
    }
    ZoneClock clock(qint32 zone) const { return m_clocks.value(zone); }

    // A zone's frame shift over a stretch of time as the instants at which it changes: a handful of
    // lookups in the tz data instead of one per slot.
    struct Timeline {
        std::vector<std::pair<qint64, int>> from; // msecs since the epoch, shift from then on
        int at(qint64 msecs) const {
            int shift = from.front().second;
            for (const auto& [since, value] : from) {
                if (since > msecs)
                    break;
                shift = value;
            }
            return shift;
        }
    };
    Timeline timeline(qint32 zone, const QDateTime& first, const QDateTime& last) const {
        Timeline t;
        const auto it = m_clocks.constFind(zone);
        if (it == m_clocks.cend()) {
            t.from.emplace_back(first.toMSecsSinceEpoch(), 0);
            return t;
        }
        t.from.emplace_back(first.toMSecsSinceEpoch(), it->frameShiftAt(first));
        QDateTime at = first;
        while (const std::optional<ClockChange> change = it->nextChange(at, last)) {
            t.from.emplace_back(change->utc.toMSecsSinceEpoch(), it->frameShiftAt(change->utc));
            at = change->utc;
        }
        return t;
    }

private:
    QHash<qint32, ZoneClock> m_clocks;
};

} // namespace

QList<AvailablePerson> FindAvailable(const SearchSelection& selection, const QDateTime& utc) {
    const QList<SearchPerson> people = PeopleToSearch(selection);
    const QList<qint32> ids = distinctIds(people);
    QList<AvailablePerson> found;
    if (ids.isEmpty())
        return found;

    // One statement per distance from standard time: two or three at any instant.
    const QHash<qint32, qint32> zones = LoadPlayerZones(ids);
    const FrameShifts shifts;
    QMap<int, QList<qint32>> groups;
    for (qint32 id : ids)
        groups[shifts.at(zones.value(id), utc)] << id;

    QHash<qint32, QString> available;
    for (auto group = groups.cbegin(); group != groups.cend(); ++group) {
        RowSet rows = Db().execute(AvailableAtStatement(FrameMomentAt(utc, group.key()), group.value()));
        for (; !rows.eof(); rows.moveNext()) {
            const qint32 id = rows.integer(QStringLiteral("Schedule_Player"));
            if (!available.contains(id))
                available.insert(id, rows.text(QStringLiteral("Player_OnlineName")).trimmed());
        }
        rows.close();
    }

    if (selection.byPlayer) {
        for (qint32 id : ids)
            if (const auto it = available.constFind(id); it != available.cend())
                found << AvailablePerson{id, it.value()};
        return found;
    }
    QSet<QString> named;
    for (const SearchPerson& p : people) {
        const auto it = available.constFind(p.id);
        if (it != available.cend() && !named.contains(it.value())) {
            named.insert(it.value());
            found << AvailablePerson{p.id, it.value()};
        }
    }
    return found;
}

QStringList NamesOf(const QList<AvailablePerson>& people) {
    QStringList names;
    for (const AvailablePerson& p : people)
        names << p.name;
    return names;
}

QList<QDate> WeekDates(const QDate& weekOf) {
    QList<QDate> dates;
    for (int i = 0; i < 7; ++i)
        dates << weekOf.addDays(i);
    return dates;
}

QList<CountedSlot> SlotsToCount(const BestTimesRequest& request, const ZoneClock& user) {
    const int step = request.step > 0 && request.step <= kMinutesPerDay ? request.step : 30;
    QList<CountedSlot> moments;
    if (!request.weekOf.isValid())
        return moments;
    for (const QDate& date : WeekDates(request.weekOf)) {
        const int day = SchedulingWeekday(date);
        if (!request.days.at(day - 1))
            continue;
        for (int m = 0; m < kMinutesPerDay; m += step) {
            CountedSlot slot;
            slot.localDay = day;
            slot.localMinutes = m;
            slot.localDate = date;
            const ResolvedMoment resolved = user.toUtc(date, m);
            slot.utc = resolved.utc;
            slot.kind = resolved.kind;
            slot.gmt = FrameMomentAt(slot.utc, 0);
            moments << slot;
        }
    }
    return moments;
}

CountedWeek CountWeek(const SearchSelection& selection, const BestTimesRequest& request) {
    const FrameShifts shifts;
    const ZoneClock user = shifts.clock(request.zone);
    CountedWeek week;
    week.moments = SlotsToCount(request, user);
    QList<CountedSlot>& moments = week.moments;
    week.people = distinctIds(PeopleToSearch(selection));
    const QList<qint32>& ids = week.people;
    if (moments.isEmpty() || ids.isEmpty())
        return week;

    // The people of each zone, and the frame minute each zone looks up at each slot: the zones'
    // shifts change only at a few instants of the week.
    const QHash<qint32, qint32> zoneOf = LoadPlayerZones(ids);
    QList<qint32> zones;
    std::vector<int> zoneIndex(ids.size());
    for (int i = 0; i < ids.size(); ++i) {
        const qint32 zone = zoneOf.value(ids.at(i));
        qsizetype z = zones.indexOf(zone);
        if (z < 0) {
            z = zones.size();
            zones << zone;
        }
        zoneIndex[i] = static_cast<int>(z);
    }
    QDateTime first = moments.first().utc, last = first;
    for (const CountedSlot& slot : std::as_const(moments)) {
        first = std::min(first, slot.utc);
        last = std::max(last, slot.utc);
    }
    std::vector<FrameShifts::Timeline> timelines;
    for (qint32 zone : std::as_const(zones))
        timelines.push_back(shifts.timeline(zone, first, last));
    const qsizetype zoneCount = zones.size();
    std::vector<int> minuteOf(moments.size() * zoneCount, -1); // slot × zone → frame minute
    std::vector<int> needed(kMinutesPerWeek, -1);              // frame minute → its row below
    int neededCount = 0;
    for (qsizetype i = 0; i < moments.size(); ++i) {
        const CountedSlot& slot = moments.at(i);
        if (slot.kind == LocalKind::Skipped)
            continue; // no such moment on the user's clock
        const qint64 msecs = slot.utc.toMSecsSinceEpoch();
        for (qsizetype z = 0; z < zoneCount; ++z) {
            const int m = WeekMinuteOf(slot.utc, timelines[z].at(msecs));
            minuteOf[i * zoneCount + z] = m;
            if (needed[m] < 0)
                needed[m] = neededCount++;
        }
    }
    std::vector<int> neededMinutes; // the minutes looked up, in week order
    for (int m = 0; m < kMinutesPerWeek; ++m)
        if (needed[m] >= 0)
            neededMinutes.push_back(m);

    // For every minute looked up, the set of people free then: one row of bits over the people, so
    // that a slot reads a few words per zone rather than one scattered bit per person.
    const qsizetype words = (ids.size() + 63) / 64;
    std::vector<quint64> freeBits(static_cast<std::size_t>(neededCount) * words, 0);
    std::vector<std::vector<quint64>> zoneMask(zoneCount, std::vector<quint64>(words, 0));
    for (int i = 0; i < ids.size(); ++i)
        zoneMask[zoneIndex[i]][i >> 6] |= quint64(1) << (i & 63);
    QHash<qint32, int> indexOf;
    indexOf.reserve(ids.size());
    for (int i = 0; i < ids.size(); ++i)
        indexOf.insert(ids.at(i), i);
    RowSet rows = Db().execute(ScheduleRowsStatement(ids));
    for (; !rows.eof(); rows.moveNext()) {
        const auto it = indexOf.constFind(static_cast<qint32>(rows.valueAt(0).toLongLong()));
        const int day = static_cast<int>(rows.valueAt(1).toLongLong());
        const int start = storedMinutes(rows.valueAt(2).toString());
        const int end = storedMinutes(rows.valueAt(3).toString());
        if (it == indexOf.cend() || day < 1 || day > 7 || start < 0 || end < start)
            continue; // a row that covers no moment
        const int base = (day - 1) * kMinutesPerDay;
        const quint64 bit = quint64(1) << (*it & 63);
        const qsizetype word = *it >> 6;
        for (auto m = std::lower_bound(neededMinutes.begin(), neededMinutes.end(), base + start);
             m != neededMinutes.end() && *m <= base + end; ++m)
            freeBits[static_cast<std::size_t>(needed[*m]) * words + word] |= bit;
    }
    rows.close();

    // People in search order; a person is counted once per slot however many rows cover it.
    std::vector<quint64> freeNow(words);
    for (qsizetype i = 0; i < moments.size(); ++i) {
        CountedSlot& slot = moments[i];
        if (slot.kind == LocalKind::Skipped)
            continue;
        std::fill(freeNow.begin(), freeNow.end(), 0);
        for (qsizetype z = 0; z < zoneCount; ++z) {
            const quint64* row =
                &freeBits[static_cast<std::size_t>(needed[minuteOf[i * zoneCount + z]]) * words];
            const std::vector<quint64>& mask = zoneMask[z];
            for (qsizetype w = 0; w < words; ++w)
                freeNow[w] |= row[w] & mask[w];
        }
        for (qsizetype w = 0; w < words; ++w)
            for (quint64 bits = freeNow[w]; bits != 0; bits &= bits - 1)
                slot.players << ids.at(w * 64 + std::countr_zero(bits));
    }
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
