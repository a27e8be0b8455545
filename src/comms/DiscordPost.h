#pragma once

// The text of posts to a Discord channel: what a match, the best times or a template says, with
// timestamps that every reader sees in their own zone and mentions of the players who gave their
// Discord user id. Nothing here talks to the network (DiscordWebhook does).

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace rm {

// Discord takes at most this many characters in one message.
inline constexpr int kDiscordMessageLimit = 2000;

// A player as a post names them.
struct DiscordMember {
    QString onlineName;
    QString discord; // Player_Discord: a user id (digits) or a Discord name; may be empty
};

// True for a Discord user id: 15 to 21 digits.
bool IsDiscordUserId(const QString& entry);

// Text from names and templates made harmless: "@everyone", "@here" and role mentions ("<@&id>")
// keep their look but no longer mention anybody (a zero-width space follows the "@").
QString NeutralisedText(const QString& text);

// "<@id>" for a member with a user id; otherwise the online name as text, with a Discord name in
// parentheses when one is given.
QString MemberMention(const DiscordMember& member);

// "<t:1767290400:F>": an instant that Discord shows in each reader's zone and language; style F is
// the full date and time, R the relative time ("in 2 hours").
QString DiscordTimestamp(const QDateTime& utc, char style);

// A post before it is split: its text and the user ids it may mention.
struct DiscordPost {
    QString content;
    QStringList userIds; // each once, in the order of the text
};

// The match of the availability result.
struct MatchPostInput {
    QString what;          // the divisions with their games; empty when players were searched
    QDateTime utc;         // the start
    int lengthMinutes = 0; // the match length of the Options
    QList<DiscordMember> members;
};
DiscordPost MatchPost(const MatchPostInput& match);

// One row of the best times.
struct BestTimePostRow {
    QDateTime utc;
    int count = 0;
};
DiscordPost BestTimesPost(const QString& what, const QList<BestTimePostRow>& rows);

// A template: its name as the subject in bold, then its text; mentions of the members given.
DiscordPost TemplatePost(const QString& subject, const QString& text,
                         const QList<DiscordMember>& members = {});

// One message as it goes to the channel.
struct DiscordMessage {
    QString content;
    QStringList userIds; // the ids mentioned in this message
};

// The post in messages of at most `limit` characters, in order. A message ends at a line break where
// one is close enough, else at a blank; never inside a mention, a timestamp or a word. Only a single
// word longer than a whole message is cut. The line breaks and blanks at the cuts are dropped.
QList<DiscordMessage> SplitDiscordPost(const DiscordPost& post, int limit = kDiscordMessageLimit);

// The JSON a webhook receives: the content and allowed_mentions with "parse": [] and the user ids,
// so that nothing but the listed users is ever pinged.
QByteArray WebhookPayload(const DiscordMessage& message);

// The players with these keys, in the order given (unknown keys skipped). Raises DbError.
QList<DiscordMember> ReadDiscordMembers(const QList<qint32>& playerKeys);

} // namespace rm
