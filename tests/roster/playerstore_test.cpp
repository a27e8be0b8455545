#include "roster/DemoRoster.h"
#include "roster/MembershipStore.h"
#include "roster/PlayerStore.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"
#include "time/TimeFuncs.h"
#include "time/TimeText.h"

#include <QProcess>

using namespace rm;

namespace {

PlayerRecord player(const QString& name, qint32 zone, bool active = true) {
    PlayerRecord p;
    p.onlineName = name;
    p.timeZone = zone;
    p.active = active;
    return p;
}

} // namespace

class PlayerStoreTest : public QObject {
    Q_OBJECT

private:
    FixedClock m_winter{QDateTime(QDate(2024, 1, 15), QTime(20, 0))};

private Q_SLOTS:
    void init() { SetClock(&m_winter); }
    void cleanup() { SetClock(nullptr); }

    // Stored as entered: the name trimmed with its apostrophe, the ICQ number without leading zeros
    // (0 for none), notes with their tab and line break, the pick-list keys and the time of saving. A
    // NUL or another control character typed or pasted into a field is dropped.
    void storedAsEntered() {
        test::TestDatabase db;
        const QString junk = QString(QChar(0)) + QChar(1) + QChar(0x1B) + QChar(0x7F);
        PlayerRecord p = player("  O'" + junk + "Neil ", db.zoneId("GMT"));
        p.icq = "000123";
        p.notes = "a\t" + junk + "\nb";
        p.customDrop = {3, 0, 0, 9};
        const qint32 key = AddPlayer({p, {}, std::nullopt});
        const QString row = "Select Player_OnlineName || '|' || Player_Active || '|' || Player_ICQ || '|' || "
                            "Player_Notes || '|' || Player_CustomDrop1 || Player_CustomDrop4 || '|' || "
                            "Player_Update From Players";
        QCOMPARE(db.scalar(row).toString(), "O'Neil|1|123|a\t\nb|39|2024-01-15 20:00:00");
        p.icq.clear();
        p.active = false;
        FixedClock later(QDateTime(QDate(2024, 2, 3), QTime(4, 5, 6)));
        SetClock(&later);
        UpdatePlayer(key, {p, {}, std::nullopt});
        QCOMPARE(db.scalar(row).toString(), "O'Neil|0|0|a\t\nb|39|2024-02-03 04:05:06");
    }

    void validation() {
        PlayerRecord p = player("   ", 1);
        QCOMPARE(PlayerValidationMessage(p).value_or(QString()), "Online name is required\n");
        p.onlineName = "Ace";
        for (const char* fits : {"", "0", "000123", "2147483647", "0000000000002147483647"}) {
            p.icq = QString::fromLatin1(fits);
            QVERIFY2(!PlayerValidationMessage(p), fits);
        }
        for (const char* tooBig : {"2147483648", "99999999999", "12a"}) {
            p.icq = QString::fromLatin1(tooBig);
            QCOMPARE(PlayerValidationMessage(p).value_or(QString()), kIcqOutOfRange);
        }
    }

    void listOrderAndMissingZone() {
        test::TestDatabase db;
        const int gmt = db.zoneId("GMT");
        for (const auto& [name, active] :
             {std::pair{"Zed", true}, {"Bob", false}, {"amy", true}, {"Adam", false}})
            AddPlayer({player(QString::fromLatin1(name), gmt, active), {}, std::nullopt});
        AddPlayer({player("Lost", 99999), {}, std::nullopt});
        QStringList names;
        for (const PlayerListRow& row : ReadPlayerList())
            names << row.onlineName + (row.active ? "+" : "-");
        // Names compare without regard to case: "amy" before "Zed".
        QCOMPARE(names, (QStringList{"amy+", "Zed+", "Adam-", "Bob-"}));
    }

    // The weeks of several players read together are each player's own week in its own zone.
    void schedulesOfSeveralPlayers() {
        test::TestDatabase db;
        WeekLists week;
        week[1] = QStringList{"18:00|23:30"};
        week[6] = QStringList{"00:00|02:00", "22:00|24:00"};
        const int eastern = db.zoneId("Eastern");
        const int gmt = db.zoneId("GMT");
        const qint32 east = AddPlayer({player("East", eastern), {}, week});
        const qint32 west = AddPlayer({player("West", gmt), {}, week});
        const qint32 none = AddPlayer({player("None", gmt), {}, std::nullopt});
        const QHash<qint32, WeekLists> weeks =
            LoadPlayerSchedules({{east, eastern}, {west, gmt}, {none, gmt}});
        QVERIFY(weeks == (QHash<qint32, WeekLists>{{east, week}, {west, week}}));
        QVERIFY(LoadPlayerSchedules({}).isEmpty());
    }

    // A statement the store refuses part-way leaves the database exactly as it was, and the error
    // says what failed together with the store's description.
    void failedStatementKeepsNothing() {
        test::TestDatabase db;
        const qint32 division = test::InsertDivision("Alpha", test::InsertGame("G"));
        const int gmt = db.zoneId("GMT");
        WeekLists week;
        week[0] = week[1] = QStringList{"10:00|12:00"};
        AddPlayer({player("Keep", gmt), {{division, 0}}, week});
        const QString kept = test::DumpRoster();
        const qint32 key = AddPlayer({player("Ace", gmt), {{division, 0}}, week});
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
                QCOMPARE(e.description(), expected + "\nrefused");
            }
            QCOMPARE(test::DumpRoster(), before);
        };

        WeekLists changed = week;
        changed[0] = QStringList{"08:00|09:00"};
        const PlayerSave monday{player("Renamed", gmt), {{division, 0}, {division, 0}}, changed};
        const PlayerSave members{player("Renamed", gmt), {{division, 0}}, std::nullopt};
        const PlayerSave plain{player("Renamed", gmt), {}, std::nullopt};
        refuse("Before Insert On Schedules When NEW.Schedule_Day = 2");
        refused([&] { UpdatePlayer(key, monday); }, "Error encountered player's Monday Schedule");
        refused([&] { AddPlayer(monday); }, "Error encountered player's Monday Schedule");
        refuse("Before Insert On Members");
        refused([&] { UpdatePlayer(key, members); }, "Error encountered adding player to division");
        refuse("Before Delete On Schedules");
        refused([&] { DeletePlayer(key); }, "Problem encountered deleting the player schedule information.");
        refuse("Before Update On Players");
        refused([&] { UpdatePlayer(key, plain); },
                "Problem encountered when saving player information.  Cannot continue operation.");
        // Taken, a delete removes the player's rows of all three tables and only those.
        for (int t = 1; t <= triggers; ++t)
            db.exec(QStringLiteral("Drop Trigger refuse%1").arg(t));
        DeletePlayer(key);
        QCOMPARE(test::DumpRoster(), kept);
    }

    // A demo roster is varied and its schedules are stored rows a search can match. The tool writes
    // one into a new file and refuses a bad count.
    void demoRoster() {
        test::TestDatabase db;
        WriteDemoRoster(60, 5);
        QCOMPARE(db.scalar("Select COUNT(DISTINCT Player_OnlineName) From Players").toInt(), 60);
        QVERIFY(db.count("Members") > 0 && db.count("Divisions", "Division_Active = 0") > 0);
        QVERIFY(db.count("Players", "Player_Active = 0") > 0);
        QCOMPARE(db.count("Schedules", "Schedule_StartTime > Schedule_EndTime"), 0);

        QTemporaryDir dir;
        const QString path = dir.filePath("demo.mdb");
        QProcess p;
        for (const auto& [count, exitCode] : {std::pair{"25", 0}, {"x", 2}}) {
            p.start(qEnvironmentVariable("RALLYMARK_NEWDB"), {"--demo", count, path});
            QVERIFY(p.waitForFinished(60000));
            QCOMPARE(p.exitCode(), exitCode);
        }
        DbConnection check;
        QVERIFY(check.open(path));
        QCOMPARE(check.scalar("Select COUNT(*) From Players").toInt(), 25);
        QVERIFY(check.scalar("Select COUNT(*) From Schedules").toInt() > 0);
    }
};

QTEST_GUILESS_MAIN(PlayerStoreTest)
#include "playerstore_test.moc"
