#pragma once

// The texts of the match date and time fields of the scheduling screen, read and written in the
// user's locale: QLocale(), which is the system's unless a default has been set.

#include <QDate>
#include <QString>

#include <optional>

namespace rm {

// Reads, in order: the locale's short date form, its long form (also without the weekday), and
// YYYY-MM-DD. Day and month may have one or two digits; the year four digits or two, two-digit
// years falling in 1950 .. 2049. Under the C locale, which has no numeric short form, M/D/YYYY.
std::optional<QDate> ParseMatchDate(const QString& text);

// The date as the program writes it into the field: the locale's short form with two-digit day and
// month and a four-digit year (MM/DD/YYYY under the C locale and en_US); YYYY-MM-DD where that
// form would not read back as the same day.
QString FormatMatchDate(const QDate& date);

// The locale's long form ("Tuesday, 6 December 2005"), shown beside the field and in the e-mail.
QString LongMatchDate(const QDate& date);

// Minutes after midnight. Reads H:MM on the 24-hour clock; h:MM or h followed by AM or PM, or by
// the locale's designators (any case, with or without a blank before them); and the locale's short
// and long time forms; and the forms people of some places write though their locale's formats do
// not give them, each under its own locales only: "20h30" (French), "20.30" (German, Danish),
// "8.30pm" (British, Australian, New Zealand and Irish English) and the designator before the time
// ("午後8:30": Japanese, Korean, Chinese). Every text FormatTimeOfDay writes reads back.
std::optional<int> ParseMatchTime(const QString& text);

} // namespace rm
