#include "comms/AvailabilityReply.h"

#include "data/DbConnection.h"
#include "roster/PlayerStore.h"
#include "time/TimeText.h"

#include <QHash>
#include <QRandomGenerator>

#include <array>

namespace rm {

namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr int kPayloadBytes = 59; // everything before the checksum
constexpr int kReplyBytes = kPayloadBytes + 4;
static_assert((kReplyBytes * 8 + 4) / 5 == kReplySymbols);

const std::array<quint32, 256>& crcTable() {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

// The value of a base32 symbol; -1 for anything else.
const std::array<qint8, 128>& symbolValues() {
    static const std::array<qint8, 128> values = [] {
        std::array<qint8, 128> v{};
        v.fill(-1);
        for (int i = 0; i < 32; ++i) {
            v[static_cast<unsigned char>(kAlphabet[i])] = static_cast<qint8>(i);
            v[static_cast<unsigned char>(QChar::toLower(kAlphabet[i]))] = static_cast<qint8>(i);
        }
        v['O'] = v['o'] = 0;
        v['I'] = v['i'] = v['L'] = v['l'] = 1;
        return v;
    }();
    return values;
}

void putNumber(QByteArray& bytes, quint32 value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(static_cast<char>((value >> shift) & 0xFF));
}

quint32 numberAt(const QByteArray& bytes, int at) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

// What is left of a pasted text once wrapping, quoting and invisible characters are taken out.
QString Compact(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.isSpace() || c == QLatin1Char('>') || c.category() == QChar::Other_Format)
            continue;
        out += c;
    }
    return out;
}

FoundReply Decode(QStringView symbols) {
    if (symbols.size() < kReplySymbols)
        return {std::nullopt, kReplyCutShort};
    QByteArray bytes;
    bytes.reserve(kReplyBytes + 1);
    quint32 buffer = 0;
    int bits = 0;
    for (int i = 0; i < kReplySymbols; ++i) {
        const char16_t u = symbols[i].unicode();
        const int value = u < 128 ? symbolValues()[u] : -1;
        if (value < 0)
            return {std::nullopt, kReplyCutShort};
        buffer = (buffer << 5) | static_cast<quint32>(value);
        bits += 5;
        if (bits >= 8) {
            bits -= 8;
            bytes.append(static_cast<char>((buffer >> bits) & 0xFF));
        }
    }
    bytes.truncate(kReplyBytes);
    if (Crc32(bytes.left(kPayloadBytes)) != numberAt(bytes, kPayloadBytes))
        return {std::nullopt, kReplyDamaged};
    if (static_cast<unsigned char>(bytes.at(0)) != kReplyVersion)
        return {std::nullopt, kReplyNewerVersion};
    AvailabilityReply reply;
    reply.player = numberAt(bytes, 1);
    reply.databaseToken = numberAt(bytes, 5);
    reply.pageStamp = numberAt(bytes, 9);
    reply.replyMoment = numberAt(bytes, 13);
    for (int i = 0; i < kWeekCells; ++i)
        reply.week[i] = (static_cast<unsigned char>(bytes.at(17 + i / 8)) >> (7 - i % 8)) & 1;
    return {reply, QString()};
}

quint64 Order(const AvailabilityReply& r) {
    return (quint64{r.pageStamp} << 32) | r.replyMoment;
}

} // namespace

WeekCells CellsFromLists(const WeekLists& lists) {
    WeekCells cells;
    for (int d = 0; d < 7; ++d) {
        for (const QString& element : lists[d]) {
            const auto stretch = ParseStretch(element);
            if (!stretch)
                continue;
            const int last = (stretch->second + kHalfHour - 1) / kHalfHour;
            for (int c = stretch->first / kHalfHour; c < last && c < kDayCells; ++c)
                cells.set(d * kDayCells + c);
        }
    }
    return cells;
}

WeekLists ListsFromCells(const WeekCells& cells) {
    WeekLists lists;
    for (int d = 0; d < 7; ++d) {
        int c = 0;
        while (c < kDayCells) {
            if (!cells[d * kDayCells + c]) {
                ++c;
                continue;
            }
            const int start = c;
            while (c < kDayCells && cells[d * kDayCells + c])
                ++c;
            lists[d] << FormatStretch(start * kHalfHour, c * kHalfHour);
        }
    }
    return lists;
}

quint32 Crc32(const QByteArray& bytes) {
    quint32 c = 0xFFFFFFFFU;
    for (const char b : bytes)
        c = crcTable()[(c ^ static_cast<unsigned char>(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFU;
}

QString EncodeReply(const AvailabilityReply& reply, int version) {
    QByteArray bytes;
    bytes.reserve(kReplyBytes);
    bytes.append(static_cast<char>(version));
    putNumber(bytes, reply.player);
    putNumber(bytes, reply.databaseToken);
    putNumber(bytes, reply.pageStamp);
    putNumber(bytes, reply.replyMoment);
    for (int i = 0; i < kWeekCells; i += 8) {
        int b = 0;
        for (int k = 0; k < 8; ++k)
            b = (b << 1) | (reply.week[i + k] ? 1 : 0);
        bytes.append(static_cast<char>(b));
    }
    putNumber(bytes, Crc32(bytes));
    QString text = kReplyPrefix;
    quint32 buffer = 0;
    int bits = 0;
    for (const char b : bytes) {
        buffer = (buffer << 8) | static_cast<unsigned char>(b);
        bits += 8;
        while (bits >= 5) {
            bits -= 5;
            text += QLatin1Char(kAlphabet[(buffer >> bits) & 31]);
        }
    }
    if (bits > 0)
        text += QLatin1Char(kAlphabet[(buffer << (5 - bits)) & 31]);
    return text;
}

QList<FoundReply> FindReplies(const QString& text) {
    QList<FoundReply> found;
    const QString compact = Compact(text);
    qsizetype from = 0;
    while (true) {
        const qsizetype at = compact.indexOf(kReplyPrefix, from, Qt::CaseInsensitive);
        if (at < 0)
            break;
        const qsizetype start = at + kReplyPrefix.size();
        FoundReply one = Decode(QStringView(compact).mid(start));
        // A damaged reply may have swallowed the start of the next one: look again right after its
        // prefix.
        from = one.reply ? start + kReplySymbols : start;
        found << one;
    }
    return found;
}

quint32 DatabaseReplyToken() {
    const quint32 token = Db().scalar(QStringLiteral("Select Options_ReplyToken From Options")).toUInt();
    if (token != 0)
        return token;
    const quint32 fresh = QRandomGenerator::system()->bounded(1U, 0xFFFFFFFFU);
    Db().execute(QStringLiteral("Update Options Set Options_ReplyToken = %1").arg(fresh));
    return fresh;
}

QList<ReplyReview> ReviewReplies(const QString& text) {
    QList<ReplyReview> reviews;
    const QList<FoundReply> found = FindReplies(text);
    if (found.isEmpty())
        return reviews;
    const quint32 token = DatabaseReplyToken();
    QHash<qint32, int> newest; // player → index of the reply that is used
    for (const FoundReply& f : found) {
        ReplyReview review;
        review.found = f;
        review.problem = f.problem;
        if (f.reply) {
            const AvailabilityReply& r = *f.reply;
            review.player = static_cast<qint32>(r.player);
            review.newWeek = r.week;
            RowSet row = Db().execute(QStringLiteral("Select Player_OnlineName, Player_TimeZone, "
                                                     "Player_ReplyPage, Player_ReplyMoment From Players "
                                                     "Where Player_ID = %1")
                                          .arg(review.player));
            if (r.databaseToken != token) {
                review.problem = kReplyOtherDatabase;
            } else if (row.eof()) {
                review.problem = kReplyUnknownPlayer.arg(r.player);
            } else {
                review.onlineName = row.text(QStringLiteral("Player_OnlineName")).trimmed();
                review.oldWeek = CellsFromLists(
                    LoadPlayerSchedule(review.player, row.integer(QStringLiteral("Player_TimeZone"))));
                const quint64 applied =
                    (quint64{static_cast<quint32>(row.value(QStringLiteral("Player_ReplyPage")).toLongLong())}
                     << 32) |
                    static_cast<quint32>(row.value(QStringLiteral("Player_ReplyMoment")).toLongLong());
                if (Order(r) < applied)
                    review.problem = kReplyOlder;
                else if (Order(r) == applied)
                    review.problem = kReplyAlreadyApplied;
            }
            if (review.accepted()) {
                const auto used = newest.constFind(review.player);
                if (used == newest.constEnd()) {
                    newest.insert(review.player, static_cast<int>(reviews.size()));
                } else if (Order(r) > Order(*reviews[*used].found.reply)) {
                    reviews[*used].problem = kReplyNewerInText;
                    newest.insert(review.player, static_cast<int>(reviews.size()));
                } else {
                    review.problem =
                        Order(r) == Order(*reviews[*used].found.reply) ? kReplyRepeated : kReplyNewerInText;
                }
            }
        }
        reviews << review;
    }
    return reviews;
}

int ApplyReplies(const QList<ReplyReview>& reviews) {
    QList<PlayerWeek> weeks;
    for (const ReplyReview& r : reviews)
        if (r.accepted() && r.found.reply)
            weeks << PlayerWeek{r.player, ListsFromCells(r.newWeek)};
    if (weeks.isEmpty())
        return 0;
    DbConnection::Transaction transaction(Db());
    SavePlayerWeeks(weeks);
    for (const ReplyReview& r : reviews)
        if (r.accepted() && r.found.reply)
            Db().execute(
                QStringLiteral("Update Players Set Player_ReplyPage = %1, Player_ReplyMoment = %2 Where "
                               "Player_ID = %3")
                    .arg(r.found.reply->pageStamp)
                    .arg(r.found.reply->replyMoment)
                    .arg(r.player));
    transaction.commit();
    return static_cast<int>(weeks.size());
}

} // namespace rm
