#include "roster/GenreStore.h"

#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/NameRules.h"
#include "data/SqlText.h"

namespace rm {

namespace {

QString number(qint32 key) {
    return QString::number(key);
}

bool isGenre(CatalogueKind kind) {
    return kind == CatalogueKind::Genre;
}

} // namespace

CatalogueKind CatalogueKindOf(const QString& dialogText) {
    return dialogText.toUpper() == QLatin1String("GENRE") ? CatalogueKind::Genre : CatalogueKind::GameType;
}

int CatalogueEntryLimit(CatalogueKind kind) {
    return isGenre(kind) ? 75 : 50;
}

QString GenreListSql() {
    return QStringLiteral("Select Genre_ID, Genre_Name "
                          "From Genres "
                          "Order By Genre_Name");
}

QString TypeListSql() {
    return QStringLiteral("Select Type_ID, Type_Description "
                          "From GameTypes "
                          "Order By Type_Description");
}

QString CatalogueListSql(CatalogueKind kind) {
    return isGenre(kind) ? GenreListSql() : TypeListSql();
}

QString CatalogueEntrySql(CatalogueKind kind, qint32 key) {
    return (isGenre(kind) ? QStringLiteral("Select Genre_Name From Genres Where Genre_ID = ")
                          : QStringLiteral("Select Type_Description From GameTypes Where Type_ID = ")) +
           number(key);
}

QString CatalogueInsertSql(CatalogueKind kind, const QString& entry) {
    return (isGenre(kind) ? QStringLiteral("Insert Into Genres (Genre_Name) VALUES(")
                          : QStringLiteral("Insert Into GameTypes (Type_Description) VALUES(")) +
           SqlText(entry) + QStringLiteral(")");
}

QString CatalogueUpdateSql(CatalogueKind kind, qint32 key, const QString& entry) {
    if (isGenre(kind))
        return QStringLiteral("Update Genres Set Genre_Name = ") + SqlText(entry) +
               QStringLiteral(" Where Genre_ID = ") + number(key);
    return QStringLiteral("Update GameTypes Set Type_Description = ") + SqlText(entry) +
           QStringLiteral(" Where Type_ID = ") + number(key);
}

QString CatalogueInUseSql(CatalogueKind kind, qint32 key) {
    return (isGenre(kind) ? QStringLiteral("Select Game_ID From Games Where Game_Genre = ")
                          : QStringLiteral("Select Game_ID From Games Where Game_Type = ")) +
           number(key);
}

QString CatalogueDeleteSql(CatalogueKind kind, qint32 key) {
    return (isGenre(kind) ? QStringLiteral("Delete From Genres Where Genre_ID = ")
                          : QStringLiteral("Delete From GameTypes  Where Type_ID = ")) +
           number(key);
}

bool SaveCatalogueEntry(const QString& editMode, CatalogueKind kind, qint32 key, const QString& entry) {
    if (entry.trimmed().isEmpty()) {
        ShowMessage(QStringLiteral("Please provide a Genre Name before continuing."), AlignCenterText,
                    vbOKOnly, vbInformation, QStringLiteral("Missing Information"));
        return false;
    }
    const QString mode = editMode.toUpper();
    if ((mode == QLatin1String("EDIT") || mode == QLatin1String("ADD")) &&
        RefuseDuplicateName(isGenre(kind) ? QStringLiteral("Genre") : QStringLiteral("Game Type"),
                            CatalogueListSql(kind), entry, mode == QLatin1String("EDIT") ? key : 0))
        return false;
    if (mode == QLatin1String("EDIT")) {
        Db().execute(CatalogueUpdateSql(kind, key, entry));
        return true;
    }
    if (mode == QLatin1String("ADD")) {
        Db().execute(CatalogueInsertSql(kind, entry));
        return true;
    }
    if (mode == QLatin1String("DELETE")) {
        RowSet users = Db().execute(CatalogueInUseSql(kind, key));
        const bool inUse = !users.eof();
        users.close();
        if (!inUse) {
            Db().execute(CatalogueDeleteSql(kind, key));
            return true;
        }
        if (isGenre(kind))
            ShowMessage(QStringLiteral("That Genre is currently in use with some games.\n"
                                       "You must first either delete the games that use it, or change that "
                                       "game's genre to delete!"),
                        AlignCenterText, vbOKOnly, vbExclamation, QStringLiteral("Genre Currently in Use"));
        else
            ShowMessage(QStringLiteral("That Game Type is currently in use with some games.\n"
                                       "You must first either delete the games that use it, or change that "
                                       "game's type to delete!"),
                        AlignCenterText, vbOKOnly, vbExclamation,
                        QStringLiteral("Game Type Currently in Use"));
        return false;
    }
    return false;
}

} // namespace rm
