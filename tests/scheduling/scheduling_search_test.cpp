#include "scheduling/SchedulingMail.h"
#include "scheduling/SchedulingSearch.h"
#include "support/SchedulingFixtures.h"
#include "support/TestKit.h"
#include "time/TimeText.h"

#include <QLocale>

using namespace rm;
using namespace rm::test;

namespace {

constexpr int kSunday = 1, kMonday = 2, kTuesday = 3, kWednesday = 4, kSaturday = 7;

int hm(int h, int m) {
    return h * 60 + m;
}

BestTimesRequest allDays(int step) {
    BestTimesRequest r{{}, step, CurrentOptions().UserTimeZone, QDate(2005, 1, 9)}; // from a Sunday
    r.days.fill(true);
    return r;
}

// The instant of a weekday (1 = Sunday) of that week at a time of day, in UTC: the frame of players
// of the GMT entry, which never changes its clocks.
QDateTime at(int day, int minutes) {
    return QDateTime(QDate(2005, 1, 8 + day), QTime(0, 0), Qt::UTC).addSecs(minutes * 60);
}

QStringList available(const SearchSelection& selection, const QDateTime& utc) {
    return NamesOf(FindAvailable(selection, utc));
}

// A player in the user's zone, free on one GMT weekday from start to end.
qint32 freeOn(const QString& name, int day, int start, int end, bool active = true) {
    const qint32 id = InsertPlayerRow(name, active, CurrentOptions().UserTimeZone);
    AddScheduleRow(id, day, start, end);
    return id;
}

SearchSelection players(const QList<qint32>& ids) {
    return SearchSelection{true, ids, {}};
}
SearchSelection divisions(const QList<qint32>& ids) {
    return SearchSelection{false, {}, ids};
}

QStringList entries(const QList<CountedSlot>& moments, bool timeFormat24) {
    QStringList list;
    for (const CountedSlot& s : moments)
        list << BestTimeEntry(s, timeFormat24);
    return list;
}

QString pm() {
    const QString text = QLocale::system().pmText();
    return text.isEmpty() ? QStringLiteral("PM") : text;
}

} // namespace

class SchedulingSearchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { SetClock(&m_clock); }
    void cleanup() { SetClock(nullptr); }

    void availabilityByPlayer() {
        TestDatabase db;
        const qint32 ends = freeOn("Ends", kWednesday, hm(18, 0), hm(20, 0));
        const qint32 late = freeOn("Late", kWednesday, hm(20, 1), hm(22, 0));
        const qint32 twice = freeOn("Twice", kWednesday, hm(17, 0), hm(21, 0));
        AddScheduleRow(twice, kWednesday, hm(19, 0), hm(20, 30));
        const auto all = players({ends, late, twice, freeOn("Tuesday only", kTuesday, 0, hm(23, 59))});
        // Both ends of a stretch count; a stretch starting a minute later does not.
        QCOMPARE(available(all, at(kWednesday, hm(20, 0))), (QStringList{"Ends", "Twice"}));
        QCOMPARE(available(all, at(kWednesday, hm(20, 1))), (QStringList{"Late", "Twice"}));

        // Five hours behind GMT: Tuesday 21:00 is searched as Wednesday 02:00 against Wednesday rows.
        const qint32 night = freeOn("Night owl", kWednesday, hm(1, 30), hm(3, 0));
        const qint32 wrongDay = freeOn("Tuesday night", kTuesday, hm(1, 30), hm(3, 0));
        const ResolvedMoment moment = MatchInstant(QDate(2005, 1, 11), hm(21, 0), db.zoneId("Bogota"));
        QCOMPARE(available(players({night, wrongDay}), moment.utc), QStringList{"Night owl"});
    }

    void availabilityByDivision() {
        TestDatabase db;
        const qint32 alpha = InsertDivision("Alpha"), bravo = InsertDivision("Bravo");
        QList<qint32> ids;
        for (const char* name : {"Both", "Resting", "Alpha only", "Bravo only", "Twin", "Twin"})
            ids << freeOn(name, kMonday, hm(18, 0), hm(22, 0), qstrcmp(name, "Resting") != 0);
        for (int i : {0, 1, 2, 4})
            InsertMember(ids[i], alpha);
        for (int i : {3, 0, 5})
            InsertMember(ids[i], bravo);
        // Inactive members are left out, a member of two divisions and a second player of a name are
        // listed once; by player, two players of one name are two entries.
        QCOMPARE(available(divisions({alpha, bravo}), at(kMonday, hm(20, 0))),
                 (QStringList{"Both", "Alpha only", "Twin", "Bravo only"}));
        QCOMPARE(available(players({ids[4], ids[5]}), at(kMonday, hm(20, 0))), (QStringList{"Twin", "Twin"}));
    }

    // Overlapping rows of one player count once; the 12-hour entry; no day ticked counts nothing and
    // empties the work table.
    void bestTimesCounting() {
        TestDatabase db;
        const qint32 b = freeOn("B", kTuesday, hm(20, 30), hm(20, 30));
        const qint32 c = freeOn("C", kTuesday, hm(20, 0), hm(21, 0));
        AddScheduleRow(c, kTuesday, hm(20, 15), hm(20, 45));
        QCOMPARE(entries(ShowBestTimes(players({b, c}), allDays(30), 1), false),
                 QStringList{"Tuesday - 08:30 " + pm() + " - 2 player(s)"});
        BestTimesRequest none = allDays(30);
        none.days.fill(false);
        QVERIFY(ShowBestTimes(players({b, c}), none, 20).isEmpty());
        QCOMPARE(db.count("SchedulingWork"), 0);
    }

    void bestFirstThenTheUsersWeek() {
        TestDatabase db;
        QList<qint32> ids;
        // Thursday 01:00 .. 05:00 have the five distinct counts 5 .. 1.
        for (int p = 0; p < 5; ++p)
            ids << freeOn(QStringLiteral("P%1").arg(p), 5, hm(1, 0), hm(1 + p, 0));
        QCOMPARE(entries(ShowBestTimes(players(ids), allDays(60), 3), true),
                 (QStringList{"Thursday - 01:00 - 5 player(s)", "Thursday - 02:00 - 4 player(s)",
                              "Thursday - 03:00 - 3 player(s)"}));

        // Ties keep the order of the week, Sunday 00:00 first.
        for (qint32 id : ids) {
            AddScheduleRow(id, kSaturday, hm(0, 0), hm(0, 0));
            AddScheduleRow(id, kSunday, hm(23, 0), hm(23, 0));
        }
        QCOMPARE(entries(ShowBestTimes(players(ids), allDays(60), 4), true),
                 (QStringList{"Sunday - 23:00 - 5 player(s)", "Thursday - 01:00 - 5 player(s)",
                              "Saturday - 00:00 - 5 player(s)", "Thursday - 02:00 - 4 player(s)"}));

        // The user's week, not GMT's, orders the ties: one hour ahead, Sunday 00:00 local is
        // Saturday 23:00 GMT and comes first.
        const qint32 q = freeOn("Q", kSaturday, hm(23, 0), hm(23, 0));
        AddScheduleRow(q, kSunday, hm(0, 0), hm(0, 0));
        CurrentOptions().UserTimeZone = db.zoneId("Lagos");
        QCOMPARE(entries(ShowBestTimes(players({q}), allDays(60), 5), true),
                 (QStringList{"Sunday - 00:00 - 1 player(s)", "Sunday - 01:00 - 1 player(s)"}));
    }

    // The counting in memory gives exactly the rows of the plain per-statement search, in weeks in
    // which other zones change their clocks.
    void matchesThePlainSearch_data() {
        QTest::addColumn<QString>("userZone");
        QTest::addColumn<QDate>("weekOf");
        QTest::newRow("GMT, Europe changes") << "GMT" << QDate(2026, 3, 25);
        QTest::newRow("Eastern, Europe changes") << "Eastern" << QDate(2026, 3, 24);
        QTest::newRow("India, Sydney changes") << "India" << QDate(2026, 10, 1);
        QTest::newRow("Berlin, New York changes") << "Berlin" << QDate(2026, 10, 29);
        QTest::newRow("Sydney, Auckland changes") << "Sydney" << QDate(2026, 9, 23);
    }
    void matchesThePlainSearch() {
        QFETCH(QString, userZone);
        QFETCH(QDate, weekOf);
        TestDatabase db;
        RecordingSink sink;
        CurrentOptions().UserTimeZone = db.zoneId(userZone);
        QRandomGenerator random(static_cast<quint32>(qHash(userZone)));
        const Roster roster = MakeRandomRoster(random, 24, 4);
        for (int step : {15, 30, 60}) {
            BestTimesRequest request = allDays(step);
            request.weekOf = weekOf;
            for (int k = 0; k < 7; ++k)
                request.days.at(k) = random.bounded(4) != 0;
            QList<qint32> chosen;
            for (qint32 id : roster.activePlayers)
                if (random.bounded(3) != 0)
                    chosen << id;
            const QList<SearchSelection> selections{players(chosen), divisions(roster.divisions.mid(1))};
            for (const SearchSelection& selection : selections) {
                const QStringList expected = ReferenceBestTimes(selection, request);
                QVERIFY(!expected.isEmpty());
                ShowBestTimes(selection, request, 5);
                QCOMPARE(SchedulingWorkRows(), expected);
            }
        }
        QCOMPARE(sink.count(), 0);
    }

    void mailTexts() {
        const QString longDate = QLocale::system().toString(QDate(2005, 12, 6), QLocale::LongFormat);
        SchedulingMail mail = AvailabilityMail("12/06/2005", "20:30", {"Ann", "Bob"}, true, "Eastern");
        QCOMPARE(mail.subject, QStringLiteral("Match Information"));
        QCOMPARE(mail.message, "We have a match scheduled on " + longDate + " at 20:30 Eastern.\r\n" +
                                   "According to everyone's submitted schedules, here is a list of who can "
                                   "make it: \r\nAnn\r\nBob\r\n");
        mail = AvailabilityMail("2005-12-06", "8:30pm", {"Ann"}, false, "GMT");
        QVERIFY(mail.message.startsWith("We have a match scheduled on " + longDate + " at 08:30 " + pm() +
                                        " GMT.\r\n"));
        mail = BestTimesMail({"Tuesday - 20:30 - 5 player(s)", "Monday - 18:00 - 2 player(s)"}, "GMT");
        QCOMPARE(mail.subject, QStringLiteral("Here are the best times for a practice/match!"));
        QCOMPARE(mail.message, QStringLiteral("Tuesday - 20:30 - 5 player(s)\r\nMonday - 18:00 - 2 player(s)"
                                              "\r\n\r\nAll times are in GMT\r\n"));
    }

private:
    FixedClock m_clock{QDateTime(QDate(2005, 1, 12), QTime(12, 0))}; // winter: no zone's rule in effect
};

QTEST_GUILESS_MAIN(SchedulingSearchTest)
#include "scheduling_search_test.moc"
