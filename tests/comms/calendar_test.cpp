#include "comms/CalendarEvent.h"
#include "comms/EmailSending.h"
#include "data/AppEnvironment.h"
#include "data/Options.h"
#include "data/OptionsForm.h"
#include "support/RecordingSink.h"
#include "support/SmtpSink.h"
#include "support/TestDatabase.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using namespace rm;
using namespace rm::test;

namespace {

// What Python's icalendar and email packages read from the data.
QJsonObject check(const char* mode, const QByteArray& data) {
    QProcess python;
    python.start(
        QStringLiteral("/usr/bin/python3"),
        {qEnvironmentVariable("RALLYMARK_SOURCE_DIR") + QStringLiteral("/tests/comms/calendar_check.py"),
         QString::fromLatin1(mode), QStringLiteral("/dev/stdin")});
    python.write(data);
    python.closeWriteChannel();
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        qWarning() << python.readAllStandardError();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

QString field(const QJsonObject& o, const char* name) {
    return o.value(QLatin1String(name)).toVariant().toString();
}

CalendarEvent sample(const QStringList& players) {
    return MatchEvent(QDateTime(QDate(2005, 7, 20), QTime(0, 0), Qt::UTC), 90,
                      {QStringLiteral("Rifles; East, West (Arena\\2)")}, players,
                      QDateTime(QDate(2005, 7, 1), QTime(9, 30, 15), Qt::UTC));
}

} // namespace

class CalendarTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { SetClock(nullptr); }

    // Every field as a calendar program reads it; the organizer is the Options' reply-to name and
    // address. The start is the real instant: the zone's offset and its daylight state on the match
    // date, whatever the state today. Texts with the special characters and long lines of several-byte
    // characters come back unchanged.
    void eventAsACalendarReadsIt() {
        QStringList players{QStringLiteral("Smith, John"), QStringLiteral("semi;colon"),
                            QStringLiteral("back\\slash")};
        for (int i = 0; i < 30; ++i)
            players << QStringLiteral("Zoë Ørsted-Łukasz %1").arg(i);
        TestDatabase db;
        CurrentOptions().ReplyToName = QStringLiteral("Smith, John: Leader");
        CurrentOptions().ReplyAddress = QStringLiteral("leader@example.org");
        // The zone, the month of today, the match on the zone's clock (4 April: the day after the
        // change) and the start read back.
        for (const auto& [zone, todayMonth, day, minutes, utc] :
             {std::tuple{"Eastern", 1, QDate(2005, 7, 19), 20 * 60, "2005-07-20T00:00:00+00:00"},
              {"Eastern", 7, QDate(2005, 12, 6), 20 * 60, "2005-12-07T01:00:00+00:00"},
              {"Eastern", 1, QDate(2005, 4, 4), 20 * 60, "2005-04-05T00:00:00+00:00"},
              {"India", 7, QDate(2005, 7, 19), 60, "2005-07-18T19:30:00+00:00"}}) {
            FixedClock clock(QDateTime(QDate(2005, todayMonth, 12), QTime(12, 0)));
            SetClock(&clock);
            CalendarEvent event = sample(players);
            event.start =
                LocalMomentToUtc(day, minutes, db.zoneId(QString::fromLatin1(zone))).value_or(QDateTime());
            const QJsonObject read = check("ics", CalendarText(event));
            QCOMPARE(field(read, "dtstart"), QString::fromLatin1(utc));
            QCOMPARE(field(read, "events"), QStringLiteral("1"));
            QCOMPARE(field(read, "uid"), event.uid);
            QCOMPARE(field(read, "dtstamp"), QStringLiteral("2005-07-01T09:30:15+00:00"));
            QCOMPARE(field(read, "duration"), QString::number(90 * 60));
            QCOMPARE(field(read, "summary"), QStringLiteral("Match: Rifles; East, West (Arena\\2)"));
            QCOMPARE(field(read, "description"), event.description);
            QCOMPARE(field(read, "organizer"), QStringLiteral("mailto:leader@example.org"));
            QCOMPARE(field(read, "organizer_cn"), CurrentOptions().ReplyToName);
            QVERIFY(event.description.endsWith(players.join(QLatin1Char('\n'))));
            QVERIFY(field(read, "longest_line").toInt() <= 75);
        }
    }

    // Delivered to a real server: multipart/mixed without defects, the text as written, the event
    // readable.
    void deliveredMailCarriesTheEvent() {
        TestDatabase db;
        SmtpSink sink;
        QString error;
        QVERIFY2(sink.start(&error), qPrintable(error));
        OptionsRecord& o = CurrentOptions();
        o.SMTPServer = QStringLiteral("127.0.0.1");
        o.SMTPPort = sink.port();
        o.ReplyAddress = QStringLiteral("leader@example.org");
        const CalendarEvent event = sample({QStringLiteral("Able")});
        const QString body = QStringLiteral("Ein Spiel für Zoë.\r\n.leading dot");
        QCOMPARE(OptionsDelivery(QStringLiteral("Match"), body,
                                 CalendarText(event))(QStringLiteral("a@x.org"), nullptr),
                 1);
        QTRY_COMPARE(sink.messages().size(), 1);
        const QJsonObject read = check("mail", sink.messages().at(0).data);
        QCOMPARE(read.value(QStringLiteral("defects")).toVariant().toStringList(), QStringList());
        QCOMPARE(read.value(QStringLiteral("parts")).toVariant().toStringList(),
                 (QStringList{"multipart/mixed", "text/plain", "text/calendar"}));
        QCOMPARE(field(read, "text").remove(QLatin1Char('\r')).trimmed(),
                 QString(body).remove(QLatin1Char('\r')));
        QCOMPARE(field(read, "filename"), QStringLiteral("match.ics"));
        QCOMPARE(field(read.value(QStringLiteral("event")).toObject(), "uid"), event.uid);
    }

    // The length of a match in the Options: checked, stored, loaded; the default is two hours.
    void matchLengthEntry() {
        TestDatabase db;
        RecordingSink sink;
        int refusals = 0;
        for (const char* typed : {"1441", "2h", " 90 "}) {
            std::optional<OptionsEntries> entries = ReadOptionsEntries();
            const bool good = qstrcmp(typed, " 90 ") == 0;
            QCOMPARE(entries->matchLength, QStringLiteral("120"));
            entries->matchLength = QString::fromLatin1(typed);
            QCOMPARE(SaveOptions(*entries), good);
            QCOMPARE(CurrentOptions().MatchLength, good ? 90 : 120);
            QCOMPARE(sink.count(), refusals += good ? 0 : 1);
        }
        QVERIFY(sink.contains(QStringLiteral("Match Length must be a number of minutes from 1 to 1440")));
    }
};

QTEST_GUILESS_MAIN(CalendarTest)
#include "calendar_test.moc"
