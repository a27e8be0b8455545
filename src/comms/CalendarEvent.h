#pragma once

// A match as a calendar event (iCalendar, RFC 5545): the text of a .ics file, also sent as the
// text/calendar part of a mail.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace rm {

struct CalendarEvent {
    QString uid;
    QDateTime stamp; // when the event was written
    QDateTime start; // the instant of the match
    int durationMinutes = 120;
    QString summary;
    QString description;
};

// The instant of a local date and time in a catalogue zone, with the zone's real offset on that date
// (a time the clocks skip is moved forward, one they pass twice is the first). nullopt when no zone
// has the key. Raises DbError when the store refuses.
std::optional<QDateTime> LocalMomentToUtc(const QDate& localDate, int localMinutes, qint32 zone);

// A text value with backslashes, semicolons, commas and line ends escaped.
QString EscapeCalendarText(const QString& text);
// One content line (without its line end) folded so that no line exceeds 75 octets; a UTF-8
// character is never split.
QByteArray FoldCalendarLine(const QByteArray& line);
// "PT2H", "PT1H30M", "PT45M".
QString CalendarDuration(int minutes);

// The whole calendar with its one event, every line ending in CR LF.
QByteArray CalendarText(const CalendarEvent& event);

// Writes the text to the file in one step: a failure leaves an existing file as it was. False with
// the reason in `error` when it cannot be written.
bool WriteCalendarFile(const QString& path, const QByteArray& text, QString* error);

// A unique id for a new event.
QString NewEventUid();

// The event of a match found by the availability search: the summary names the divisions and their
// games when the search was by division; the description lists who can make it.
CalendarEvent MatchEvent(const QDateTime& startUtc, int durationMinutes, const QStringList& divisionsAndGames,
                         const QStringList& players, const QDateTime& stampUtc);

// "Rifles (Arena)" for every division of the list that has a game, else just the division's name.
// Raises DbError when the store refuses.
QStringList DivisionsAndGames(const QList<qint32>& divisions);

} // namespace rm
