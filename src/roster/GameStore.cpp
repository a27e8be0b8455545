#include "roster/GameStore.h"

#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/NameRules.h"
#include "data/SqlText.h"

namespace rm {

namespace {

QString number(qint32 key) {
    return QString::number(key);
}

void missingInformation(const QString& text) {
    ShowMessage(text, AlignCenterText, vbOKOnly, vbInformation, QStringLiteral("Missing Information"));
}

// A game needs a type and a genre to refer to; with an empty list there is nothing to write.
bool hasTypeAndGenre(const GameEntry& entry) {
    const bool noType = entry.typeKey == 0;
    const bool noGenre = entry.genreKey == 0;
    if (noType && noGenre)
        missingInformation(QStringLiteral("There are no Game Types and no Genres to choose from.\n"
                                          "Please add a Game Type and a Genre under Genres & Types first."));
    else if (noType)
        missingInformation(QStringLiteral("There are no Game Types to choose from.\n"
                                          "Please add a Game Type under Genres & Types first."));
    else if (noGenre)
        missingInformation(QStringLiteral("There are no Genres to choose from.\n"
                                          "Please add a Genre under Genres & Types first."));
    return !noType && !noGenre;
}

} // namespace

QString GameListSql() {
    return QStringLiteral("Select Game_Name, Game_ID, Genre_Name, Type_Description, Game_Notes "
                          "From Games, GameTypes, Genres "
                          "Where Game_Type = Type_ID "
                          "And Game_Genre = Genre_ID "
                          "Order By Game_Name");
}

QString GameSelectSql(qint32 gameId) {
    return QStringLiteral("Select * From Games Where Game_ID = ") + number(gameId);
}

QString GameInsertSql(const GameEntry& entry) {
    return QStringLiteral("Insert Into Games (Game_Name, Game_Type, Game_Genre, Game_Notes) VALUES(") +
           SqlText(entry.name) + QStringLiteral(", ") + number(entry.typeKey) + QStringLiteral(", ") +
           number(entry.genreKey) + QStringLiteral(", ") + SqlNotes(entry.notes) + QStringLiteral(") ");
}

QString GameUpdateSql(qint32 gameId, const GameEntry& entry) {
    return QStringLiteral("Update Games ") + QStringLiteral("Set Game_Name = ") + SqlText(entry.name) +
           QStringLiteral(",") + QStringLiteral("Game_Type = ") + number(entry.typeKey) +
           QStringLiteral(", ") + QStringLiteral("Game_Genre = ") + number(entry.genreKey) +
           QStringLiteral(", ") + QStringLiteral("Game_Notes = ") + SqlNotes(entry.notes) +
           QStringLiteral(" ") + QStringLiteral("Where Game_ID = ") + number(gameId);
}

QString GameInUseSql(qint32 gameId) {
    return QStringLiteral("Select Division_ID From Divisions Where Division_Game = ") + number(gameId);
}

QString GameDeleteSql(qint32 gameId) {
    return QStringLiteral("Delete From Games Where Game_ID = ") + number(gameId);
}

bool SaveGame(const QString& editMode, qint32 gameId, const GameEntry& entry) {
    if (entry.name.trimmed().isEmpty()) {
        missingInformation(QStringLiteral("Please provide a Game Name before continuing."));
        return false;
    }
    const QString mode = editMode.toUpper();
    if ((mode == QLatin1String("EDIT") || mode == QLatin1String("ADD")) &&
        RefuseDuplicateName(QStringLiteral("Game"), QStringLiteral("Select Game_ID, Game_Name From Games"),
                            entry.name, mode == QLatin1String("EDIT") ? gameId : 0))
        return false;
    if (mode == QLatin1String("EDIT")) {
        if (!hasTypeAndGenre(entry))
            return false;
        Db().execute(GameUpdateSql(gameId, entry));
        return true;
    }
    if (mode == QLatin1String("ADD")) {
        if (!hasTypeAndGenre(entry))
            return false;
        Db().execute(GameInsertSql(entry));
        return true;
    }
    if (mode == QLatin1String("DELETE")) {
        RowSet users = Db().execute(GameInUseSql(gameId));
        const bool inUse = !users.eof();
        users.close();
        if (!inUse) {
            Db().execute(GameDeleteSql(gameId));
            return true;
        }
        ShowMessage(QStringLiteral("That Game is currently in use with some Divisions.\n"
                                   "You must first either delete the Divisions that use it, or change that "
                                   "Division's Game to delete!"),
                    AlignCenterText, vbOKOnly, vbExclamation, QStringLiteral("Game Currently in Use"));
        return false;
    }
    return false;
}

} // namespace rm
