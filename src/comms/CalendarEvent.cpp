#include "comms/CalendarEvent.h"

#include "data/DbConnection.h"
#include "time/ZoneClock.h"

#include <QSaveFile>
#include <QUuid>

namespace rm {

namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

QByteArray utcText(const QDateTime& t) {
    return t.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
}

} // namespace

std::optional<QDateTime> LocalMomentToUtc(const QDate& localDate, int localMinutes, qint32 zone) {
    const std::optional<ZoneClock> clock = LoadZoneClock(zone);
    if (!clock || !localDate.isValid())
        return std::nullopt;
    return clock->toUtc(localDate, localMinutes).utc;
}

QString EscapeCalendarText(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(',')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == QLatin1Char('\r')) {
            out += QLatin1String("\\n");
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1String("\\n");
        } else if (c.unicode() < 0x20 && c != QLatin1Char('\t')) {
            continue; // other control characters are not allowed in a text value
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray FoldCalendarLine(const QByteArray& line) {
    QByteArray out;
    out.reserve(line.size() + line.size() / 70 * 3);
    qsizetype start = 0;
    int limit = 75; // the first line; the others begin with a blank
    while (line.size() - start > limit) {
        qsizetype end = start + limit;
        while (end > start && (static_cast<unsigned char>(line.at(end)) & 0xC0) == 0x80)
            --end; // back to the first byte of the character
        out += line.mid(start, end - start);
        out += kCrLf;
        out += ' ';
        start = end;
        limit = 74;
    }
    out += line.mid(start);
    return out;
}

QString CalendarDuration(int minutes) {
    if (minutes <= 0)
        minutes = 1;
    QString text = QStringLiteral("PT");
    if (minutes >= 60)
        text += QString::number(minutes / 60) + QLatin1Char('H');
    if (minutes % 60)
        text += QString::number(minutes % 60) + QLatin1Char('M');
    return text;
}

QByteArray CalendarText(const CalendarEvent& event) {
    const QList<QByteArray> lines{
        "BEGIN:VCALENDAR",
        "VERSION:2.0",
        "PRODID:-//Rallymark//Rallymark " RALLYMARK_VERSION "//EN",
        "CALSCALE:GREGORIAN",
        "METHOD:PUBLISH",
        "BEGIN:VEVENT",
        "UID:" + EscapeCalendarText(event.uid).toUtf8(),
        "DTSTAMP:" + utcText(event.stamp),
        "DTSTART:" + utcText(event.start),
        "DURATION:" + CalendarDuration(event.durationMinutes).toLatin1(),
        "SUMMARY:" + EscapeCalendarText(event.summary).toUtf8(),
        "DESCRIPTION:" + EscapeCalendarText(event.description).toUtf8(),
        "END:VEVENT",
        "END:VCALENDAR",
    };
    QByteArray text;
    for (const QByteArray& line : lines)
        text += FoldCalendarLine(line) + kCrLf;
    return text;
}

bool WriteCalendarFile(const QString& path, const QByteArray& text, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QString NewEventUid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral("@rallymark");
}

CalendarEvent MatchEvent(const QDateTime& startUtc, int durationMinutes, const QStringList& divisionsAndGames,
                         const QStringList& players, const QDateTime& stampUtc) {
    CalendarEvent event;
    event.uid = NewEventUid();
    event.stamp = stampUtc;
    event.start = startUtc;
    event.durationMinutes = durationMinutes;
    event.summary = divisionsAndGames.isEmpty()
                        ? QStringLiteral("Match")
                        : QStringLiteral("Match: ") + divisionsAndGames.join(QStringLiteral(", "));
    event.description = QStringLiteral("According to everyone's submitted schedules, here is a list of who "
                                       "can make it:\n") +
                        players.join(QLatin1Char('\n'));
    return event;
}

QStringList DivisionsAndGames(const QList<qint32>& divisions) {
    QStringList names;
    for (const qint32 division : divisions) {
        RowSet rows =
            Db().execute(QStringLiteral("Select Division_Name, Game_Name From Divisions Left Join Games "
                                        "On Division_Game = Game_ID Where Division_ID = ") +
                         QString::number(division) + QStringLiteral(" "));
        if (rows.eof())
            continue;
        const QString name = rows.text(QStringLiteral("Division_Name")).trimmed();
        const QString game = rows.text(QStringLiteral("Game_Name")).trimmed();
        rows.close();
        names << (game.isEmpty() ? name : name + QStringLiteral(" (") + game + QLatin1Char(')'));
    }
    return names;
}

} // namespace rm
