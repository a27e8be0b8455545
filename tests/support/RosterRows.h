#pragma once

// Rows for the roster, scheduling and comms tests written with plain SQL, and a text dump of the tables a
// player save touches for before/after comparisons. Header-only.

#include "data/DbConnection.h"
#include "data/SqlText.h"
#include "roster/PlayerStore.h"

#include <QStringList>

namespace rm::test {

// Runs an insert and returns the newest key of the table.
inline qint32 InsertRow(const QString& insert, const QString& table, const QString& keyColumn) {
    Db().execute(insert);
    return Db().scalar(QStringLiteral("Select MAX(%1) From %2").arg(keyColumn, table)).toInt();
}

inline qint32 InsertGame(const QString& name, int type = 1, int genre = 1) {
    return InsertRow(QStringLiteral("Insert Into Games (Game_Name, Game_Type, Game_Genre, Game_Notes) "
                                    "Values(%1, %2, %3, ' ')")
                         .arg(SqlText(name), QString::number(type), QString::number(genre)),
                     "Games", "Game_ID");
}

inline qint32 InsertDivision(const QString& name, qint32 game = 0, bool active = true) {
    return InsertRow(QStringLiteral("Insert Into Divisions (Division_Name, Division_Game, Division_Active, "
                                    "Division_Notes) Values(%1, %2, %3, ' ')")
                         .arg(SqlText(name), QString::number(game), SqlBool(active)),
                     "Divisions", "Division_ID");
}

inline qint32 InsertTitle(qint32 division, const QString& description) {
    return InsertRow(QStringLiteral("Insert Into Titles (Title_Division, Title_Description) Values(%1, %2)")
                         .arg(QString::number(division), SqlText(description)),
                     "Titles", "Title_ID");
}

inline qint32 InsertPlayerRow(const QString& name, bool active = true, qint32 zone = 1) {
    return InsertRow(
        QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                       "Player_RealName, Player_EmailPrimary, Player_EmailSecondary, Player_ICQ, "
                       "Player_Connection, Player_Notes) Values(%1, %2, %3, '', '', '', 0, 0, '')")
            .arg(QString::number(zone), SqlText(name), SqlBool(active)),
        "Players", "Player_ID");
}

// An active player stored through the player store, with an address, memberships and a week when given.
inline qint32 AddActivePlayer(const QString& name, qint32 zone, const QString& email = {},
                              const QList<MembershipEntry>& members = {},
                              std::optional<WeekLists> week = std::nullopt) {
    PlayerRecord p;
    p.onlineName = name;
    p.timeZone = zone;
    p.active = true;
    p.emailPrimary = email;
    return AddPlayer({p, members, week});
}

inline void InsertMember(qint32 player, qint32 division, qint32 title = 0) {
    Db().execute(QStringLiteral("Insert Into Members (Member_Player_ID, Member_Division_ID, Member_Title) "
                                "Values(%1, %2, %3)")
                     .arg(QString::number(player), QString::number(division), QString::number(title)));
}

// Every row the statements give, one line each, values separated by "|".
inline QString DumpRows(std::initializer_list<QString> statements) {
    QStringList lines;
    for (const QString& sql : statements)
        for (RowSet rows = Db().execute(sql); !rows.eof(); rows.moveNext()) {
            QStringList values;
            for (int i = 0; rows.valueAt(i).isValid(); ++i)
                values << rows.valueAt(i).toString();
            lines << values.join(QLatin1Char('|'));
        }
    return lines.join(QLatin1Char('\n'));
}

// The stored schedule rows in order, "day|start|end" a line.
inline QString ScheduleRowsText() {
    return DumpRows({QStringLiteral(
        "Select Schedule_Day, Schedule_StartTime, Schedule_EndTime From Schedules Order By 1, 2")});
}

// Every row of Players, Members and Schedules, one line each.
inline QString DumpRoster() {
    return DumpRows({QStringLiteral("Select * From Players Order By Player_ID"),
                     QStringLiteral("Select * From Members Order By Member_Player_ID, Member_Division_ID"),
                     QStringLiteral("Select * From Schedules Order By Schedule_Player, Schedule_Day, "
                                    "Schedule_StartTime, Schedule_EndTime")});
}

} // namespace rm::test
