#include "scheduling/MatchText.h"

#include "time/TimeText.h"

#include <QList>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

namespace rm {

namespace {

// A date format cut into its day, month and year fields and the literal text between them.
struct FormatPiece {
    QString text;
    QChar field; // 'd', 'M' or 'y'; null for literal text (quoted parts keep their quotes)
    bool numeric() const { return !field.isNull() && (field == QLatin1Char('y') || text.size() <= 2); }
};

QList<FormatPiece> cutFormat(const QString& format) {
    QList<FormatPiece> pieces;
    const auto literal = [&pieces](const QString& text) {
        if (!pieces.isEmpty() && pieces.last().field.isNull())
            pieces.last().text += text;
        else
            pieces << FormatPiece{text, QChar()};
    };
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        qsizetype end = i + 1;
        if (c == QLatin1Char('\'')) {
            // Up to the closing quote; a doubled quote inside stands for one.
            while (end < format.size() &&
                   (format.at(end) != QLatin1Char('\'') ||
                    (end + 1 < format.size() && format.at(end + 1) == QLatin1Char('\''))))
                end += format.at(end) == QLatin1Char('\'') ? 2 : 1;
            literal(format.mid(i, end + 1 - i));
            i = end + 1;
        } else if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            while (end < format.size() && format.at(end) == c)
                ++end;
            pieces << FormatPiece{format.mid(i, end - i), c};
            i = end;
        } else {
            literal(QString(c));
            i = end;
        }
    }
    return pieces;
}

// Direction marks and other invisible format characters, which nobody types.
QString withoutMarks(QString text) {
    text.removeIf([](QChar c) { return c.category() == QChar::Other_Format; });
    return text;
}

// The numeric fields rewritten: day and month as given, the year as given.
QString joinFormat(const QList<FormatPiece>& pieces, const QString& day, const QString& month,
                   const QString& year) {
    QString format;
    for (const FormatPiece& p : pieces) {
        if (!p.numeric())
            format += p.text;
        else
            format += p.field == QLatin1Char('y') ? year : p.field == QLatin1Char('d') ? day : month;
    }
    return format;
}

// The long form without its weekday and the blank or punctuation that joins it to the rest.
QList<FormatPiece> withoutWeekday(QList<FormatPiece> pieces) {
    const auto weekday = std::find_if(pieces.begin(), pieces.end(), [](const FormatPiece& p) {
        return p.field == QLatin1Char('d') && p.text.size() >= 3;
    });
    if (weekday == pieces.end())
        return {};
    const qsizetype at = pieces.erase(weekday) - pieces.begin();
    const auto joiner = [](QChar c) { return c != QLatin1Char('\'') && (c.isSpace() || c.isPunct()); };
    if (at < pieces.size() && pieces.at(at).field.isNull()) {
        QString& text = pieces[at].text;
        while (!text.isEmpty() && joiner(text.front()))
            text.remove(0, 1);
    } else if (at > 0 && pieces.at(at - 1).field.isNull()) {
        QString& text = pieces[at - 1].text;
        while (!text.isEmpty() && joiner(text.back()))
            text.chop(1);
    }
    return pieces;
}

// The formats the date field reads, each with whether its year has two digits.
QList<std::pair<QString, bool>> readableDateFormats(const QLocale& locale) {
    QList<QList<FormatPiece>> forms;
    if (locale.language() == QLocale::C)
        forms << cutFormat(QStringLiteral("M/d/yyyy"));
    const QList<FormatPiece> longForm = cutFormat(withoutMarks(locale.dateFormat(QLocale::LongFormat)));
    forms << cutFormat(withoutMarks(locale.dateFormat(QLocale::ShortFormat))) << longForm
          << withoutWeekday(longForm);
    QList<std::pair<QString, bool>> formats;
    for (const QList<FormatPiece>& form : forms) {
        if (form.isEmpty())
            continue;
        for (const bool twoDigits : {false, true}) {
            const std::pair<QString, bool> format{
                joinFormat(form, QStringLiteral("d"), QStringLiteral("M"),
                           twoDigits ? QStringLiteral("yy") : QStringLiteral("yyyy")),
                twoDigits};
            if (!formats.contains(format))
                formats << format;
        }
    }
    return formats;
}

std::optional<int> minutesOf(int hour, int minutes) {
    if (hour < 0 || hour > 23 || minutes < 0 || minutes > 59)
        return std::nullopt;
    return hour * 60 + minutes;
}

std::optional<int> halfDay(int hour, int minutes, bool pm) {
    if (hour < 1 || hour > 12 || minutes < 0 || minutes > 59)
        return std::nullopt;
    return (hour % 12) * 60 + minutes + (pm ? 12 * 60 : 0);
}

// How people of some places write a time, though their locale's formats do not say so: "20h30" in
// French, "20.30" in German and Danish, "8.30pm" in British and Australian English, and the
// designator before the time in Japanese, Korean and Chinese ("午後8:30"). Each only under its own
// locales, where it cannot mean anything else.
std::optional<int> customaryTime(const QString& t, const QLocale& locale) {
    const QLocale::Language language = locale.language();
    if (language == QLocale::French) {
        static const QRegularExpression hours(QStringLiteral("^([0-9]{1,2}) ?[hH] ?([0-9]{2})?$"));
        if (const QRegularExpressionMatch m = hours.match(t); m.hasMatch())
            return minutesOf(m.captured(1).toInt(), m.captured(2).toInt());
    }
    if (language == QLocale::German || language == QLocale::Danish) {
        static const QRegularExpression dotted(QStringLiteral("^([0-9]{1,2})\\.([0-9]{2})$"));
        if (const QRegularExpressionMatch m = dotted.match(t); m.hasMatch())
            return minutesOf(m.captured(1).toInt(), m.captured(2).toInt());
    }
    static const QList<QLocale::Territory> dottedEnglish{QLocale::UnitedKingdom, QLocale::Australia,
                                                         QLocale::NewZealand, QLocale::Ireland};
    if (language == QLocale::English && dottedEnglish.contains(locale.territory())) {
        static const QRegularExpression dotted(
            QStringLiteral("^([0-9]{1,2})\\.([0-9]{2}) ?([ap])\\.? ?m\\.?$"),
            QRegularExpression::CaseInsensitiveOption);
        if (const QRegularExpressionMatch m = dotted.match(t); m.hasMatch())
            return halfDay(m.captured(1).toInt(), m.captured(2).toInt(),
                           m.captured(3).compare(QLatin1String("p"), Qt::CaseInsensitive) == 0);
    }
    if (language == QLocale::Japanese || language == QLocale::Korean || language == QLocale::Chinese) {
        static const QRegularExpression leading(QStringLiteral("^([^0-9]+?) ?([0-9]{1,2})(?::([0-9]{2}))?$"));
        if (const QRegularExpressionMatch m = leading.match(t); m.hasMatch()) {
            const DayHalfTexts own = DayHalfDesignators(locale);
            const QString designator = m.captured(1);
            const bool am = designator == withoutMarks(own.am);
            const bool pm = designator == withoutMarks(own.pm);
            if (am || pm)
                return halfDay(m.captured(2).toInt(), m.captured(3).toInt(), pm);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<QDate> ParseMatchDate(const QString& text) {
    const QString t = withoutMarks(text).trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const QLocale locale;
    for (const auto& [format, twoDigitYear] : readableDateFormats(locale)) {
        QDate d = locale.toDate(t, format);
        if (!d.isValid())
            continue;
        if (twoDigitYear && d.year() < 1950)
            d = d.addYears(100);
        return d;
    }
    const QDate iso = QDate::fromString(t, Qt::ISODate);
    if (iso.isValid())
        return iso;
    return std::nullopt;
}

QString FormatMatchDate(const QDate& date) {
    const QLocale locale;
    const QString shortForm =
        locale.language() == QLocale::C ? QStringLiteral("M/d/yy") : locale.dateFormat(QLocale::ShortFormat);
    const QString text = locale.toString(date, joinFormat(cutFormat(shortForm), QStringLiteral("dd"),
                                                          QStringLiteral("MM"), QStringLiteral("yyyy")));
    if (ParseMatchDate(text) == date)
        return text;
    return date.toString(Qt::ISODate);
}

QString LongMatchDate(const QDate& date) {
    return QLocale().toString(date, QLocale::LongFormat);
}

std::optional<int> ParseMatchTime(const QString& text) {
    const QString t = withoutMarks(text).simplified();
    if (const std::optional<int> plain = ParseHHMM(t))
        return plain;

    // The way the program writes times: the hour, the minutes and a designator, which may itself
    // hold blanks ("e pasdites").
    static const QRegularExpression twelveHour(
        QStringLiteral("^([0-9]{1,2})(?::([0-9]{2}))? ?([^0-9: ].*)$"));
    const QLocale locale;
    if (const QRegularExpressionMatch m = twelveHour.match(t); m.hasMatch()) {
        const int h = m.captured(1).toInt();
        const int minutes = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
        const QString designator = m.captured(3);
        const DayHalfTexts own = DayHalfDesignators(locale);
        const auto is = [&designator](const QString& candidate) {
            return designator.compare(withoutMarks(candidate), Qt::CaseInsensitive) == 0;
        };
        const bool am = is(own.am) || (!is(own.pm) && is(QStringLiteral("AM")));
        const bool pm = !am && (is(own.pm) || is(QStringLiteral("PM")));
        if ((am || pm) && h >= 1 && h <= 12 && minutes <= 59)
            return (h % 12) * 60 + minutes + (pm ? 12 * 60 : 0);
    }

    if (const std::optional<int> custom = customaryTime(t, locale))
        return custom;

    for (const QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QTime time = locale.toTime(t, withoutMarks(locale.timeFormat(type)));
        if (time.isValid())
            return time.hour() * 60 + time.minute();
    }
    return std::nullopt;
}

} // namespace rm
