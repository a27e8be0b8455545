#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "roster/DemoRoster.h"
#include "roster/MembershipStore.h"
#include "roster/PlayerStore.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"
#include "time/TimeFuncs.h"
#include "time/TimeText.h"

#include <QProcess>
#include <QtTest>

using namespace rm;

namespace {

// Every row of the tables a player save touches, as text, for before/after comparisons.
QString dumpRoster() {
    QStringList lines;
    for (const QString& sql :
         {QStringLiteral("Select * From Players Order By Player_ID"),
          QStringLiteral("Select * From Members Order By Member_Player_ID, Member_Division_ID"),
          QStringLiteral("Select * From Schedules Order By Schedule_Player, Schedule_Day, "
                         "Schedule_StartTime, Schedule_EndTime")}) {
        RowSet rows = Db().execute(sql);
        for (; !rows.eof(); rows.moveNext()) {
            QStringList values;
            for (int i = 0;; ++i) {
                const QVariant v = rows.valueAt(i);
                if (!v.isValid())
                    break;
                values << v.toString();
            }
            lines << values.join(QLatin1Char('|'));
        }
    }
    return lines.join(QLatin1Char('\n'));
}

PlayerRecord player(const QString& name, qint32 zone, bool active = true) {
    PlayerRecord p;
    p.onlineName = name;
    p.timeZone = zone;
    p.active = active;
    return p;
}

qint32 addDivision(const QString& name, bool active) {
    Db().execute(
        QStringLiteral(
            "Insert Into Games (Game_Name, Game_Type, Game_Genre, Game_Notes) Values('G %1', 1, 1, ' ')")
            .arg(name));
    const int game = Db().scalar(QStringLiteral("Select MAX(Game_ID) From Games")).toInt();
    Db().execute(QStringLiteral(
                     "Insert Into Divisions (Division_Name, Division_Game, Division_Active, Division_Notes) "
                     "Values('%1', %2, %3, ' ')")
                     .arg(name)
                     .arg(game)
                     .arg(active ? 1 : 0));
    return Db().scalar(QStringLiteral("Select MAX(Division_ID) From Divisions")).toInt();
}

qint32 addTitle(qint32 division, const QString& description) {
    Db().execute(QStringLiteral("Insert Into Titles (Title_Division, Title_Description) Values(%1, '%2')")
                     .arg(division)
                     .arg(description));
    return Db().scalar(QStringLiteral("Select MAX(Title_ID) From Titles")).toInt();
}

// The lookup of the searches, run on the store: who is free at a GMT moment.
QList<int> freeAt(int gmtWeekMinutes) {
    const StoredMoment at = StoredMomentOf(gmtWeekMinutes);
    QList<int> players;
    RowSet rows = Db().execute(QStringLiteral("Select Schedule_Player From Schedules Where Schedule_Day = %1 "
                                              "And Schedule_StartTime <= '%2' And Schedule_EndTime >= '%2'")
                                   .arg(at.day)
                                   .arg(MinutesToHHMM(at.minutes)));
    for (; !rows.eof(); rows.moveNext())
        players << rows.integer(QStringLiteral("Schedule_Player"));
    return players;
}

int weekMinute(int day, int hour, int minute = 0) {
    return (day - 1) * kMinutesPerDay + hour * 60 + minute;
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

    void addWritesOnlyWhatItHas() {
        test::TestDatabase db;
        PlayerSave save{player(QStringLiteral("Solo"), db.zoneId(QStringLiteral("GMT"))), {}, std::nullopt};
        save.player.icq = QStringLiteral("000123");
        const qint32 key = AddPlayer(save);
        QVERIFY(key > 0);
        QCOMPARE(db.count(QStringLiteral("Players")), 1);
        QCOMPARE(db.count(QStringLiteral("Members")), 0);
        QCOMPARE(db.count(QStringLiteral("Schedules")), 0);
        QCOMPARE(db.scalar(QStringLiteral("Select Player_ICQ From Players")).toInt(), 123);
        QCOMPARE(LoadPlayer(key)->icq, QStringLiteral("123"));
        QCOMPARE(db.scalar(QStringLiteral("Select Player_Update From Players")).toString(),
                 QStringLiteral("2024-01-15 20:00:00"));
        save.player.icq.clear();
        UpdatePlayer(key, save);
        QCOMPARE(db.scalar(QStringLiteral("Select Player_ICQ From Players")).toInt(), 0);
        QCOMPARE(LoadPlayer(key)->icq, QString());
    }

    void listOrderAndMissingZone() {
        test::TestDatabase db;
        const int gmt = db.zoneId(QStringLiteral("GMT"));
        AddPlayer({player(QStringLiteral("Zed"), gmt, true), {}, std::nullopt});
        AddPlayer({player(QStringLiteral("Bob"), gmt, false), {}, std::nullopt});
        AddPlayer({player(QStringLiteral("amy"), gmt, true), {}, std::nullopt});
        AddPlayer({player(QStringLiteral("Adam"), gmt, false), {}, std::nullopt});
        AddPlayer({player(QStringLiteral("Lost"), 99999, true), {}, std::nullopt});
        QStringList names;
        for (const PlayerListRow& row : ReadPlayerList())
            names << row.onlineName + (row.active ? QStringLiteral("+") : QStringLiteral("-"));
        // Names compare without regard to case: "amy" before "Zed".
        QCOMPARE(names, (QStringList{"amy+", "Zed+", "Adam-", "Bob-"}));
    }

    void deleteRemovesAllThree() {
        test::TestDatabase db;
        const qint32 division = addDivision(QStringLiteral("Alpha"), true);
        WeekLists week;
        week[1] = QStringList{QStringLiteral("18:00|23:30")};
        const int eastern = db.zoneId(QStringLiteral("Eastern"));
        const qint32 keep = AddPlayer({player(QStringLiteral("Keep"), eastern), {{division, 0}}, week});
        const qint32 gone = AddPlayer({player(QStringLiteral("Gone"), eastern), {{division, 0}}, week});
        QCOMPARE(db.count(QStringLiteral("Schedules"), QStringLiteral("Schedule_Player = %1").arg(gone)), 2);
        DeletePlayer(gone);
        QCOMPARE(db.count(QStringLiteral("Players")), 1);
        QCOMPARE(db.count(QStringLiteral("Members"), QStringLiteral("Member_Player_ID = %1").arg(gone)), 0);
        QCOMPARE(db.count(QStringLiteral("Schedules"), QStringLiteral("Schedule_Player = %1").arg(gone)), 0);
        QCOMPARE(db.count(QStringLiteral("Members"), QStringLiteral("Member_Player_ID = %1").arg(keep)), 1);
        QCOMPARE(db.count(QStringLiteral("Schedules"), QStringLiteral("Schedule_Player = %1").arg(keep)), 2);
    }

    // A statement the store refuses part-way leaves the database exactly as it was, and the error
    // says what failed together with the store's description.
    void failedStatementKeepsNothing() {
        test::TestDatabase db;
        const qint32 division = addDivision(QStringLiteral("Alpha"), true);
        const int gmt = db.zoneId(QStringLiteral("GMT"));
        WeekLists week;
        week[0] = QStringList{QStringLiteral("10:00|12:00")};
        week[1] = QStringList{QStringLiteral("10:00|12:00")};
        const qint32 key = AddPlayer({player(QStringLiteral("Ace"), gmt), {{division, 0}}, week});
        const QString before = dumpRoster();

        QVERIFY(db.exec(QStringLiteral(
                    "Create Trigger refuseMonday Before Insert On Schedules When NEW.Schedule_Day = 2 "
                    "Begin Select RAISE(ABORT, 'Monday is closed'); End")) >= 0);
        WeekLists changed = week;
        changed[0] = QStringList{QStringLiteral("08:00|09:00")};
        PlayerSave save{player(QStringLiteral("Renamed"), gmt), {{division, 0}, {division, 0}}, changed};
        try {
            UpdatePlayer(key, save);
            QFAIL("the update went through");
        } catch (const DbError& e) {
            QVERIFY2(
                e.description().startsWith(QStringLiteral("Error encountered player's Monday Schedule\n")),
                qPrintable(e.description()));
            QVERIFY(e.description().contains(QStringLiteral("Monday is closed")));
        }
        QCOMPARE(dumpRoster(), before);
        try {
            AddPlayer(save);
            QFAIL("the add went through");
        } catch (const DbError& e) {
            QVERIFY(e.description().contains(QStringLiteral("Monday is closed")));
        }
        QCOMPARE(dumpRoster(), before);

        QVERIFY(db.exec(QStringLiteral("Create Trigger refuseMembers Before Insert On Members "
                                       "Begin Select RAISE(ABORT, 'no members'); End")) >= 0);
        try {
            UpdatePlayer(key, {player(QStringLiteral("Renamed"), gmt), {{division, 0}}, std::nullopt});
            QFAIL("the update went through");
        } catch (const DbError& e) {
            QCOMPARE(e.description(),
                     QStringLiteral("Error encountered adding player to division\nno members"));
        }
        QCOMPARE(dumpRoster(), before);

        QVERIFY(db.exec(QStringLiteral("Create Trigger refuseDelete Before Delete On Schedules "
                                       "Begin Select RAISE(ABORT, 'keep them'); End")) >= 0);
        try {
            DeletePlayer(key);
            QFAIL("the delete went through");
        } catch (const DbError& e) {
            QCOMPARE(
                e.description(),
                QStringLiteral("Problem encountered deleting the player schedule information.\nkeep them"));
        }
        QCOMPARE(dumpRoster(), before);

        QVERIFY(db.exec(QStringLiteral("Create Trigger refuseUpdate Before Update On Players "
                                       "Begin Select RAISE(ABORT, 'frozen'); End")) >= 0);
        try {
            UpdatePlayer(key, {player(QStringLiteral("Renamed"), gmt), {}, std::nullopt});
            QFAIL("the update went through");
        } catch (const DbError& e) {
            QCOMPARE(e.description(),
                     QStringLiteral("Problem encountered when saving player information.  Cannot "
                                    "continue operation.\nfrozen"));
        }
        QCOMPARE(dumpRoster(), before);
    }

    // Stored under the GMT weekday, a New York evening is found on the GMT evening it really is,
    // also the part after GMT midnight; an update without a schedule leaves the rows alone.
    void storedScheduleIsFoundByTheSearchLookup() {
        test::TestDatabase db;
        const int eastern = db.zoneId(QStringLiteral("Eastern")); // GMT+5 hours in winter
        WeekLists week;
        week[2] = QStringList{QStringLiteral("17:00|22:00")}; // Tuesday evening
        week[6] = QStringList{QStringLiteral("21:00|23:30")}; // Saturday night
        const qint32 key = AddPlayer({player(QStringLiteral("Nyc"), eastern), {}, week});
        QCOMPARE(freeAt(weekMinute(3, 22, 0)), QList<int>{key}); // Tuesday 22:00 GMT = 17:00 local
        QCOMPARE(freeAt(weekMinute(4, 2, 0)), QList<int>{key});  // Wednesday 02:00 GMT = 21:00 local
        QCOMPARE(freeAt(weekMinute(4, 3, 0)), QList<int>{key});  // the end counts
        QCOMPARE(freeAt(weekMinute(4, 3, 1)), QList<int>{});
        QCOMPARE(freeAt(weekMinute(3, 21, 59)), QList<int>{});
        QCOMPARE(freeAt(weekMinute(1, 4, 0)), QList<int>{key}); // Sunday 04:00 GMT = Saturday 23:00 local
        QCOMPARE(freeAt(weekMinute(7, 4, 0)), QList<int>{});
        QCOMPARE(LoadPlayerSchedule(key, eastern), week);

        const QString before = dumpRoster();
        // Loaded in summer the stretches look an hour later; saving without a schedule keeps the rows.
        FixedClock summer(QDateTime(QDate(2024, 7, 15), QTime(20, 0)));
        SetClock(&summer);
        QCOMPARE(LoadPlayerSchedule(key, eastern)[2], QStringList{QStringLiteral("18:00|23:00")});
        UpdatePlayer(key, {player(QStringLiteral("Nyc"), eastern), {}, std::nullopt});
        SetClock(&m_winter);
        QCOMPARE(db.count(QStringLiteral("Schedules")), 3);
        QCOMPARE(dumpRoster().section(QLatin1Char('\n'), 1), before.section(QLatin1Char('\n'), 1));
        // Saving the same lists again writes the same rows.
        UpdatePlayer(key, {player(QStringLiteral("Nyc"), eastern), {}, LoadPlayerSchedule(key, eastern)});
        QCOMPARE(dumpRoster().section(QLatin1Char('\n'), 1), before.section(QLatin1Char('\n'), 1));
    }

    void membershipsAndOfferedDivisions() {
        test::TestDatabase db;
        const qint32 alpha = addDivision(QStringLiteral("Alpha"), true);
        const qint32 bravo = addDivision(QStringLiteral("Bravo"), true);
        const qint32 old = addDivision(QStringLiteral("Old"), false);
        const qint32 captain = addTitle(alpha, QStringLiteral(" Captain "));
        const qint32 gone = addTitle(bravo, QStringLiteral("Gone"));
        const qint32 key = AddPlayer({player(QStringLiteral("Ace"), db.zoneId(QStringLiteral("GMT"))),
                                      {{bravo, gone}, {alpha, captain}, {old, 0}},
                                      std::nullopt});
        Db().execute(QStringLiteral("Delete From Titles Where Title_ID = %1").arg(gone));
        const QList<MembershipRow> rows = ReadMemberships(key);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].division, QStringLiteral("Alpha"));
        QCOMPARE(rows[0].title, QStringLiteral("Captain"));
        QCOMPARE(rows[0].titleId, captain);
        QCOMPARE(rows[1].title, QStringLiteral("Unknown"));
        QCOMPARE(rows[2].title, QStringLiteral("None"));
        QCOMPARE(rows[2].titleId, 0);

        auto names = [](const QList<DivisionChoice>& list) {
            QStringList n;
            for (const DivisionChoice& c : list)
                n << c.itemText();
            return n;
        };
        QCOMPARE(names(OfferedDivisions({})), (QStringList{"Alpha - G Alpha", "Bravo - G Bravo"}));
        QCOMPARE(names(OfferedDivisions({alpha})), QStringList{"Bravo - G Bravo"});
        QVERIFY(OfferedDivisions({alpha, bravo}).isEmpty());
        // Editing a membership of a division switched off since: the division is still there.
        QCOMPARE(names(OfferedDivisions({}, old)),
                 (QStringList{"Alpha - G Alpha", "Bravo - G Bravo", "Old - G Old"}));
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
