#include "comms/DiscordPost.h"

#include "data/DbConnection.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace rm {

namespace {

// Discord refuses allowed_mentions with more users than this.
constexpr int kMostAllowedUsers = 100;

const QChar kZeroWidthSpace(0x200B);

QString LengthText(int minutes) {
    const int hours = minutes / 60;
    const int rest = minutes % 60;
    QStringList parts;
    if (hours > 0)
        parts << (hours == 1 ? QStringLiteral("1 hour") : QStringLiteral("%1 hours").arg(hours));
    if (rest > 0 || hours == 0)
        parts << (rest == 1 ? QStringLiteral("1 minute") : QStringLiteral("%1 minutes").arg(rest));
    return parts.join(QLatin1Char(' '));
}

QString WhenText(const QDateTime& utc) {
    return DiscordTimestamp(utc, 'F') + QStringLiteral(" (") + DiscordTimestamp(utc, 'R') + QLatin1Char(')');
}

void AddMentions(DiscordPost& post, const QList<DiscordMember>& members) {
    for (const DiscordMember& m : members) {
        const QString id = m.discord.trimmed();
        if (IsDiscordUserId(id) && !post.userIds.contains(id))
            post.userIds << id;
    }
}

QString MemberList(const QList<DiscordMember>& members) {
    QStringList mentions;
    for (const DiscordMember& m : members)
        mentions << MemberMention(m);
    return mentions.join(QStringLiteral(", "));
}

// Where the message that starts at `from` ends: the cut position (the character there is a line
// break or blank that is dropped, or the first character of the next message after a forced cut).
qsizetype CutPosition(const QString& text, qsizetype from, int limit) {
    const qsizetype end = from + limit; // text.at(end) may still be the dropped break
    qsizetype lastBlank = -1;
    qsizetype lastLineBreak = -1;
    for (qsizetype i = from + 1; i <= end && i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n'))
            lastLineBreak = i;
        if (c.isSpace())
            lastBlank = i;
    }
    if (lastLineBreak > from + limit / 2)
        return lastLineBreak;
    if (lastBlank > from)
        return lastBlank;
    // One word longer than a message: cut it, but not inside a <...> mention or timestamp nor
    // between the two halves of a surrogate pair.
    qsizetype cut = end;
    const qsizetype open = text.lastIndexOf(QLatin1Char('<'), cut - 1);
    if (open > from && text.indexOf(QLatin1Char('>'), open) >= cut)
        cut = open;
    if (text.at(cut).isLowSurrogate())
        --cut;
    return cut;
}

} // namespace

bool IsDiscordUserId(const QString& entry) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{15,21}$"));
    return digits.match(entry.trimmed()).hasMatch();
}

QString NeutralisedText(const QString& text) {
    QString out = text;
    static const QRegularExpression mass(QStringLiteral("@(everyone|here)"),
                                         QRegularExpression::CaseInsensitiveOption);
    out.replace(mass, QStringLiteral("@") + kZeroWidthSpace + QStringLiteral("\\1"));
    out.replace(QStringLiteral("<@&"), QStringLiteral("<@") + kZeroWidthSpace + QLatin1Char('&'));
    return out;
}

QString MemberMention(const DiscordMember& member) {
    const QString entry = member.discord.trimmed();
    if (IsDiscordUserId(entry))
        return QStringLiteral("<@") + entry + QLatin1Char('>');
    // A name is text: it mentions nobody, not even by looking like a mention.
    const auto plain = [](const QString& name) {
        return NeutralisedText(name).replace(QStringLiteral("<@"),
                                             QStringLiteral("<") + kZeroWidthSpace + QLatin1Char('@'));
    };
    QString text = plain(member.onlineName.trimmed());
    if (!entry.isEmpty() && entry.compare(member.onlineName.trimmed(), Qt::CaseInsensitive) != 0)
        text += QStringLiteral(" (") + plain(entry) + QLatin1Char(')');
    return text;
}

QString DiscordTimestamp(const QDateTime& utc, char style) {
    return QStringLiteral("<t:%1:%2>").arg(utc.toSecsSinceEpoch()).arg(QLatin1Char(style));
}

DiscordPost MatchPost(const MatchPostInput& match) {
    DiscordPost post;
    const QString what = NeutralisedText(match.what.trimmed());
    QStringList lines;
    lines << (what.isEmpty() ? QStringLiteral("**Match**") : QStringLiteral("**Match: ") + what + "**");
    lines << QStringLiteral("When: ") + WhenText(match.utc);
    if (match.lengthMinutes > 0)
        lines << QStringLiteral("Length: ") + LengthText(match.lengthMinutes);
    lines << (match.members.isEmpty()
                  ? QStringLiteral("Available: nobody yet")
                  : QStringLiteral("Available (%1): ").arg(match.members.size()) + MemberList(match.members));
    post.content = lines.join(QLatin1Char('\n'));
    AddMentions(post, match.members);
    return post;
}

DiscordPost BestTimesPost(const QString& what, const QList<BestTimePostRow>& rows) {
    DiscordPost post;
    const QString forWhom = NeutralisedText(what.trimmed());
    QStringList lines;
    lines << (forWhom.isEmpty() ? QStringLiteral("**Best times**")
                                : QStringLiteral("**Best times: ") + forWhom + QStringLiteral("**"));
    for (const BestTimePostRow& row : rows)
        lines << WhenText(row.utc) + QStringLiteral(" - %1 player(s)").arg(row.count);
    post.content = lines.join(QLatin1Char('\n'));
    return post;
}

DiscordPost TemplatePost(const QString& subject, const QString& text, const QList<DiscordMember>& members) {
    DiscordPost post;
    QStringList parts;
    if (!subject.trimmed().isEmpty())
        parts << QStringLiteral("**") + NeutralisedText(subject.trimmed()) + QStringLiteral("**");
    QString body = NeutralisedText(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (!body.trimmed().isEmpty())
        parts << body.trimmed();
    if (!members.isEmpty())
        parts << MemberList(members);
    post.content = parts.join(QStringLiteral("\n\n"));
    AddMentions(post, members);
    return post;
}

QList<DiscordMessage> SplitDiscordPost(const DiscordPost& post, int limit) {
    QList<DiscordMessage> messages;
    const QString& text = post.content;
    const auto add = [&](const QString& piece) {
        if (piece.trimmed().isEmpty())
            return;
        DiscordMessage message{piece, {}};
        for (const QString& id : post.userIds)
            if (piece.contains(QStringLiteral("<@") + id + QLatin1Char('>')))
                message.userIds << id;
        messages << message;
    };
    limit = qMax(limit, 2);
    qsizetype from = 0;
    while (from < text.size()) {
        if (text.size() - from <= limit) {
            add(text.mid(from));
            break;
        }
        const qsizetype cut = CutPosition(text, from, limit);
        add(text.mid(from, cut - from));
        from = cut;
        while (from < text.size() && text.at(from).isSpace())
            ++from;
    }
    return messages;
}

QByteArray WebhookPayload(const DiscordMessage& message) {
    QJsonArray users;
    for (const QString& id : message.userIds.mid(0, kMostAllowedUsers))
        users.append(id);
    QJsonObject allowed{{QStringLiteral("parse"), QJsonArray()}, {QStringLiteral("users"), users}};
    const QJsonObject payload{{QStringLiteral("content"), message.content},
                              {QStringLiteral("allowed_mentions"), allowed}};
    return QJsonDocument(payload).toJson(QJsonDocument::Compact);
}

QList<DiscordMember> ReadDiscordMembers(const QList<qint32>& playerKeys) {
    QList<DiscordMember> members;
    if (playerKeys.isEmpty())
        return members;
    QStringList keys;
    for (const qint32 key : playerKeys)
        keys << QString::number(key);
    QHash<qint32, DiscordMember> found;
    RowSet rows = Db().execute(
        QStringLiteral(
            "Select Player_ID, Player_OnlineName, Player_Discord From Players Where Player_ID In (") +
        keys.join(QStringLiteral(", ")) + QStringLiteral(")"));
    for (; !rows.eof(); rows.moveNext())
        found.insert(rows.integer(QStringLiteral("Player_ID")),
                     {rows.text(QStringLiteral("Player_OnlineName")).trimmed(),
                      rows.text(QStringLiteral("Player_Discord")).trimmed()});
    rows.close();
    for (const qint32 key : playerKeys)
        if (found.contains(key))
            members << found.value(key);
    return members;
}

} // namespace rm
