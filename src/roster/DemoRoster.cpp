#include "roster/DemoRoster.h"

#include "data/DbConnection.h"
#include "data/SqlText.h"
#include "roster/PlayerStore.h"
#include "time/TimeText.h"

#include <QRandomGenerator>
#include <QSet>
#include <QStringList>

namespace rm {

namespace {

const char* const kNamePrefixes[] = {"Dark",   "Swift", "Iron",  "Silent", "Crimson", "Frost",
                                     "Shadow", "Storm", "Lucky", "Mad",    "Rogue",   "Night",
                                     "Turbo",  "Grim",  "Pixel", "Neon",   "Wild",    "Lone",
                                     "Atomic", "Hyper", "Rusty", "Jade",   "Sly",     "Bold"};
const char* const kNameSuffixes[] = {"Wolf",   "Hawk",   "Blade",  "Viper",  "Ghost",  "Fox",
                                     "Raven",  "Tiger",  "Sniper", "Knight", "Bear",   "Comet",
                                     "Drake",  "Falcon", "Hammer", "Lynx",   "Otter",  "Panda",
                                     "Rocket", "Spark",  "Titan",  "Yeti",   "Zephyr", "Mantis"};
const char* const kFirstNames[] = {"Alex", "Sam",  "Jordan", "Robin", "Kim",   "Lee",  "Chris", "Pat",
                                   "Dana", "Toni", "Maria",  "Jonas", "Aiko",  "Ravi", "Elena", "Tomas",
                                   "Nora", "Ivan", "Sofia",  "Kenji", "Priya", "Omar", "Lena",  "Mateo"};
const char* const kLastNames[] = {"Smith",    "Meyer", "Novak",  "Rossi",  "Tanaka", "Silva",
                                  "Kowalski", "Berg",  "Moreau", "Larsen", "Costa",  "Ivanov",
                                  "Singh",    "Kim",   "Jansen", "Okafor"};

struct DemoDivision {
    const char* name;
    int game; // index into the games
    bool active;
    const char* titles[3];
};

const char* const kGames[] = {"Rally Arena", "Fortress Siege", "Star Conquest"};
const DemoDivision kDivisions[] = {
    {"Alpha Squad", 0, true, {"Captain", "Lieutenant", "Recruit"}},
    {"Bravo Team", 0, true, {"Leader", "Scout", nullptr}},
    {"Siege Masters", 1, true, {"Warlord", "Engineer", "Medic"}},
    {"Star Fleet", 2, true, {"Admiral", "Pilot", nullptr}},
    {"Old Guard", 1, false, {"Veteran", nullptr, nullptr}},
};

QList<qint32> keys(const QString& sql) {
    QList<qint32> list;
    RowSet rows = Db().execute(sql);
    for (; !rows.eof(); rows.moveNext())
        list << rows.valueAt(0).toInt();
    return list;
}

template <typename T, std::size_t N> const T& pick(QRandomGenerator& random, const T (&items)[N]) {
    return items[random.bounded(int(N))];
}

qint32 pick(QRandomGenerator& random, const QList<qint32>& items) {
    return items.isEmpty() ? 0 : items.at(random.bounded(int(items.size())));
}

// A day of one to three stretches on the half-hour grid, apart from each other.
QStringList randomDay(QRandomGenerator& random) {
    QStringList day;
    const int stretches = 1 + random.bounded(3);
    int cell = random.bounded(16); // 00:00 .. 07:30
    for (int i = 0; i < stretches && cell < 46; ++i) {
        const int start = cell + random.bounded(std::max(1, std::min(12, 46 - cell)));
        const int end = std::min(47, start + 2 + random.bounded(8));
        if (start >= end)
            break;
        day << FormatStretch(start * 30, end * 30);
        cell = end + 2;
    }
    return day;
}

} // namespace

void WriteDemoRoster(int players, quint32 seed) {
    QRandomGenerator random(seed);
    DbConnection::Transaction transaction(Db());

    // Games, divisions and their titles.
    const qint32 genre = Db().scalar(QStringLiteral("Select MIN(Genre_ID) From Genres")).toInt();
    const qint32 type = Db().scalar(QStringLiteral("Select MIN(Type_ID) From GameTypes")).toInt();
    QList<qint32> games;
    for (const char* game : kGames) {
        Db().execute(
            QStringLiteral("Insert Into Games (Game_Name, Game_Type, Game_Genre, Game_Notes) Values(") +
            SqlText(QString::fromLatin1(game)) + QStringLiteral(", %1, %2, ' ')").arg(type).arg(genre));
        games << Db().scalar(QStringLiteral("Select MAX(Game_ID) From Games")).toInt();
    }
    struct Division {
        qint32 id;
        bool active;
        QList<qint32> titles;
    };
    QList<Division> divisions;
    for (const DemoDivision& d : kDivisions) {
        Db().execute(QStringLiteral("Insert Into Divisions (Division_Name, Division_Game, Division_Active, "
                                    "Division_Notes, Division_Update) Values(") +
                     SqlText(QString::fromLatin1(d.name)) +
                     QStringLiteral(", %1, %2, ' ', ").arg(games.at(d.game)).arg(SqlBool(d.active)) +
                     SqlDateTime(QDateTime(QDate(2024, 1, 1), QTime(12, 0))) + QStringLiteral(")"));
        Division division{
            Db().scalar(QStringLiteral("Select MAX(Division_ID) From Divisions")).toInt(), d.active, {}};
        for (const char* title : d.titles) {
            if (!title)
                continue;
            Db().execute(QStringLiteral("Insert Into Titles (Title_Division, Title_Description) Values(%1, ")
                             .arg(division.id) +
                         SqlText(QString::fromLatin1(title)) + QStringLiteral(")"));
            division.titles << Db().scalar(QStringLiteral("Select MAX(Title_ID) From Titles")).toInt();
        }
        divisions << division;
    }

    const QList<qint32> zones = keys(QStringLiteral("Select TZ_ID From TimeZones Order By TZ_ID"));
    const QList<qint32> connections =
        keys(QStringLiteral("Select Connection_ID From ConnectionTypes Order By Connection_ID"));

    QSet<QString> names;
    for (int n = 0; n < players; ++n) {
        PlayerSave save;
        PlayerRecord& p = save.player;
        QString name;
        do {
            name = QString::fromLatin1(pick(random, kNamePrefixes)) +
                   QString::fromLatin1(pick(random, kNameSuffixes));
            if (random.bounded(3) != 0 || names.contains(name))
                name += QString::number(random.bounded(1, 1000));
        } while (names.contains(name));
        names.insert(name);
        p.onlineName = name;
        p.realName = QString::fromLatin1(pick(random, kFirstNames)) + QLatin1Char(' ') +
                     QString::fromLatin1(pick(random, kLastNames));
        p.emailPrimary = name.toLower() + QStringLiteral("@example.com");
        if (random.bounded(4) == 0)
            p.emailSecondary = name.toLower() + QStringLiteral("@example.net");
        if (random.bounded(3) == 0)
            p.icq = QString::number(random.bounded(100000, 999999999));
        if (random.bounded(4) == 0)
            p.msn = name.toLower() + QStringLiteral("@example.org");
        p.timeZone = pick(random, zones);
        p.connection = pick(random, connections);
        p.active = random.bounded(10) != 0;
        if (random.bounded(5) == 0)
            p.notes = QStringLiteral("Sample player %1").arg(n + 1);

        const int memberships = random.bounded(3); // none, one or two divisions
        QSet<qint32> held;
        for (int m = 0; m < memberships; ++m) {
            const Division& d = divisions.at(random.bounded(int(divisions.size())));
            if (held.contains(d.id))
                continue;
            held.insert(d.id);
            const qint32 title = random.bounded(2) == 0 ? 0 : pick(random, d.titles);
            save.memberships << MembershipEntry{d.id, title};
        }

        WeekLists week;
        for (QStringList& day : week)
            if (random.bounded(4) != 0)
                day = randomDay(random);
        save.schedule = week;
        AddPlayer(save);
    }
    transaction.commit();
}

} // namespace rm
