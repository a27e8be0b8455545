#include "data/Schema.h"

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/StarterDatabase.h"
#include "roster/ScheduleFrameUpgrade.h"

#include <QRegularExpression>
#include <QSet>

namespace rm {

namespace {

struct TableDef {
    const char* name;
    const char* columns;
};

// Times of day are 'HH:MM' text, date-times 'YYYY-MM-DD HH:MM:SS' text, booleans 1 and 0. Names
// that lists are ordered by compare without regard to case, so "amy" comes before "Zed".
const TableDef kTables[] = {
    {"Options", "Options_ID INTEGER PRIMARY KEY, Options_Name TEXT, Options_Email TEXT, "
                "Options_TimeZone INTEGER, Options_DST TEXT, Options_MaxResults INTEGER, "
                "Options_BestTimesGranularity INTEGER, Options_DisableConfirmations INTEGER, "
                "Options_EnableICQStatus INTEGER, Options_Time_Format INTEGER, "
                "Options_Custom1_Text_Title TEXT, Options_Custom2_Text_Title TEXT, "
                "Options_Custom3_Text_Title TEXT, Options_Custom4_Text_Title TEXT, "
                "Options_Custom1_Text_Enabled INTEGER, Options_Custom2_Text_Enabled INTEGER, "
                "Options_Custom3_Text_Enabled INTEGER, Options_Custom4_Text_Enabled INTEGER, "
                "Options_Custom1_Drop_Title TEXT, Options_Custom2_Drop_Title TEXT, "
                "Options_Custom3_Drop_Title TEXT, Options_Custom4_Drop_Title TEXT, "
                "Options_Custom1_Drop_Enabled INTEGER, Options_Custom2_Drop_Enabled INTEGER, "
                "Options_Custom3_Drop_Enabled INTEGER, Options_Custom4_Drop_Enabled INTEGER, "
                "Options_EnableEmails INTEGER, Options_SMTPServer TEXT, Options_SMTPPort INTEGER, "
                "Options_ReplyToName TEXT, Options_ReplyAddress TEXT"},
    {"Players",
     "Player_ID INTEGER PRIMARY KEY AUTOINCREMENT, Player_TimeZone INTEGER, "
     "Player_OnlineName TEXT NOT NULL COLLATE NOCASE, Player_Active INTEGER, Player_RealName TEXT, "
     "Player_EmailPrimary TEXT, Player_EmailSecondary TEXT, Player_ICQ INTEGER, Player_AIM TEXT, "
     "Player_Yahoo TEXT, Player_MSN TEXT, Player_Connection INTEGER, Player_Notes TEXT, "
     "Player_Custom1 TEXT, Player_Custom2 TEXT, Player_Custom3 TEXT, Player_Custom4 TEXT, "
     "Player_CustomDrop1 INTEGER, Player_CustomDrop2 INTEGER, Player_CustomDrop3 INTEGER, "
     "Player_CustomDrop4 INTEGER, Player_Update TEXT"},
    {"Members", "Member_Player_ID INTEGER, Member_Division_ID INTEGER, Member_Title INTEGER"},
    {"Schedules", "Schedule_Player INTEGER, Schedule_Day INTEGER, Schedule_StartTime TEXT, "
                  "Schedule_EndTime TEXT"},
    {"Divisions",
     "Division_ID INTEGER PRIMARY KEY AUTOINCREMENT, Division_Name TEXT NOT NULL COLLATE NOCASE, "
     "Division_Game INTEGER, Division_Active INTEGER, Division_Notes TEXT, Division_Update TEXT"},
    {"Titles", "Title_ID INTEGER PRIMARY KEY AUTOINCREMENT, Title_Division INTEGER, "
               "Title_Description TEXT NOT NULL COLLATE NOCASE"},
    {"Games",
     "Game_ID INTEGER PRIMARY KEY AUTOINCREMENT, Game_Name TEXT NOT NULL COLLATE NOCASE, Game_Type INTEGER, "
     "Game_Genre INTEGER, Game_Notes TEXT"},
    {"Genres", "Genre_ID INTEGER PRIMARY KEY AUTOINCREMENT, Genre_Name TEXT NOT NULL COLLATE NOCASE"},
    {"GameTypes", "Type_ID INTEGER PRIMARY KEY AUTOINCREMENT, Type_Description TEXT NOT NULL COLLATE NOCASE"},
    {"ConnectionTypes",
     "Connection_ID INTEGER PRIMARY KEY AUTOINCREMENT, Connection_Name TEXT NOT NULL COLLATE NOCASE"},
    {"TimeZones", "TZ_ID INTEGER PRIMARY KEY AUTOINCREMENT, TZ_Name TEXT NOT NULL COLLATE NOCASE, "
                  "TZ_Description TEXT NOT NULL, "
                  "TZ_GMT_Offset INTEGER, TZ_Daylight_Savings TEXT"},
    {"CustomFields", "Custom_ID INTEGER PRIMARY KEY AUTOINCREMENT, Custom_FieldNumber INTEGER, "
                     "Custom_FieldText TEXT NOT NULL COLLATE NOCASE"},
    {"Templates",
     "Template_ID INTEGER PRIMARY KEY AUTOINCREMENT, Template_Name TEXT NOT NULL COLLATE NOCASE, "
     "Template_Content TEXT NOT NULL"},
    {"SchedulingWork", "WS_Time TEXT, WS_Day INTEGER, WS_PlayerCount INTEGER, WS_Players TEXT"},
};

// Columns that later versions added to a table: a file made before them gets them, with their
// defaults, when it is opened. A new file has them at the end of the table's columns.
struct AddedColumn {
    const char* table;
    const char* definition;
    // Run after the column is added to an existing file, in the same transaction; nullptr for none.
    const char* fill = nullptr;
};
const AddedColumn kAddedColumns[] = {
    {"Options", "Options_SMTPSecurity INTEGER DEFAULT 0"},
    {"Options", "Options_SMTPUserName TEXT DEFAULT ''"},
    {"Options", "Options_SMTPUseLogin INTEGER DEFAULT 0"},
    {"Options", "Options_SMTPAllowPlainLogin INTEGER DEFAULT 0"},
    {"Options", "Options_MatchLength INTEGER DEFAULT 120"},
    {"Players", "Player_Discord TEXT DEFAULT ''"},
    {"TimeZones", "TZ_IANA TEXT DEFAULT ''"},
    // The token that ties players' availability replies to this file, and per player the page and
    // moment of the last reply applied.
    {"Options", "Options_ReplyToken INTEGER DEFAULT 0",
     "Update Options Set Options_ReplyToken = (random() & 4294967294) + 1"},
    {"Players", "Player_ReplyPage INTEGER DEFAULT 0"},
    {"Players", "Player_ReplyMoment INTEGER DEFAULT 0"},
};

// The lower-case names of a table's columns; empty when there is no such table.
QSet<QString> PresentColumns(DbConnection& db, const QString& table) {
    QSet<QString> columns;
    RowSet info = db.execute(QStringLiteral("PRAGMA table_info(%1)").arg(table));
    for (; !info.eof(); info.moveNext())
        columns.insert(info.text(QStringLiteral("name")).toLower());
    return columns;
}

// A table's column definitions, the added ones last.
QString ColumnDefinitions(const TableDef& t) {
    QString columns = QString::fromLatin1(t.columns);
    for (const AddedColumn& added : kAddedColumns)
        if (qstrcmp(added.table, t.name) == 0)
            columns += QStringLiteral(", ") + QString::fromLatin1(added.definition);
    return columns;
}

// The file's layout version (PRAGMA user_version): 1 from the version on which weeks are kept in
// each zone's standard-time frame.
constexpr int kWeekFrameVersion = 1;

// Indexes for the lookups the searches and the member counts make; not part of what a file must
// hold.
const char* const kIndexes[] = {
    "CREATE INDEX IF NOT EXISTS idx_Schedules_Player ON Schedules (Schedule_Player)",
    "CREATE INDEX IF NOT EXISTS idx_Schedules_Day ON Schedules (Schedule_Day, Schedule_StartTime)",
    "CREATE INDEX IF NOT EXISTS idx_Members_Player ON Members (Member_Player_ID)",
    "CREATE INDEX IF NOT EXISTS idx_Members_Division ON Members (Member_Division_ID)",
};

} // namespace

QStringList SchemaTableNames() {
    QStringList names;
    for (const TableDef& t : kTables)
        names << QString::fromLatin1(t.name);
    return names;
}

QStringList SchemaStatements() {
    QStringList statements;
    for (const TableDef& t : kTables)
        statements
            << QStringLiteral("CREATE TABLE %1 (%2)").arg(QString::fromLatin1(t.name), ColumnDefinitions(t));
    for (const char* index : kIndexes)
        statements << QString::fromLatin1(index);
    statements << QStringLiteral("PRAGMA user_version = %1").arg(kWeekFrameVersion);
    return statements;
}

QStringList SchemaColumns(const QString& table) {
    for (const TableDef& t : kTables) {
        if (table.compare(QString::fromLatin1(t.name), Qt::CaseInsensitive) != 0)
            continue;
        QStringList columns;
        for (const QString& piece : ColumnDefinitions(t).split(QLatin1Char(',')))
            columns << piece.trimmed().section(QLatin1Char(' '), 0, 0);
        return columns;
    }
    return {};
}

std::optional<QString> CheckSchema(DbConnection& db) {
    try {
        QSet<QString> present;
        RowSet tables = db.execute(QStringLiteral("Select name From sqlite_master Where type = 'table'"));
        for (; !tables.eof(); tables.moveNext())
            present.insert(tables.text(QStringLiteral("name")).toLower());
        for (const QString& table : SchemaTableNames())
            if (!present.contains(table.toLower()))
                return QStringLiteral("The Rallymark database file has no table %1").arg(table);
        for (const QString& table : SchemaTableNames()) {
            const QSet<QString> columns = PresentColumns(db, table);
            for (const QString& column : SchemaColumns(table))
                if (!columns.contains(column.toLower()))
                    return QStringLiteral("The Rallymark database table %1 has no column %2")
                        .arg(table, column);
        }
    } catch (const DbError& e) {
        return e.description();
    }
    return std::nullopt;
}

std::optional<QString> UpgradeSchema(DbConnection& db) {
    // Only a file that has everything an earlier version wrote is touched; anything else is left
    // exactly as it is for CheckSchema to describe.
    QStringList statements;
    try {
        for (const TableDef& t : kTables) {
            const QString table = QString::fromLatin1(t.name);
            const QSet<QString> present = PresentColumns(db, table);
            for (const QString& piece : QString::fromLatin1(t.columns).split(QLatin1Char(',')))
                if (!present.contains(piece.trimmed().section(QLatin1Char(' '), 0, 0).toLower()))
                    return std::nullopt;
            for (const AddedColumn& added : kAddedColumns) {
                const QString definition = QString::fromLatin1(added.definition);
                if (qstrcmp(added.table, t.name) == 0 &&
                    !present.contains(definition.section(QLatin1Char(' '), 0, 0).toLower())) {
                    statements << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(table, definition);
                    if (added.fill)
                        statements << QString::fromLatin1(added.fill);
                }
            }
        }
    } catch (const DbError&) {
        return std::nullopt;
    }
    bool convertWeeks = false;
    try {
        convertWeeks = db.scalar(QStringLiteral("PRAGMA user_version")).toInt() < kWeekFrameVersion;
    } catch (const DbError&) {
        return std::nullopt;
    }
    if (statements.isEmpty() && !convertWeeks)
        return std::nullopt;
    try {
        DbConnection::Transaction transaction(db);
        for (const QString& statement : statements)
            db.execute(statement);
        if (convertWeeks) {
            AssignStarterRealZones(db);
            ConvertSchedulesToStandardFrame(db, Now());
            db.execute(QStringLiteral("PRAGMA user_version = %1").arg(kWeekFrameVersion));
        }
        transaction.commit();
    } catch (const DbError& e) {
        return QStringLiteral("The Rallymark database file could not be brought up to date for this "
                              "version; it was left as it was.\n\n%1")
            .arg(e.description());
    }
    return std::nullopt;
}

} // namespace rm
