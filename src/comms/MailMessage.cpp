#include "comms/MailMessage.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QUrl>

#include <cmath>
#include <cstring>

namespace rm {

namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

bool IsPlainAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() > 0x7E || (c.unicode() < 0x20 && c != QLatin1Char('\r') && c != QLatin1Char('\n') &&
                                   c != QLatin1Char('\t')))
            return false;
    }
    return true;
}

// The longest line (without its CR LF) that mail systems must accept is 998 characters.
bool HasOverlongLine(const QByteArray& crlfText) {
    qsizetype start = 0;
    while (start <= crlfText.size()) {
        qsizetype end = crlfText.indexOf(kCrLf, start);
        if (end < 0)
            end = crlfText.size();
        if (end - start > 998)
            return true;
        start = end + 2;
    }
    return false;
}

char HexDigit(int value) {
    return "0123456789ABCDEF"[value & 0xF];
}

QByteArray TextPartType(bool asciiBody, bool quoted) {
    QByteArray type = asciiBody ? QByteArrayLiteral("Content-Type: text/plain; charset=us-ascii")
                                : QByteArrayLiteral("Content-Type: text/plain; charset=utf-8");
    type += kCrLf;
    if (quoted)
        type += QByteArrayLiteral("Content-Transfer-Encoding: quoted-printable") + kCrLf;
    return type;
}

// The content type header and everything after it, for a text with one attached file (the type line
// and disposition as the file wants them). The boundary starts with "=_", which neither
// quoted-printable nor base64 text can contain.
QList<QByteArray> MultipartWithFile(const QByteArray& body, bool asciiBody, bool quoted,
                                    const QByteArray& typeLine, const QByteArray& dispositionLine,
                                    const QByteArray& file) {
    const QByteArray boundary = QByteArrayLiteral("=_rallymark_") +
                                QByteArray::number(RandomInRange(999999999LL, 9999999999LL)) +
                                QByteArrayLiteral("_");
    QByteArray data = QByteArrayLiteral("This is a multi-part message in MIME format.") + kCrLf;
    data += QByteArrayLiteral("--") + boundary + kCrLf + TextPartType(asciiBody, quoted) + kCrLf;
    data += (quoted ? QuotedPrintable(body) : body) + kCrLf;
    data += QByteArrayLiteral("--") + boundary + kCrLf;
    data += typeLine + kCrLf;
    data += dispositionLine + kCrLf;
    data += QByteArrayLiteral("Content-Transfer-Encoding: base64") + kCrLf + kCrLf;
    const QByteArray encoded = file.toBase64();
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        data += encoded.mid(i, 76) + kCrLf;
    data += QByteArrayLiteral("--") + boundary + QByteArrayLiteral("--") + kCrLf;

    QList<QByteArray> lines;
    lines << QByteArrayLiteral("Content-Type: multipart/mixed; boundary=\"") + boundary + "\"" + kCrLf;
    lines << kCrLf + DotStuff(data);
    lines << QByteArrayLiteral(".") + kCrLf;
    return lines;
}

// A file name for the headers: the plain form keeps printable ASCII only; the RFC 2231 form keeps
// every letter.
QByteArray FileNameParameters(const QString& name) {
    QByteArray plain;
    for (const QChar c : SingleLine(name))
        plain += (c.unicode() >= 32 && c.unicode() < 127 && c != QLatin1Char('"') && c != QLatin1Char('\\'))
                     ? static_cast<char>(c.unicode())
                     : '_';
    QByteArray parameters = QByteArrayLiteral("filename=\"") + plain + "\"";
    if (!IsPlainAscii(name))
        parameters +=
            QByteArrayLiteral("; filename*=utf-8''") + SingleLine(name).toUtf8().toPercentEncoding();
    return parameters;
}

} // namespace

QString MailDomain(const QString& senderAddress) {
    const qsizetype at = senderAddress.indexOf(QLatin1Char('@'));
    return at < 0 ? senderAddress : senderAddress.mid(at + 1);
}

qint64 RandomInRange(qint64 low, qint64 high) {
    const double r = QRandomGenerator::global()->generateDouble(); // 0 <= r < 1
    qint64 value = static_cast<qint64>(std::floor(r * static_cast<double>(high - low) + 1.0)) + low;
    // Rounding of the product must not step past the upper end.
    if (value > high)
        value = high;
    return value;
}

QString MakeMessageId(const QString& domain) {
    const qint64 first = RandomInRange(9999999999999LL, 99999999999999LL);
    const qint64 second = RandomInRange(9999, 99999);
    return QStringLiteral("Message-ID: <") + QString::number(first) + QLatin1Char('.') +
           QString::number(second) + QStringLiteral(".qmail@") + SingleLine(domain) + QLatin1Char('>');
}

QString MailDateText(const QDateTime& when) {
    const QLocale c = QLocale::c();
    const int offsetMinutes = when.offsetFromUtc() / 60;
    const int magnitude = std::abs(offsetMinutes);
    const QString zone =
        QString::asprintf("%c%02d%02d", offsetMinutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return c.toString(when, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss ")) + zone;
}

QString SingleLine(const QString& text) {
    QString result = text;
    result.remove(QLatin1Char('\r'));
    result.remove(QLatin1Char('\n'));
    return result;
}

namespace {

// The longest header line mail systems must take, and the length folding aims at.
constexpr qsizetype kLongestLine = 998;
constexpr qsizetype kFoldAt = 76;

// Plain ASCII that no reader could take for an encoded word.
bool IsPlainHeaderText(const QString& value) {
    return IsPlainAscii(value) && !value.contains(QStringLiteral("=?"));
}

// A run of characters without a blank longer than a header line may be.
bool HasUnbreakableRun(const QString& value, qsizetype room) {
    qsizetype run = 0;
    for (const QChar c : value) {
        run = c == QLatin1Char(' ') || c == QLatin1Char('\t') ? 0 : run + 1;
        if (run > room)
            return true;
    }
    return false;
}

// RFC 5322 atext: what a display name may hold without quotes, besides blanks.
bool IsAtext(QChar c) {
    if (c.isLetterOrNumber() && c.unicode() < 0x80)
        return true;
    return c.unicode() > 0 && c.unicode() < 0x80 &&
           std::strchr("!#$%&'*+-/=?^_`{|}~", static_cast<char>(c.unicode())) != nullptr;
}

QByteArray EncodedWords(const QString& value) {
    // Encoded words of at most 39 bytes of UTF-8 each (52 characters of base64, 64 in all, so that
    // "SUBJECT: " and the first word fit in one line), never splitting a character.
    QList<QByteArray> words;
    QByteArray chunk;
    for (qsizetype i = 0; i < value.size();) {
        qsizetype length = 1;
        if (value.at(i).isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate())
            length = 2;
        const QByteArray bytes = value.mid(i, length).toUtf8();
        if (chunk.size() + bytes.size() > 39) {
            words << chunk;
            chunk.clear();
        }
        chunk += bytes;
        i += length;
    }
    if (!chunk.isEmpty())
        words << chunk;
    QByteArray result;
    for (const QByteArray& word : words) {
        if (!result.isEmpty())
            result += ' ';
        result += QByteArrayLiteral("=?utf-8?B?") + word.toBase64() + QByteArrayLiteral("?=");
    }
    return result;
}

} // namespace

QByteArray EncodeHeaderText(const QString& text) {
    const QString value = SingleLine(text);
    // A run too long for one line is carried by encoded words, which may break anywhere.
    if (IsPlainHeaderText(value) && !HasUnbreakableRun(value, kLongestLine - 20))
        return value.toLatin1();
    return EncodedWords(value);
}

QByteArray MailboxText(const QString& displayName, const QString& address) {
    const QString name = SingleLine(displayName).trimmed();
    const QByteArray angle = '<' + SingleLine(address).trimmed().toUtf8() + '>';
    if (name.isEmpty())
        return angle;
    if (!IsPlainHeaderText(name))
        return EncodedWords(name) + ' ' + angle;
    bool plainWords = true;
    for (const QChar c : name)
        plainWords = plainWords && (IsAtext(c) || c == QLatin1Char(' '));
    if (plainWords && !name.contains(QStringLiteral("  ")))
        return name.toLatin1() + ' ' + angle;
    QByteArray quoted = "\"";
    for (const QChar c : name) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted += '\\';
        quoted += static_cast<char>(c.unicode());
    }
    return quoted + "\" " + angle;
}

QByteArray FoldHeaderLine(const QByteArray& line) {
    // Pieces start at a blank that follows a non-blank, so a piece is never blanks alone (but the
    // last one may be) and unfolding gives back the line.
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    QList<QByteArray> pieces;
    qsizetype start = 0;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (blank(line.at(i)) && !blank(line.at(i - 1))) {
            pieces << line.mid(start, i - start);
            start = i;
        }
    }
    pieces << line.mid(start);
    QByteArray out;
    qsizetype length = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QByteArray& piece = pieces.at(i);
        const bool blanksOnly = piece.trimmed().isEmpty();
        // Never right after the header name, never before trailing blanks.
        if (i > 1 && !blanksOnly && length + piece.size() > kFoldAt) {
            out += kCrLf;
            length = 0;
        }
        out += piece;
        length += piece.size();
    }
    return out;
}

std::optional<QString> AsciiMailAddress(const QString& address) {
    if (IsPlainAscii(address))
        return address;
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'));
    if (at < 0 || !IsPlainAscii(address.left(at)))
        return std::nullopt;
    const QByteArray domain = QUrl::toAce(address.mid(at + 1));
    if (domain.isEmpty())
        return std::nullopt;
    return address.left(at + 1) + QString::fromLatin1(domain);
}

QString NormaliseLineEnds(const QString& text) {
    QString result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            result += QLatin1String("\r\n");
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            result += QLatin1String("\r\n");
        } else {
            result += c;
        }
    }
    return result;
}

QByteArray QuotedPrintable(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size() * 3 / 2);
    qsizetype start = 0;
    bool firstLine = true;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf(kCrLf, start);
        const bool last = end < 0;
        if (last)
            end = bytes.size();
        if (!firstLine)
            out += kCrLf;
        firstLine = false;
        int column = 0;
        for (qsizetype i = start; i < end; ++i) {
            const auto b = static_cast<unsigned char>(bytes.at(i));
            const bool lineEnd = i + 1 == end;
            QByteArray piece;
            if ((b >= 33 && b <= 126 && b != '=') || ((b == ' ' || b == '\t') && !lineEnd))
                piece = QByteArray(1, static_cast<char>(b));
            else
                piece = QByteArray("=") + HexDigit(b >> 4) + HexDigit(b);
            // Leave room for the soft break "=" unless this piece ends the line.
            const int limit = lineEnd ? 76 : 75;
            if (column + piece.size() > limit) {
                out += QByteArrayLiteral("=\r\n");
                column = 0;
            }
            out += piece;
            column += static_cast<int>(piece.size());
        }
        if (last)
            break;
        start = end + 2;
    }
    return out;
}

QByteArray DotStuff(const QByteArray& data) {
    QByteArray out;
    out.reserve(data.size() + 16);
    bool lineStart = true;
    for (const char c : data) {
        if (lineStart && c == '.')
            out += '.';
        out += c;
        lineStart = c == '\n';
    }
    return out;
}

QList<QByteArray> BuildMessageLines(const MailMessage& message, const QString& messageIdLine,
                                    const QDateTime& when) {
    const QByteArray body = NormaliseLineEnds(message.body).toUtf8();
    const bool asciiBody = IsPlainAscii(message.body);
    const bool quoted = !asciiBody || HasOverlongLine(body);

    QList<QByteArray> lines;
    lines << SingleLine(messageIdLine).toLatin1() + kCrLf;
    lines << QByteArrayLiteral("DATE: ") + MailDateText(when).toLatin1() + kCrLf;
    lines << FoldHeaderLine("FROM: " + MailboxText(message.senderName, message.senderAddress)) + kCrLf;
    lines << FoldHeaderLine("TO: " + MailboxText(message.recipientName, message.recipientAddress)) + kCrLf;
    lines << FoldHeaderLine("SUBJECT: " + EncodeHeaderText(message.subject)) + kCrLf;
    lines << QByteArrayLiteral("MIME-Version: 1.0") + kCrLf;
    if (!message.calendarEvent.isEmpty()) {
        lines << MultipartWithFile(
            body, asciiBody, quoted,
            QByteArrayLiteral(
                "Content-Type: text/calendar; charset=utf-8; method=PUBLISH; name=\"match.ics\""),
            QByteArrayLiteral("Content-Disposition: attachment; filename=\"match.ics\""),
            message.calendarEvent);
        return lines;
    }
    if (!message.attachment.isEmpty()) {
        lines << MultipartWithFile(body, asciiBody, quoted,
                                   QByteArrayLiteral("Content-Type: ") + message.attachmentType,
                                   QByteArrayLiteral("Content-Disposition: attachment; ") +
                                       FileNameParameters(message.attachmentName),
                                   message.attachment);
        return lines;
    }
    if (quoted) {
        lines << (asciiBody ? QByteArrayLiteral("Content-Type: text/plain; charset=us-ascii")
                            : QByteArrayLiteral("Content-Type: text/plain; charset=utf-8")) +
                     kCrLf;
        lines << QByteArrayLiteral("Content-Transfer-Encoding: quoted-printable") + kCrLf;
    } else {
        lines << QByteArrayLiteral("Content-Type: text/plain; charset=us-ascii") + kCrLf;
    }
    lines << kCrLf + kCrLf + DotStuff(quoted ? QuotedPrintable(body) : body) + kCrLf;
    lines << kCrLf + QByteArrayLiteral(".") + kCrLf;
    return lines;
}

} // namespace rm
