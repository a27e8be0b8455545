#include "data/SqlText.h"

#include "time/TimeText.h"

namespace rm {

QString EscapeQuotes(const QString& text) {
    if (text.isEmpty())
        return QString();
    QString result;
    result.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A surrogate without its partner is no character: the store would read it together with
        // the next code unit and could swallow the closing apostrophe. It becomes U+FFFD.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result.append(c);
            result.append(text.at(++i));
            continue;
        }
        if (c.isSurrogate()) {
            result.append(QChar(QChar::ReplacementCharacter));
            continue;
        }
        result.append(c);
        if (c == QLatin1Char('\''))
            result.append(QLatin1Char('\''));
    }
    return result;
}

QString WithoutControlCharacters(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || (u >= 0x7F && u < 0xA0))
            continue;
        result += c;
    }
    return result;
}

QString SqlText(const QString& value) {
    return SqlTextUntrimmed(WithoutControlCharacters(value).trimmed());
}

QString SqlTextUntrimmed(const QString& value) {
    return QLatin1Char('\'') + EscapeQuotes(WithoutControlCharacters(value)) + QLatin1Char('\'');
}

QString SqlNotes(const QString& value) {
    const QString trimmed = WithoutControlCharacters(value).trimmed();
    return trimmed.isEmpty() ? QStringLiteral("' '") : SqlTextUntrimmed(trimmed);
}

QString SqlDateTime(const QDateTime& when) {
    return QLatin1Char('\'') + when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char('\'');
}

QString SqlTimeOfDay(int minutesAfterMidnight) {
    return QLatin1Char('\'') + MinutesToHHMM(minutesAfterMidnight) + QLatin1Char('\'');
}

QDateTime ParseStoredDateTime(const QString& text) {
    return QDateTime::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace rm
