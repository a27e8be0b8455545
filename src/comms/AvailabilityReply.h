#pragma once

// The reply a player sends back from the availability page: a short text that carries the player's
// week and survives what mail and chat programs do to text.
//
// Form: "RMWEEK-" followed by 101 symbols of Crockford's base32 (digits and upper-case letters
// without I, L, O and U), the 63 bytes
//   version (1) | player key (4) | database token (4) | page stamp (4) | reply moment (4) |
//   week (42: 336 half-hours, Sunday 00:00 first, most significant bit first) | CRC-32 (4)
// with every number big-endian and the CRC-32 (the one of zip and PNG) taken over the 59 bytes
// before it. The page's script writes exactly this form.
//
// Reading: line breaks, blanks, quote marks (">"), and invisible format characters are dropped from
// the pasted text before the replies are looked for, so a reply wrapped at any column, quoted any
// number of times, or sitting inside a longer message is read like a clean one. Symbols are read
// without regard to case; O is read as 0 and I and L as 1.

#include "roster/ScheduleStorage.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <bitset>
#include <optional>

namespace rm {

inline constexpr int kDayCells = 48;
inline constexpr int kWeekCells = 7 * kDayCells;
// Half-hours of the week in the player's own time: index = day * 48 + half-hour, day 0 = Sunday.
using WeekCells = std::bitset<kWeekCells>;

// Local day lists ↔ half-hours. A stretch covers every half-hour it touches.
WeekCells CellsFromLists(const WeekLists& lists);
WeekLists ListsFromCells(const WeekCells& cells);

inline const QString kReplyPrefix = QStringLiteral("RMWEEK-");
inline constexpr int kReplyVersion = 1;
inline constexpr int kReplySymbols = 101;

struct AvailabilityReply {
    quint32 player = 0;
    quint32 databaseToken = 0;
    quint32 pageStamp = 0;   // seconds since 1970 UTC on the leader's clock when the page was made
    quint32 replyMoment = 0; // seconds since 1970 UTC on the player's device when the reply was copied
    WeekCells week;
    bool operator==(const AvailabilityReply&) const = default;
};

quint32 Crc32(const QByteArray& bytes);
QString EncodeReply(const AvailabilityReply& reply, int version = kReplyVersion);

// One reply found in a pasted text: the reply, or why it could not be read.
struct FoundReply {
    std::optional<AvailabilityReply> reply;
    QString problem;
};
QList<FoundReply> FindReplies(const QString& text);

inline const QString kReplyDamaged =
    QStringLiteral("The reply is damaged (its checksum does not match): ask the player to copy it again.");
inline const QString kReplyCutShort =
    QStringLiteral("The reply is cut short or damaged: ask the player to copy it again.");
inline const QString kReplyNewerVersion =
    QStringLiteral("The reply was made by a newer version of Rallymark.");
inline const QString kReplyOtherDatabase =
    QStringLiteral("The reply belongs to another Rallymark database, not to this roster.");
inline const QString kReplyUnknownPlayer = QStringLiteral("No player of this roster has the key %1.");
inline const QString kReplyOlder =
    QStringLiteral("The reply is older than the one already applied for this player.");
inline const QString kReplyAlreadyApplied = QStringLiteral("This reply has already been applied.");
inline const QString kReplyNewerInText =
    QStringLiteral("A newer reply from this player in the same text is used instead.");
inline const QString kReplyRepeated = QStringLiteral("The same reply appears earlier in the text.");

// The token of this database (Options_ReplyToken); a file that has none gets one now. Store errors
// raise DbError.
quint32 DatabaseReplyToken();

// What the preview shows for each reply found, in the order of the text.
struct ReplyReview {
    FoundReply found;
    qint32 player = 0;  // 0 when the reply could not be read
    QString onlineName; // trimmed; empty for an unknown player
    WeekCells oldWeek;
    WeekCells newWeek;
    QString problem; // empty when the reply will be applied
    bool accepted() const { return problem.isEmpty(); }
};
// Reads the replies of a pasted text against the open database. Store errors raise DbError.
QList<ReplyReview> ReviewReplies(const QString& text);
// Writes every accepted reply (the week through SavePlayerWeeks, the reply's page and moment as the
// one applied) in one transaction: all of them or, when anything fails, nothing (DbError). Returns
// the number written.
int ApplyReplies(const QList<ReplyReview>& reviews);

} // namespace rm
