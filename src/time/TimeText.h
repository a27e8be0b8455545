#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace rm {

inline constexpr int kMinutesPerDay = 1440;
inline constexpr int kMinutesPerWeek = 7 * kMinutesPerDay;

// Weekdays are numbered 1 = Sunday to 7 = Saturday everywhere.
QString WeekdayName(int day);

// "HH:MM" on the 24-hour clock; the value is taken modulo one day.
QString MinutesToHHMM(int minutesAfterMidnight);
// Parses "HH:MM" or "H:MM" (24-hour); nullopt when it is not a time of day.
std::optional<int> ParseHHMM(const QString& text);

// The AM and PM designators of a locale as this program writes them: the locale's own, or "AM" and
// "PM" when the locale has none or two that cannot be told apart.
struct DayHalfTexts {
    QString am;
    QString pm;
};
DayHalfTexts DayHalfDesignators(const QLocale& locale = QLocale());

// A time of day as the user wants to see it: "HH:MM" when timeFormat24 is true, otherwise
// "HH:MM AM" with the designators of the user's locale (QLocale(): the system's unless a default
// is set).
QString FormatTimeOfDay(int minutesAfterMidnight, bool timeFormat24);

// A stretch of availability travels as "HH:MM|HH:MM". Its end may be "24:00" (kMinutesPerDay), the
// midnight that closes the day; its start may not.
QString FormatStretch(int startMinutes, int endMinutes);
std::optional<std::pair<int, int>> ParseStretch(const QString& text);

} // namespace rm
