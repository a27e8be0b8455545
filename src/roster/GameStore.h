#pragma once

#include <QString>

namespace rm {

// What the game dialog writes. A key of 0 means the drop-down list had nothing to choose.
struct GameEntry {
    QString name;
    qint32 typeKey = 0;
    qint32 genreKey = 0;
    QString notes;
};

// The games list: only games whose type and genre rows exist.
QString GameListSql();
QString GameSelectSql(qint32 gameId);
QString GameInsertSql(const GameEntry& entry);
QString GameUpdateSql(qint32 gameId, const GameEntry& entry);
// The divisions that still play a game.
QString GameInUseSql(qint32 gameId);
QString GameDeleteSql(qint32 gameId);

// OK of the game dialog: validates, writes, or refuses a delete while a division uses the game.
// Shows its own messages and returns true when the dialog may close. A store refusal is raised as
// DbError.
bool SaveGame(const QString& editMode, qint32 gameId, const GameEntry& entry);

} // namespace rm
