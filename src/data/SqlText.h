#pragma once

#include <QDateTime>
#include <QString>

namespace rm {

// Doubles every apostrophe so the text can stand between apostrophes in an SQL statement. It neither
// trims nor adds the enclosing apostrophes.
QString EscapeQuotes(const QString& text);

// The text without control characters other than tab, line feed and carriage return (a NUL typed or
// pasted into a field would otherwise cut the statement short).
QString WithoutControlCharacters(const QString& text);

// The usual way a text value enters a statement: trimmed, escaped, between apostrophes. Every text
// value loses its control characters on the way (WithoutControlCharacters).
QString SqlText(const QString& value);
// The same without trimming (template content is written exactly as typed).
QString SqlTextUntrimmed(const QString& value);
// Notes columns that are empty after trimming are written as a single blank.
QString SqlNotes(const QString& value);
// Booleans are stored as 1 and 0.
inline QString SqlBool(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}
// Date-times of the last save, in the store's own date-time text: 'YYYY-MM-DD HH:MM:SS'.
QString SqlDateTime(const QDateTime& when);
// Times of day are stored as 'HH:MM' text, so text order is time order.
QString SqlTimeOfDay(int minutesAfterMidnight);

// Reads a stored 'YYYY-MM-DD HH:MM:SS' date-time; an invalid QDateTime when the text is not one.
QDateTime ParseStoredDateTime(const QString& text);

} // namespace rm
