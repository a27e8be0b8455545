#pragma once

#include <QString>

namespace rm {

// The two small catalogues that classify games. The genre and type dialog is told which one it works
// on by its dialog text: "Genre" or "Game Type" (compared upper-cased).
enum class CatalogueKind { Genre, GameType };
CatalogueKind CatalogueKindOf(const QString& dialogText);

// Entry limits of the dialog's one field: 75 characters for a genre name, 50 for a type description.
int CatalogueEntryLimit(CatalogueKind kind);

// RefreshGenres and RefreshTypes; the game dialog fills its two drop-down lists with the same text.
QString GenreListSql();
QString TypeListSql();
QString CatalogueListSql(CatalogueKind kind);

// RetrieveEntry: the one column of one genre or type.
QString CatalogueEntrySql(CatalogueKind kind, qint32 key);

QString CatalogueInsertSql(CatalogueKind kind, const QString& entry);
QString CatalogueUpdateSql(CatalogueKind kind, qint32 key, const QString& entry);
// The games that still use a genre or type.
QString CatalogueInUseSql(CatalogueKind kind, qint32 key);
QString CatalogueDeleteSql(CatalogueKind kind, qint32 key);

// OK of the genre and type dialog: validates, writes, or refuses a delete while a game uses the
// entry. Shows its own messages and returns true when the dialog may close. A store refusal is
// raised as DbError.
bool SaveCatalogueEntry(const QString& editMode, CatalogueKind kind, qint32 key, const QString& entry);

} // namespace rm
