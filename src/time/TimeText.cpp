#include "time/TimeText.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>

namespace rm {

QString WeekdayName(int day) {
    static const char* const names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
    if (day < 1 || day > 7)
        return QString();
    return QString::fromLatin1(names[day - 1]);
}

QString MinutesToHHMM(int minutesAfterMidnight) {
    int m = minutesAfterMidnight % kMinutesPerDay;
    if (m < 0)
        m += kMinutesPerDay;
    return QStringLiteral("%1:%2").arg(m / 60, 2, 10, QLatin1Char('0')).arg(m % 60, 2, 10, QLatin1Char('0'));
}

std::optional<int> ParseHHMM(const QString& text) {
    const QString t = text.trimmed();
    const qsizetype colon = t.indexOf(QLatin1Char(':'));
    if (colon < 1 || colon > 2 || t.size() - colon - 1 != 2)
        return std::nullopt;
    bool okH = false;
    bool okM = false;
    const int h = t.left(colon).toInt(&okH);
    const int m = t.mid(colon + 1).toInt(&okM);
    for (const QChar c : t)
        if (c != QLatin1Char(':') && !c.isDigit())
            return std::nullopt;
    if (!okH || !okM || h < 0 || h > 23 || m < 0 || m > 59)
        return std::nullopt;
    return h * 60 + m;
}

DayHalfTexts DayHalfDesignators(const QLocale& locale) {
    const DayHalfTexts own{locale.amText().simplified(), locale.pmText().simplified()};
    const auto usable = [](const QString& text) {
        return !text.isEmpty() && std::none_of(text.cbegin(), text.cend(),
                                               [](QChar c) { return c.isDigit() || c == QLatin1Char(':'); });
    };
    if (usable(own.am) && usable(own.pm) && own.am.compare(own.pm, Qt::CaseInsensitive) != 0)
        return own;
    return DayHalfTexts{QStringLiteral("AM"), QStringLiteral("PM")};
}

QString FormatTimeOfDay(int minutesAfterMidnight, bool timeFormat24) {
    if (timeFormat24)
        return MinutesToHHMM(minutesAfterMidnight);
    int m = minutesAfterMidnight % kMinutesPerDay;
    if (m < 0)
        m += kMinutesPerDay;
    const int h24 = m / 60;
    int h12 = h24 % 12;
    if (h12 == 0)
        h12 = 12;
    const DayHalfTexts designators = DayHalfDesignators();
    return QStringLiteral("%1:%2 %3")
        .arg(h12, 2, 10, QLatin1Char('0'))
        .arg(m % 60, 2, 10, QLatin1Char('0'))
        .arg(h24 < 12 ? designators.am : designators.pm);
}

QString FormatStretch(int startMinutes, int endMinutes) {
    const QString end = endMinutes == kMinutesPerDay ? QStringLiteral("24:00") : MinutesToHHMM(endMinutes);
    return MinutesToHHMM(startMinutes) + QLatin1Char('|') + end;
}

std::optional<std::pair<int, int>> ParseStretch(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('|'));
    if (parts.size() != 2)
        return std::nullopt;
    const auto start = ParseHHMM(parts.at(0));
    const auto end = parts.at(1).trimmed() == QLatin1String("24:00") ? std::optional<int>(kMinutesPerDay)
                                                                     : ParseHHMM(parts.at(1));
    if (!start || !end)
        return std::nullopt;
    return std::make_pair(*start, *end);
}

} // namespace rm
