#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "roster/DemoRoster.h"
#include "roster/MembershipStore.h"
#include "roster/PlayerStore.h"
#include "support/RosterRows.h"
#include "support/TestDatabase.h"
#include "time/TimeFuncs.h"
#include "time/TimeText.h"

#include <QProcess>
#include <QtTest>

using namespace rm;

namespace {

PlayerRecord player(const QString& name, qint32 zone, bool active = true) {
    PlayerRecord p;
    p.onlineName = name;
    p.timeZone = zone;
    p.active = active;
    return p;
}

// The lookup of the searches, run on the store: who is free at a GMT moment of the week.
QList<int> freeAt(int day, int hour, int minute = 0) {
    const StoredMoment at = StoredMomentOf((day - 1) * kMinutesPerDay + hour * 60 + minute);
    QList<int> players;
    RowSet rows = Db().execute(QStringLiteral("Select Schedule_Player From Schedules Where Schedule_Day = %1 "
                                              "And Schedule_StartTime <= '%2' And Schedule_EndTime >= '%2'")
                                   .arg(at.day)
                                   .arg(MinutesToHHMM(at.minutes)));
    for (; !rows.eof(); rows.moveNext())
        players << rows.integer(QStringLiteral("Schedule_Player"));
    return players;
}

} // namespace

class PlayerStoreTest : public QObject {
    Q_OBJECT

private:
    FixedClock m_winter{QDateTime(QDate(2024, 1, 15), QTime(20, 0))};

private Q_SLOTS:
    void init() { SetClock(&m_winter); }
    void cleanup() { SetClock(nullptr); }

    void statements() {
        PlayerRecord p = player(QStringLiteral("  O'Neil "), 7);
        p.icq = QStringLiteral("000123");
        p.notes = QStringLiteral("a\nb");
        p.customDrop = {3, 0, 0, 9};
        const QDateTime now(QDate(2024, 2, 3), QTime(4, 5, 6));
        const QString insert = PlayerInsertStatement(p, now);
        QVERIFY(insert.startsWith(
            QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                           "Player_RealName, Player_EmailPrimary, Player_EmailSecondary, Player_ICQ, ")));
        QVERIFY(
            insert.contains(QStringLiteral("Values(7, 'O''Neil', 1, '', '', '', 123, '', '', '', 0, 'a\nb', "
                                           "'', '', '', '', 3, 0, 0, 9, '2024-02-03 04:05:06') ")));
        p.icq.clear();
        p.active = false;
        const QString update = PlayerUpdateStatement(p, 42, now);
        QVERIFY(update.contains(QStringLiteral("Player_OnlineName = 'O''Neil', Player_Active = 0, ")));
        QVERIFY(update.contains(QStringLiteral("Player_ICQ = 0, ")));
        QVERIFY(update.contains(QStringLiteral(
            "Player_CustomDrop4 = 9, Player_Update = '2024-02-03 04:05:06' Where Player_ID = 42")));
        QCOMPARE(PlayerListQuery(),
                 QStringLiteral("Select Player_ID, Player_OnlineName, Player_Active, Player_RealName, "
                                "Player_EmailPrimary, Player_Notes, TZ_Name From Players, TimeZones "
                                "Where TZ_ID = Player_TimeZone Order By Player_Active DESC, "
                                "Player_OnlineName"));
        QCOMPARE(ScheduleInsertStatement(5, ScheduleRow{2, 22 * 60, kLastStoredMinute}),
                 QStringLiteral("Insert Into Schedules (Schedule_Player, Schedule_Day, Schedule_StartTime, "
                                "Schedule_EndTime) Values(5, 2, '22:00', '23:59')"));
        QCOMPARE(OfferedDivisionsQuery({4, 9}),
                 QStringLiteral("Select Division_ID, Division_Name, Game_Name From Divisions, "
                                "Games Where Division_Active <> false And Division_Game = "
                                "Game_ID And Division_ID <> 4 And Division_ID <> 9 Order By "
                                "Division_Name"));
    }

    void validation() {
        PlayerRecord p = player(QStringLiteral("   "), 1);
        QCOMPARE(PlayerValidationMessage(p).value_or(QString()), QStringLiteral("Online name is required\n"));
        p.onlineName = QStringLiteral("Ace");
        QVERIFY(!PlayerValidationMessage(p));
        for (const char* fits : {"", "0", "000123", "2147483647", "0000000000002147483647"}) {
            p.icq = QString::fromLatin1(fits);
            QVERIFY2(!PlayerValidationMessage(p), fits);
        }
        for (const char* tooBig : {"2147483648", "99999999999", "12a"}) {
            p.icq = QString::fromLatin1(tooBig);
            QCOMPARE(PlayerValidationMessage(p).value_or(QString()), kIcqOutOfRange);
        }
        QCOMPARE(IcqNumber(QStringLiteral("000123")).value_or(-1), 123);
        QCOMPARE(IcqNumber(QString()).value_or(-1), 0);
        QCOMPARE(IcqText(0), QString());
        QCOMPARE(IcqText(123), QStringLiteral("123"));
    }

    void listOrderAndMissingZone() {
        test::TestDatabase db;
        const int gmt = db.zoneId(QStringLiteral("GMT"));
        for (const auto& [name, active] :
             {std::pair{"Zed", true}, {"Bob", false}, {"amy", true}, {"Adam", false}})
            AddPlayer({player(QString::fromLatin1(name), gmt, active), {}, std::nullopt});
        AddPlayer({player(QStringLiteral("Lost"), 99999), {}, std::nullopt});
        QStringList names;
        for (const PlayerListRow& row : ReadPlayerList())
            names << row.onlineName + (row.active ? QStringLiteral("+") : QStringLiteral("-"));
        // Names compare without regard to case: "amy" before "Zed".
        QCOMPARE(names, (QStringList{"amy+", "Zed+", "Adam-", "Bob-"}));
    }

    void deleteRemovesAllThree() {
        test::TestDatabase db;
        const qint32 division =
            test::InsertDivision(QStringLiteral("Alpha"), test::InsertGame(QStringLiteral("G")));
        WeekLists week;
        week[1] = QStringList{QStringLiteral("18:00|23:30")};
        const int eastern = db.zoneId(QStringLiteral("Eastern"));
        AddPlayer({player(QStringLiteral("Keep"), eastern), {{division, 0}}, week});
        const QString kept = test::DumpRoster();
        const qint32 gone = AddPlayer({player(QStringLiteral("Gone"), eastern), {{division, 0}}, week});
        QCOMPARE(db.count(QStringLiteral("Schedules"), QStringLiteral("Schedule_Player = %1").arg(gone)), 2);
        DeletePlayer(gone);
        QCOMPARE(test::DumpRoster(), kept);
    }

    // A statement the store refuses part-way leaves the database exactly as it was, and the error
    // says what failed together with the store's description.
    void failedStatementKeepsNothing() {
        test::TestDatabase db;
        const qint32 division =
            test::InsertDivision(QStringLiteral("Alpha"), test::InsertGame(QStringLiteral("G")));
        const int gmt = db.zoneId(QStringLiteral("GMT"));
        WeekLists week;
        week[0] = week[1] = QStringList{QStringLiteral("10:00|12:00")};
        const qint32 key = AddPlayer({player(QStringLiteral("Ace"), gmt), {{division, 0}}, week});
        const QString before = test::DumpRoster();
        int triggers = 0;
        auto refuse = [&](const QString& when) {
            QVERIFY(
                db.exec(QStringLiteral("Create Trigger refuse%1 %2 Begin Select RAISE(ABORT, 'refused'); End")
                            .arg(++triggers)
                            .arg(when)) >= 0);
        };
        auto refused = [&](const std::function<void()>& save, const QString& expected) {
            try {
                save();
                QFAIL("the store took the save");
            } catch (const DbError& e) {
                QCOMPARE(e.description(), expected + QStringLiteral("\nrefused"));
            }
            QCOMPARE(test::DumpRoster(), before);
        };

        WeekLists changed = week;
        changed[0] = QStringList{QStringLiteral("08:00|09:00")};
        const PlayerSave monday{
            player(QStringLiteral("Renamed"), gmt), {{division, 0}, {division, 0}}, changed};
        refuse(QStringLiteral("Before Insert On Schedules When NEW.Schedule_Day = 2"));
        refused([&] { UpdatePlayer(key, monday); },
                QStringLiteral("Error encountered player's Monday Schedule"));
        refused([&] { AddPlayer(monday); }, QStringLiteral("Error encountered player's Monday Schedule"));
        refuse(QStringLiteral("Before Insert On Members"));
        refused(
            [&] {
                UpdatePlayer(key, {player(QStringLiteral("Renamed"), gmt), {{division, 0}}, std::nullopt});
            },
            QStringLiteral("Error encountered adding player to division"));
        refuse(QStringLiteral("Before Delete On Schedules"));
        refused([&] { DeletePlayer(key); },
                QStringLiteral("Problem encountered deleting the player schedule information."));
        refuse(QStringLiteral("Before Update On Players"));
        refused(
            [&] {
                UpdatePlayer(key, {player(QStringLiteral("Renamed"), gmt), {}, std::nullopt});
            },
            QStringLiteral(
                "Problem encountered when saving player information.  Cannot continue operation."));
    }

    // Stored under the GMT weekday, a New York evening is found by the searches' lookup on the GMT
    // evening it really is, also after GMT midnight and across the Saturday/Sunday wrap.
    void storedScheduleIsFoundByTheSearchLookup() {
        test::TestDatabase db;
        const int eastern = db.zoneId(QStringLiteral("Eastern")); // 5 hours behind GMT in winter
        WeekLists week;
        week[2] = QStringList{QStringLiteral("17:00|22:00")}; // Tuesday evening
        week[6] = QStringList{QStringLiteral("21:00|23:30")}; // Saturday night
        const QList<int> found{AddPlayer({player(QStringLiteral("Nyc"), eastern), {}, week})}, none;
        QCOMPARE(freeAt(3, 22), found); // Tuesday 22:00 GMT = 17:00 local
        QCOMPARE(freeAt(3, 21, 59), none);
        QCOMPARE(freeAt(4, 3), found); // Wednesday 03:00 GMT = 22:00 local: the end counts
        QCOMPARE(freeAt(4, 3, 1), none);
        QCOMPARE(freeAt(1, 4), found); // Sunday 04:00 GMT = Saturday 23:00 local
        QCOMPARE(freeAt(7, 4), none);
        QCOMPARE(LoadPlayerSchedule(found.first(), eastern), week);
    }

    void demoRoster() {
        test::TestDatabase db;
        WriteDemoRoster(60, 5);
        QCOMPARE(db.count(QStringLiteral("Players")), 60);
        QCOMPARE(db.scalar(QStringLiteral("Select COUNT(DISTINCT Player_OnlineName) From Players")).toInt(),
                 60);
        QVERIFY(db.count(QStringLiteral("Members")) > 0);
        QVERIFY(db.count(QStringLiteral("Divisions"), QStringLiteral("Division_Active = 0")) > 0);
        QVERIFY(db.count(QStringLiteral("Players"), QStringLiteral("Player_Active = 0")) > 0);
        QCOMPARE(
            db.count(QStringLiteral("Schedules"), QStringLiteral("Schedule_StartTime > Schedule_EndTime")),
            0);
        // Every schedule comes back as lists a bar can show, and saving them again changes nothing.
        RowSet players = Db().execute(QStringLiteral("Select Player_ID, Player_TimeZone From Players"));
        for (; !players.eof(); players.moveNext()) {
            const qint32 key = players.integer(QStringLiteral("Player_ID"));
            const qint32 zone = players.integer(QStringLiteral("Player_TimeZone"));
            const QList<ScheduleRow> rows = ReadScheduleRows(key);
            const WeekLists lists = LoadPlayerSchedule(key, zone);
            QList<ScheduleRow> again =
                LocalToStored(lists, TimeFuncs().toGMTShift(zone, CurrentOptions().UserDaylightNow));
            QList<ScheduleRow> sorted = rows;
            std::sort(sorted.begin(), sorted.end(), [](const ScheduleRow& a, const ScheduleRow& b) {
                return std::tie(a.day, a.start, a.end) < std::tie(b.day, b.start, b.end);
            });
            QCOMPARE(again, sorted);
        }
    }

    void newdbTool() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("demo.mdb"));
        QProcess p;
        p.start(qEnvironmentVariable("RALLYMARK_NEWDB"),
                {QStringLiteral("--demo"), QStringLiteral("25"), path});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        {
            DbConnection check;
            QVERIFY(check.open(path));
            QCOMPARE(check.scalar(QStringLiteral("Select COUNT(*) From Players")).toInt(), 25);
            QVERIFY(check.scalar(QStringLiteral("Select COUNT(*) From Schedules")).toInt() > 0);
        }
        p.start(qEnvironmentVariable("RALLYMARK_NEWDB"),
                {QStringLiteral("--demo"), QStringLiteral("x"), path});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
    }
};

QTEST_GUILESS_MAIN(PlayerStoreTest)
#include "playerstore_test.moc"
