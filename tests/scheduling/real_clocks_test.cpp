// Who can make it, checked against the real clocks of real places: a clan spread over every zone of
// the starter catalogue, each player's week entered on their own clock and saved on days spread over
// a year, searched on every day of the months after, at times off the half-hour grid, by leaders in
// both hemispheres. Every answer is compared with the tz data read through QTimeZone directly.

#include "scheduling/ClockChanges.h"
#include "scheduling/SchedulingSearch.h"
#include "scheduling/WeekGrid.h"
#include "support/SchedulingFixtures.h"
#include "support/TestKit.h"
#include "time/TimeText.h"
#include "time/ZoneClock.h"

#include <QTimeZone>

using namespace rm;
using namespace rm::test;

namespace {

struct Member {
    qint32 id = 0;
    QTimeZone zone;
    WeekLists week; // on the member's own clock
};

QDateTime Utc(int y, int mo, int d, int h, int m = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, m), Qt::UTC);
}

// The instant of a time of day on a zone's clock, by Qt.
QDateTime OnClock(QDate day, int minutes, const QTimeZone& zone) {
    return QDateTime(day, QTime(0, 0).addSecs(minutes * 60), zone).toUTC();
}

// Free at a moment of the member's own clock: a stretch of that weekday covers it (both ends count),
// or a stretch of the day before reaches 24:00 and the moment is 00:00.
bool freeAt(const Member& m, const QDateTime& utc) {
    const QDateTime local = utc.toTimeZone(m.zone);
    const int day = local.date().dayOfWeek() % 7; // 0 = Sunday
    const int minute = local.time().msecsSinceStartOfDay() / 60000;
    for (const QString& s : m.week[day]) {
        const auto stretch = ParseStretch(s);
        if (stretch && stretch->first <= minute && minute <= stretch->second)
            return true;
    }
    if (minute == 0)
        for (const QString& s : m.week[(day + 6) % 7])
            if (ParseStretch(s)->second == kMinutesPerDay)
                return true;
    return false;
}

QList<qint32> expectedAt(const QList<Member>& members, const QDateTime& utc) {
    QList<qint32> ids;
    for (const Member& m : members)
        if (freeAt(m, utc))
            ids << m.id;
    return ids;
}

// An evening-and-weekend week with some random stretches, some reaching midnight.
WeekLists randomWeek(QRandomGenerator& random) {
    WeekLists week{};
    for (int d = 0; d < 7; ++d) {
        const bool weekend = d == 0 || d == 6;
        int cell = weekend ? 16 + random.bounded(8) : 34 + random.bounded(6);
        while (cell < 47 && random.bounded(4) != 0) {
            const int end = std::min(48, cell + 1 + random.bounded(8));
            week[d] << FormatStretch(cell * 30, end * 30);
            cell = end + 1 + random.bounded(4);
        }
        if (random.bounded(5) == 0 && (week[d].isEmpty() || !week[d].last().endsWith(QLatin1String("24:00"))))
            week[d].prepend(FormatStretch(0, 30 * (1 + random.bounded(4))));
    }
    return week;
}

// A clan over every real zone of the catalogue; each week saved on its own day of the year before,
// with the user's daylight flag as it happened to stand. Selected as players, all of them.
QList<Member> MakeClan(QRandomGenerator& random, int players, SearchSelection* everybody) {
    QList<Member> clan;
    const QHash<qint32, ZoneClock> clocks = LoadZoneClocks();
    const QList<qint32> zones = clocks.keys();
    for (int p = 0; p < players; ++p) {
        const qint32 zone = zones.at(random.bounded(zones.size()));
        FixedClock saved(
            QDateTime(QDate(2025, 6, 1).addDays(random.bounded(365)), QTime(random.bounded(24), 7)));
        SetClock(&saved);
        CurrentOptions().UserDaylightNow = random.bounded(2) == 1;
        const WeekLists week = randomWeek(random);
        const QString name = QStringLiteral("P%1").arg(p, 3, 10, QLatin1Char('0'));
        clan << Member{AddActivePlayer(name, zone, {}, {}, week), clocks.value(zone).realZone(), week};
        everybody->players << clan.last().id;
        SetClock(nullptr);
    }
    return clan;
}

void leaderRows(std::initializer_list<const char*> leaders) {
    QTest::addColumn<QString>("leader");
    for (const char* leader : leaders)
        QTest::newRow(leader) << QString::fromLatin1(leader);
}

} // namespace

class RealClocksTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        SetClock(&m_today);
        QLocale::setDefault(QLocale::c());
    }
    void cleanup() { SetClock(nullptr); }

    // The availability search on every day of seven months at times off the grid.
    void availabilityMatchesRealClocks_data() { leaderRows({"Berlin", "Eastern", "London", "Sydney"}); }
    void availabilityMatchesRealClocks() {
        QFETCH(QString, leader);
        TestDatabase db;
        RecordingSink sink;
        QRandomGenerator random(static_cast<quint32>(qHash(leader)));
        SearchSelection everybody;
        const QList<Member> clan = MakeClan(random, 100, &everybody);
        const qint32 zone = db.zoneId(leader);
        const QTimeZone leaderClock = LoadZoneClock(zone)->realZone();
        for (QDate day(2026, 6, 1); day <= QDate(2026, 12, 31); day = day.addDays(1)) {
            for (int k = 0; k < 4; ++k) {
                const int minutes =
                    random.bounded(24) * 60 + (k % 2 == 0 ? 15 : 45) + (k / 2) * random.bounded(10);
                const ResolvedMoment moment = MatchInstant(day, minutes, zone);
                if (moment.kind == LocalKind::Exact)
                    QCOMPARE(moment.utc, OnClock(day, minutes, leaderClock));
                QList<qint32> found;
                for (const AvailablePerson& p : FindAvailable(everybody, moment.utc))
                    found << p.id;
                QVERIFY2(found == expectedAt(clan, moment.utc), qPrintable(moment.utc.toString(Qt::ISODate)));
            }
        }
        QCOMPARE(sink.count(), 0);
    }

    // Every slot of the best times and of the grid of real weeks, including the weeks in which the
    // leader's own clocks or the members' change: every day at 15 minutes, then random days at 30 or
    // 60 minutes, the count handed back with the list the screen shows.
    void bestTimesAndGridOfRealWeeks_data() { leaderRows({"Berlin", "Sydney", "Santiago"}); }
    void bestTimesAndGridOfRealWeeks() {
        QFETCH(QString, leader);
        TestDatabase db;
        RecordingSink sink;
        QRandomGenerator random(static_cast<quint32>(qHash(leader)) + 1);
        SearchSelection everybody;
        const QList<Member> clan = MakeClan(random, 60, &everybody);
        for (const QDate weekOf :
             {QDate(2026, 3, 5), QDate(2026, 3, 26), QDate(2026, 4, 2), QDate(2026, 9, 3), QDate(2026, 9, 24),
              QDate(2026, 10, 1), QDate(2026, 10, 22), QDate(2026, 10, 29)}) {
            for (const int step : {15, 30 + 30 * random.bounded(2)}) {
                BestTimesRequest request{{}, step, db.zoneId(leader), weekOf};
                for (bool& day : request.days)
                    day = step == 15 || random.bounded(4) != 0;
                const auto first = static_cast<Qt::DayOfWeek>(weekOf.dayOfWeek());
                CountedWeek week;
                QVERIFY(!ShowBestTimes(everybody, request, 1000, &week).isEmpty());
                QCOMPARE(week.moments.size(),
                         std::count(request.days.begin(), request.days.end(), true) * kMinutesPerDay / step);
                WeekGridModel grid;
                grid.setWeek(week, request, first);
                for (const CountedSlot& slot : week.moments) {
                    const QList<qint32> expected =
                        slot.kind == LocalKind::Skipped ? QList<qint32>() : expectedAt(clan, slot.utc);
                    QVERIFY2(slot.players == expected, qPrintable(slot.utc.toString(Qt::ISODate)));
                    const QModelIndex cell =
                        grid.index(slot.localMinutes / step,
                                   int(WeekColumns(request.days, first).indexOf(slot.localDay)));
                    QCOMPARE(cell.data().toInt(), static_cast<int>(expected.size()));
                    QCOMPARE(cell.data(WeekGridModel::MinutesRole).toInt(), slot.localMinutes);
                    QCOMPARE(cell.data(WeekGridModel::DateRole).toDate(), slot.localDate);
                }
            }
        }
        QCOMPARE(sink.count(), 0);
    }

    // The worked moments: who sees what on their clock, the hour the clocks skip and the hour they
    // pass twice, and the catalogue rules at their legal hour for an entry without a real zone.
    void edgesOfTheClock() {
        TestDatabase db;
        // Every entry of the starter catalogue names a zone the system knows.
        const QHash<qint32, ZoneClock> clocks = LoadZoneClocks();
        QVERIFY(clocks.size() >= 55);
        for (const ZoneClock& c : clocks)
            QVERIFY2(c.hasRealZone(), qPrintable(c.zone().name));
        const auto clock = [&](const char* zone) {
            return *LoadZoneClock(db.zoneId(QString::fromLatin1(zone)));
        };
        const auto instant = [&](const char* zone, QDate day, int h, int m) {
            return MatchInstant(day, h * 60 + m, db.zoneId(QString::fromLatin1(zone)));
        };
        QCOMPARE(instant("Berlin", QDate(2026, 3, 17), 20, 0).utc, Utc(2026, 3, 17, 19));
        QCOMPARE(instant("Berlin", QDate(2026, 3, 31), 20, 0).utc, Utc(2026, 3, 31, 18));
        QCOMPARE(instant("Eastern", QDate(2026, 11, 3), 19, 30).utc, Utc(2026, 11, 4, 0, 30));
        const ZoneClock sydney = clock("Sydney");
        QCOMPARE(sydney.toLocal(Utc(2026, 4, 7, 18)), Utc(2026, 4, 8, 4));
        QCOMPARE(clock("Kathmandu").toLocal(Utc(2026, 11, 4, 0, 30)).time(), QTime(6, 15));

        const ResolvedMoment skipped = instant("Sydney", QDate(2026, 10, 4), 2, 30);
        QCOMPARE(skipped.kind, LocalKind::Skipped);
        QCOMPARE(skipped.movedMinutes, 60);
        QCOMPARE(sydney.toLocal(skipped.utc), Utc(2026, 10, 4, 3, 30));
        const ResolvedMoment twice = instant("Berlin", QDate(2026, 10, 25), 2, 30);
        QCOMPARE(twice.kind, LocalKind::Repeated);
        QCOMPARE(twice.utc, Utc(2026, 10, 25, 0, 30));

        // What the player window says under the zone.
        QCOMPARE(ZoneNowText(clock("Berlin"), Utc(2026, 1, 15, 20, 5), true),
                 QStringLiteral(
                     "Local time now: Thu 15 Jan 21:05 (UTC+01:00). Clocks go forward on Sun 29 Mar 2026"));
        QVERIFY(ZoneNowText(clock("Berlin"), Utc(2026, 7, 1, 0), true)
                    .endsWith(QLatin1String("Clocks go back on Sun 25 Oct 2026")));
        QVERIFY(ZoneNowText(clock("Tokyo"), QDateTime::currentDateTimeUtc(), true)
                    .endsWith(QLatin1String("No clock changes within a year")));

        // Without a real zone the two rules switch at their legal hours, like New York and Berlin.
        db.exec(QStringLiteral("Update TimeZones Set TZ_IANA = '' Where TZ_Name In ('Eastern', 'Berlin')"));
        for (const auto& [name, real] :
             {std::pair{"Eastern", "America/New_York"}, {"Berlin", "Europe/Berlin"}}) {
            const ZoneClock rule = clock(name);
            QVERIFY(!rule.hasRealZone());
            for (QDateTime t = Utc(2026, 1, 1, 0); t.date().year() == 2026; t = t.addSecs(1800))
                QVERIFY2(rule.utcOffsetAt(t) * 60 == QTimeZone(real).offsetFromUtc(t),
                         qPrintable(name + t.toString(Qt::ISODate)));
        }
    }

    // The same weekday and time for twelve weeks: across the changes of the US, Europe and Australia
    // the members whose clocks read differently are named, with whether they join or drop out.
    void clockChangesAhead_data() {
        QTest::addColumn<QString>("leader");
        QTest::addColumn<QDate>("first");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QDate>("changedFrom"); // the first week in which the member's clock differs
        QTest::addColumn<QDate>("changedUntil");
        QTest::newRow("US spring, Berlin leader") << "Berlin" << QDate(2026, 2, 17) << 20 * 60 << "Eastern"
                                                  << QDate(2026, 3, 10) << QDate(2026, 3, 24);
        QTest::newRow("US autumn, Berlin leader") << "Berlin" << QDate(2026, 10, 13) << 20 * 60 << "Eastern"
                                                  << QDate(2026, 10, 27) << QDate(2026, 10, 27);
        QTest::newRow("EU spring, New York leader") << "Eastern" << QDate(2026, 3, 10) << 14 * 60 << "Berlin"
                                                    << QDate(2026, 3, 31) << QDate(2026, 5, 26);
        QTest::newRow("Australia autumn, Tokyo leader")
            << "Tokyo" << QDate(2026, 3, 3) << 19 * 60 << "Sydney" << QDate(2026, 4, 7) << QDate(2026, 5, 26);
        QTest::newRow("Australia spring, London leader")
            << "London" << QDate(2026, 9, 15) << 9 * 60 << "Sydney" << QDate(2026, 10, 6)
            << QDate(2026, 12, 1);
    }
    void clockChangesAhead() {
        QFETCH(QString, leader);
        QFETCH(QDate, first);
        QFETCH(int, minutes);
        QFETCH(QString, member);
        QFETCH(QDate, changedFrom);
        QFETCH(QDate, changedUntil);
        TestDatabase db;
        RecordingSink sink;
        const qint32 leaderZone = db.zoneId(leader);
        const QTimeZone leaderClock = LoadZoneClock(leaderZone)->realZone();
        const QTimeZone memberClock = LoadZoneClock(db.zoneId(member))->realZone();
        // The member plays half an hour on the weekday and at the hour the first week falls on for
        // them, and the leader's neighbour in the same zone plays with the leader.
        const QDateTime firstUtc = OnClock(first, minutes, leaderClock);
        const auto add = [&](const char* name, const QString& zone, const QTimeZone& clock) {
            const QDateTime local = firstUtc.toTimeZone(clock);
            const int hour = local.time().hour() * 60;
            WeekLists week{};
            week[local.date().dayOfWeek() % 7] = QStringList{FormatStretch(hour, hour + 30)};
            return AddActivePlayer(QString::fromLatin1(name), db.zoneId(zone), {}, {}, week);
        };
        const QList<qint32> ids{add("Far", member, memberClock), add("Near", leader, leaderClock)};
        const QList<ClockChangeWeek> weeks = ClockChangesAhead({true, ids, {}}, leaderZone, first, minutes);
        QCOMPARE(weeks.size(), 12);
        QVERIFY(AnyClockChange(weeks));
        for (const ClockChangeWeek& w : weeks) {
            QCOMPARE(w.utc, OnClock(w.date, minutes, leaderClock));
            const bool changed = w.date >= changedFrom && w.date <= changedUntil;
            QCOMPARE(w.shifted.size(), changed ? 1 : 0);
            QCOMPARE(w.count, changed ? 1 : 2);
            if (changed) {
                const MemberClockShift& s = w.shifted.first();
                QCOMPARE(s.name, QStringLiteral("Far"));
                QVERIFY(s.dropsOut());
                const QDateTime local = w.utc.toTimeZone(memberClock);
                QCOMPARE(s.localThen, QDateTime(local.date(), local.time(), Qt::UTC));
            }
        }
        QVERIFY(ClockChangeLines(weeks, true).filter(QStringLiteral("(drops out)")).size() >= 1);

        // Members in the leader's own zone see nothing change.
        QCOMPARE(
            ClockChangeLines(ClockChangesAhead({true, {ids.at(1)}, {}}, leaderZone, first, minutes), true),
            QStringList{QStringLiteral("No clock changes in the next 12 weeks for these members")});
        QCOMPARE(sink.count(), 0);
    }

private:
    FixedClock m_today{QDateTime(QDate(2026, 5, 20), QTime(12, 0))};
};

QTEST_GUILESS_MAIN(RealClocksTest)
#include "real_clocks_test.moc"
