#pragma once

#include "data/CustomFields.h"
#include "data/DbConnection.h"
#include "roster/ScheduleStorage.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace rm {

// The fields of a Players row as the player dialog edits them.
struct PlayerRecord {
    qint32 timeZone = 0;
    QString onlineName;
    bool active = false;
    QString realName;
    QString emailPrimary;
    QString emailSecondary;
    QString icq; // as typed: digits, empty for none
    QString aim;
    QString yahoo;
    QString msn;
    QString discord; // a Discord user id (digits) for mentions, or a Discord name shown as text
    qint32 connection = 0;
    QString notes;
    std::array<QString, kCustomFieldCount> customText;
    std::array<qint32, kCustomFieldCount> customDrop{}; // Custom_ID of the chosen entry, 0 for none
};

// One row of the players list window.
struct PlayerListRow {
    qint32 id = 0;
    QString onlineName;
    QString realName;
    bool active = false;
    QString zoneName;
    QString email;
    bool hasNotes = false;
};

// A membership as the save writes it: Member_Division_ID and Member_Title (0 for no title).
struct MembershipEntry {
    qint32 divisionId = 0;
    qint32 titleId = 0;
};

// Everything the player dialog writes when OK is pressed.
struct PlayerSave {
    PlayerRecord player;
    QList<MembershipEntry> memberships;
    // The local day lists to store. Without a value the player's Schedules rows stay as they are
    // (a new player gets none).
    std::optional<WeekLists> schedule;
};

inline const QString kOnlineNameRequired = QStringLiteral("Online name is required\n");
inline const QString kIcqOutOfRange =
    QStringLiteral("The ICQ number must be a whole number from 0 to 2147483647\n");
inline const QString kDataValidationTitle = QStringLiteral("Data Validation");

// The message of the "Data Validation" box, or nothing when the record can be saved.
std::optional<QString> PlayerValidationMessage(const PlayerRecord& player);

// The ICQ text as stored: 0 when empty, otherwise its value (leading zeros dropped). nullopt when
// the text is not a number that fits a 32-bit signed whole number.
std::optional<qint32> IcqNumber(const QString& typed);
// A stored ICQ number as shown: empty for 0.
QString IcqText(qint64 stored);

// Statements.
QString PlayerListQuery();
QString PlayerSelectStatement(qint32 key);
QString PlayerInsertStatement(const PlayerRecord& player, const QDateTime& now);
QString PlayerUpdateStatement(const PlayerRecord& player, qint32 key, const QDateTime& now);
QString MemberInsertStatement(qint32 player, const MembershipEntry& membership);
QString ScheduleSelectStatement(qint32 player);
QString ScheduleInsertStatement(qint32 player, const ScheduleRow& row);
QString PlayerDeleteStatement(qint32 key);
QString MembersDeleteStatement(qint32 player);
QString SchedulesDeleteStatement(qint32 player);

// Readers. Store errors raise DbError.
QList<PlayerListRow> ReadPlayerList();
std::optional<PlayerRecord> LoadPlayer(qint32 key);
// The player of the current row of a statement that reads the Players columns.
PlayerRecord PlayerFromRow(const RowSet& rows);
// The whole stored row as one text (empty when there is none): the player dialog compares it with
// the row it loaded, so that a change made elsewhere meanwhile (another program on the file) is not
// overwritten without asking.
QString StoredPlayerRow(qint32 key);
QString ChangedElsewhereMessage(const QString& onlineName);
inline const QString kChangedElsewhereTitle = QStringLiteral("Player Changed Elsewhere");
// The player's stored rows, and the player's wall-clock week for a zone: rows are kept in the zone's
// standard-time frame (stored = local + TZ_GMT_Offset), so the week reads the same on any date.
QList<ScheduleRow> ReadScheduleRows(qint32 player);
WeekLists LoadPlayerSchedule(qint32 player, qint32 zone);
// The weeks of several players (player key to zone) in one statement; players without rows are left
// out, and a zone missing from the catalogue is reported once.
QHash<qint32, WeekLists> LoadPlayerSchedules(const QHash<qint32, qint32>& zones);

// The add sequence's first statement, the player's own insert, was refused. It is told in the
// application's message box rather than the standard error report.
class PlayerInsertError : public DbError {
public:
    using DbError::DbError;
};

// The save sequences, each one transaction: when a statement fails nothing of it is kept and a
// DbError carries the text to report (what failed, a line break and the store's description).
// Validation is the caller's. AddPlayer returns the new player's key.
qint32 AddPlayer(const PlayerSave& save);
void UpdatePlayer(qint32 key, const PlayerSave& save);
void DeletePlayer(qint32 key);

// A player's new week in local day lists, as the player entered it.
struct PlayerWeek {
    qint32 player = 0;
    WeekLists week;
};
// Replaces the weeks of several players in one transaction, each stored from the player's own zone
// exactly as UpdatePlayer stores a schedule, and stamps Player_Update. A player that no longer
// exists or a refused statement raises DbError and keeps nothing.
void SavePlayerWeeks(const QList<PlayerWeek>& weeks);

} // namespace rm
