// Who can make it, checked against the real clocks of real places: a clan spread over every zone of
// the starter catalogue, each player's week entered on their own clock and saved on days spread over
// a year, searched on every day of the months after, at times off the half-hour grid, by leaders in
// both hemispheres. Every answer is compared with the tz data read through QTimeZone directly.

#include "roster/PlayerStore.h"
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
    QString name;
    QTimeZone zone;
    WeekLists week; // on the member's own clock
};

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

QStringList expectedAt(const QList<Member>& members, const QDateTime& utc) {
    QStringList names;
    for (const Member& m : members)
        if (freeAt(m, utc))
            names << m.name;
    return names;
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
// with the user's daylight flag as it happened to stand.
QList<Member> MakeClan(QRandomGenerator& random, int players) {
    QList<Member> clan;
    const QHash<qint32, ZoneClock> clocks = LoadZoneClocks();
    const QList<qint32> zones = clocks.keys();
    for (int p = 0; p < players; ++p) {
        const qint32 zone = zones.at(random.bounded(zones.size()));
        FixedClock saved(
            QDateTime(QDate(2025, 6, 1).addDays(random.bounded(365)), QTime(random.bounded(24), 7)));
        SetClock(&saved);
        CurrentOptions().UserDaylightNow = random.bounded(2) == 1;
        PlayerSave save;
        save.player.onlineName = QStringLiteral("P%1").arg(p, 3, 10, QLatin1Char('0'));
        save.player.active = true;
        save.player.timeZone = zone;
        save.schedule = randomWeek(random);
        Member m{AddPlayer(save), save.player.onlineName, clocks.value(zone).realZone(), *save.schedule};
        clan << m;
        SetClock(nullptr);
    }
    return clan;
}

QList<qint32> idsOf(const QList<Member>& clan) {
    QList<qint32> ids;
    for (const Member& m : clan)
        ids << m.id;
    return ids;
}

QString where(const QDateTime& utc) {
    return utc.toString(Qt::ISODate);
}

} // namespace

class RealClocksTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { SetClock(&m_today); }
    void cleanup() { SetClock(nullptr); }

    // Every entry of the starter catalogue names a zone the system knows.
    void catalogueZonesAreReal() {
        TestDatabase db;
        const QHash<qint32, ZoneClock> clocks = LoadZoneClocks();
        QVERIFY(clocks.size() >= 55);
        for (const ZoneClock& c : clocks)
            QVERIFY2(c.hasRealZone(), qPrintable(c.zone().name));
    }

    // The availability search on every day of seven months at times off the grid.
    void availabilityMatchesRealClocks_data() {
        QTest::addColumn<QString>("leader");
        QTest::newRow("Berlin") << "Berlin";
        QTest::newRow("New York") << "Eastern";
        QTest::newRow("London") << "London";
        QTest::newRow("Sydney") << "Sydney";
    }
    void availabilityMatchesRealClocks() {
        QFETCH(QString, leader);
        TestDatabase db;
        RecordingSink sink;
        QRandomGenerator random(static_cast<quint32>(qHash(leader)));
        const QList<Member> clan = MakeClan(random, 100);
        const qint32 zone = db.zoneId(leader);
        const QTimeZone leaderClock = LoadZoneClock(zone)->realZone();
        const SearchSelection everybody{true, idsOf(clan), {}};
        int searches = 0, mismatches = 0;
        QString first;
        for (QDate day(2026, 6, 1); day <= QDate(2026, 12, 31); day = day.addDays(1)) {
            for (int k = 0; k < 4; ++k) {
                const int minutes =
                    random.bounded(24) * 60 + (k % 2 == 0 ? 15 : 45) + (k / 2) * random.bounded(10);
                const ResolvedMoment moment = MatchInstant(day, minutes, zone);
                if (moment.kind == LocalKind::Exact)
                    QCOMPARE(moment.utc,
                             QDateTime(day, QTime(0, 0).addSecs(minutes * 60), leaderClock).toUTC());
                const QStringList expected = expectedAt(clan, moment.utc);
                const QStringList found = NamesOf(FindAvailable(everybody, moment.utc));
                ++searches;
                if (found != expected && ++mismatches == 1)
                    first = where(moment.utc) + QStringLiteral(": ") + found.join(',') +
                            QStringLiteral(" != ") + expected.join(',');
            }
        }
        QVERIFY2(mismatches == 0, qPrintable(QStringLiteral("%1 of %2 searches wrong; first %3")
                                                 .arg(mismatches)
                                                 .arg(searches)
                                                 .arg(first)));
        QCOMPARE(sink.count(), 0);
    }

    // Every slot of the best times and of the grid of real weeks, including the weeks in which the
    // leader's own clocks or the members' change.
    void bestTimesAndGridOfRealWeeks_data() {
        QTest::addColumn<QString>("leader");
        QTest::newRow("Berlin") << "Berlin";
        QTest::newRow("Sydney") << "Sydney";
        QTest::newRow("Santiago") << "Santiago";
    }
    void bestTimesAndGridOfRealWeeks() {
        QFETCH(QString, leader);
        TestDatabase db;
        RecordingSink sink;
        QRandomGenerator random(static_cast<quint32>(qHash(leader)) + 1);
        const QList<Member> clan = MakeClan(random, 60);
        const qint32 zone = db.zoneId(leader);
        const SearchSelection everybody{true, idsOf(clan), {}};
        QHash<qint32, QString> nameOf;
        for (const Member& m : clan)
            nameOf.insert(m.id, m.name);
        for (const QDate weekOf :
             {QDate(2026, 3, 5), QDate(2026, 3, 26), QDate(2026, 4, 2), QDate(2026, 9, 3), QDate(2026, 9, 24),
              QDate(2026, 10, 1), QDate(2026, 10, 22), QDate(2026, 10, 29)}) {
            BestTimesRequest request;
            request.days.fill(true);
            request.step = 15;
            request.zone = zone;
            request.weekOf = weekOf;
            const CountedWeek week = CountWeek(everybody, request);
            QCOMPARE(week.moments.size(), 7 * 96);
            WeekGridModel grid;
            grid.setWeek(week, request, static_cast<Qt::DayOfWeek>(weekOf.dayOfWeek()));
            for (const CountedSlot& slot : week.moments) {
                QStringList found;
                for (qint32 id : slot.players)
                    found << nameOf.value(id);
                const QStringList expected =
                    slot.kind == LocalKind::Skipped ? QStringList() : expectedAt(clan, slot.utc);
                QVERIFY2(found == expected, qPrintable(where(slot.utc)));
                const QModelIndex cell =
                    grid.index(slot.localMinutes / 15,
                               static_cast<int>(slot.localDate.toJulianDay() - weekOf.toJulianDay()));
                QCOMPARE(cell.data().toInt(), static_cast<int>(expected.size()));
                QCOMPARE(cell.data(WeekGridModel::DateRole).toDate(), slot.localDate);
            }
        }
        QCOMPARE(sink.count(), 0);
    }

    // The worked moments: who sees what on their clock, the hour the clocks skip and the hour they
    // pass twice, and the catalogue rules at their legal hour for an entry without a real zone.
    void edgesOfTheClock() {
        TestDatabase db;
        const auto instant = [&](const char* zone, QDate day, int h, int m) {
            return MatchInstant(day, h * 60 + m, db.zoneId(QString::fromLatin1(zone)));
        };
        QCOMPARE(instant("Berlin", QDate(2026, 3, 17), 20, 0).utc,
                 QDateTime(QDate(2026, 3, 17), QTime(19, 0), Qt::UTC));
        QCOMPARE(instant("Berlin", QDate(2026, 3, 31), 20, 0).utc,
                 QDateTime(QDate(2026, 3, 31), QTime(18, 0), Qt::UTC));
        QCOMPARE(instant("Eastern", QDate(2026, 11, 3), 19, 30).utc,
                 QDateTime(QDate(2026, 11, 4), QTime(0, 30), Qt::UTC));
        const ZoneClock sydney = *LoadZoneClock(db.zoneId(QStringLiteral("Sydney")));
        QCOMPARE(sydney.toLocal(QDateTime(QDate(2026, 4, 7), QTime(18, 0), Qt::UTC)),
                 QDateTime(QDate(2026, 4, 8), QTime(4, 0), Qt::UTC));
        const ZoneClock kathmandu = *LoadZoneClock(db.zoneId(QStringLiteral("Kathmandu")));
        QCOMPARE(kathmandu.toLocal(QDateTime(QDate(2026, 11, 4), QTime(0, 30), Qt::UTC)).time(),
                 QTime(6, 15));

        const ResolvedMoment skipped = instant("Sydney", QDate(2026, 10, 4), 2, 30);
        QCOMPARE(skipped.kind, LocalKind::Skipped);
        QCOMPARE(skipped.movedMinutes, 60);
        QCOMPARE(sydney.toLocal(skipped.utc), QDateTime(QDate(2026, 10, 4), QTime(3, 30), Qt::UTC));
        const ResolvedMoment twice = instant("Berlin", QDate(2026, 10, 25), 2, 30);
        QCOMPARE(twice.kind, LocalKind::Repeated);
        QCOMPARE(twice.utc, QDateTime(QDate(2026, 10, 25), QTime(0, 30), Qt::UTC));

        // Without a real zone the two rules switch at their legal hours, like New York and Berlin.
        db.exec(QStringLiteral("Update TimeZones Set TZ_IANA = '' Where TZ_Name In ('Eastern', 'Berlin')"));
        const QHash<qint32, ZoneClock> clocks = LoadZoneClocks();
        for (const char* name : {"Eastern", "Berlin"}) {
            const ZoneClock rule = clocks.value(db.zoneId(QString::fromLatin1(name)));
            QVERIFY(!rule.hasRealZone());
            const QTimeZone real(qstrcmp(name, "Eastern") == 0 ? "America/New_York" : "Europe/Berlin");
            for (QDateTime t(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC); t.date().year() == 2026;
                 t = t.addSecs(1800))
                QVERIFY2(rule.utcOffsetAt(t) * 60 == real.offsetFromUtc(t), qPrintable(name + where(t)));
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
        // The member plays on the weekday and at the hour the first week falls on for them, and the
        // leader's neighbour in the same zone plays with the leader.
        const QDateTime firstUtc = QDateTime(first, QTime(0, 0).addSecs(minutes * 60), leaderClock).toUTC();
        const QDateTime theirs = firstUtc.toTimeZone(memberClock);
        const auto add = [&](const QString& name, const QString& zone, const QDateTime& local) {
            PlayerSave save;
            save.player.onlineName = name;
            save.player.active = true;
            save.player.timeZone = db.zoneId(zone);
            const int m = local.time().hour() * 60;
            save.schedule.emplace();
            save.schedule->at(local.date().dayOfWeek() % 7) = QStringList{FormatStretch(m, m + 30)};
            return AddPlayer(save);
        };
        const QList<qint32> ids{add(QStringLiteral("Far"), member, theirs),
                                add(QStringLiteral("Near"), leader, firstUtc.toTimeZone(leaderClock))};
        const QList<ClockChangeWeek> weeks = ClockChangesAhead({true, ids, {}}, leaderZone, first, minutes);
        QCOMPARE(weeks.size(), 12);
        QVERIFY(AnyClockChange(weeks));
        for (const ClockChangeWeek& w : weeks) {
            const QDateTime utc = QDateTime(w.date, QTime(0, 0).addSecs(minutes * 60), leaderClock).toUTC();
            QCOMPARE(w.utc, utc);
            const bool changed = w.date >= changedFrom && w.date <= changedUntil;
            QCOMPARE(w.shifted.size(), changed ? 1 : 0);
            QCOMPARE(w.count, changed ? 1 : 2);
            if (changed) {
                const MemberClockShift& s = w.shifted.first();
                QCOMPARE(s.name, QStringLiteral("Far"));
                QVERIFY(s.dropsOut());
                const QDateTime local = utc.toTimeZone(memberClock);
                QCOMPARE(s.localThen, QDateTime(local.date(), local.time(), Qt::UTC));
            }
        }
        const QStringList lines = ClockChangeLines(weeks, true);
        QVERIFY(lines.filter(QStringLiteral("(drops out)")).size() >= 1);

        // Members in the leader's own zone see nothing change.
        const QList<ClockChangeWeek> quiet =
            ClockChangesAhead({true, {ids.at(1)}, {}}, leaderZone, first, minutes);
        QCOMPARE(ClockChangeLines(quiet, true),
                 QStringList{QStringLiteral("No clock changes in the next 12 weeks for these members")});
        QCOMPARE(sink.count(), 0);
    }

private:
    FixedClock m_today{QDateTime(QDate(2026, 5, 20), QTime(12, 0))};
};

QTEST_GUILESS_MAIN(RealClocksTest)
#include "real_clocks_test.moc"
