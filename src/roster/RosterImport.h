#pragma once

// Bringing players in from a CSV file, in the columns the export (RosterExport) writes.
//
// A file is read (RosterCsv), its columns are assigned to player fields, and a preview tells for
// every row what will happen and what is wrong with it. Only then, and only when the user confirms,
// the accepted rows are written in one transaction. Divisions, titles, connection types and
// pick-list entries named in the file that do not exist yet are created in the same transaction,
// and only when the user has agreed to it.

#include "roster/PlayerStore.h"
#include "roster/RosterCsv.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace rm {

enum class ImportField : int {
    None = 0,
    OnlineName,
    RealName,
    EmailPrimary,
    EmailSecondary,
    Icq,
    Aim,
    Yahoo,
    Msn,
    Discord,
    Connection,
    TimeZone,
    Notes,
    Active,
    CustomText1,
    CustomText2,
    CustomText3,
    CustomText4,
    CustomDrop1,
    CustomDrop2,
    CustomDrop3,
    CustomDrop4,
    Divisions,
    Sunday,
    Monday,
    Tuesday,
    Wednesday,
    Thursday,
    Friday,
    Saturday,
};
inline constexpr int kImportFieldCount = static_cast<int>(ImportField::Saturday) + 1;

// The column heading of a field as the export writes it; the custom fields use their captions from
// the Options record when they have one. None reads "(ignore)".
QString ImportFieldName(ImportField field);
// The headings of every field but None, in field order: the columns of an export.
QStringList RosterCsvHeader();
// One field per column: the field whose heading (or a usual other name for it) the column's heading
// is, compared without case, blanks and punctuation; each field once, unknown columns None.
QList<ImportField> AutoMapping(const QStringList& header);

// Divisions in a cell: names separated by "|", a title after ": " ("Alpha: Captain|Bravo").
// Stretches of a weekday: "HH:MM-HH:MM" separated by blanks, on the hour or half hour, start before
// end, ends up to 24:00. Returns the day list elements ("HH:MM|HH:MM", "24:00" kept as it is),
// nullopt when a stretch cannot be read; a stretch whose end is before its start (one that runs
// past midnight, "22:00-02:00") is also given in pastMidnight.
std::optional<QStringList> ParseDayStretches(const QString& cell, QString* pastMidnight = nullptr);
QString FormatDayStretches(const QStringList& dayList);

enum class ImportAction { New, Update, Skip };

// A membership named in the file.
struct ImportMembership {
    QString division;
    QString title; // empty for none
};

struct ImportRow {
    int line = 0;
    QString onlineName;
    ImportAction action = ImportAction::Skip;
    QStringList problems; // each in plain words, with the line
    qint32 existingKey = 0;
    // What the file says; fields whose column is not assigned keep an updated player's values.
    PlayerRecord player;
    bool zoneGiven = false; // an updated player keeps its zone when the file gives none
    QString connection;
    std::array<QString, kCustomFieldCount> customDrop;
    std::optional<QList<ImportMembership>> memberships;
    std::array<std::optional<QStringList>, 7> days;
};

struct ImportPreview {
    QList<ImportField> mapping;
    QList<ImportRow> rows;
    QString problem; // a problem of the whole file (no online-name column); nothing can be imported
    // Named in accepted rows and missing from the database; created only with the user's agreement.
    QStringList newConnections;
    QStringList newDivisions;
    QList<QPair<QString, QString>> newTitles;              // division, title
    std::array<QStringList, kCustomFieldCount> newEntries; // per pick-list field
    // The game the new divisions play: an existing game's name, or the name of a game to create
    // (then also in newGame). Empty when no division is to be created.
    QString divisionGame;
    QString newGame;
    bool createsSomething() const;
    int count(ImportAction action) const;
};

// Reads the database only. Without createMissing a name that does not exist is a problem of its row.
// New divisions play `divisionGame`: a game's name (compared as names are), or a new game to create by
// that name; empty for the first game by name, and a problem of the row when there is none.
ImportPreview BuildImportPreview(const CsvTable& table, const QList<ImportField>& mapping, bool createMissing,
                                 const QString& divisionGame = QString());

// The preview as the user reads it: one line per problem ("Line 4: ...").
QStringList PreviewProblemLines(const ImportPreview& preview);

struct ImportResult {
    int added = 0;
    int updated = 0;
    int skipped = 0;
};
// "1 player added, 2 updated, 0 rows left out." as the import tells it when done.
QString ImportSummaryText(const ImportResult& result);
// Writes the accepted rows of the preview in one transaction; on any failure nothing is kept and
// DbError is raised with the store's description. progress(done, total) is called after each row.
ImportResult RunImport(const ImportPreview& preview, const std::function<void(int, int)>& progress = {});

// The file a roster is read from; a problem when it cannot be opened.
CsvReadResult ReadRosterFile(const QString& path, std::optional<char> delimiter = std::nullopt);

} // namespace rm
