#include "comms/CalendarEvent.h"
#include "comms/EmailSending.h"
#include "comms/MailMessage.h"
#include "data/AppEnvironment.h"
#include "data/Options.h"
#include "support/SmtpSink.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace rm;
using namespace rm::test;

namespace {

// What Python's icalendar and email packages read from a file.
QJsonObject check(const char* mode, const QByteArray& data) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return {};
    file.close();
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {qEnvironmentVariable("RALLYMARK_SOURCE_DIR") +
                                                          QStringLiteral("/tests/comms/calendar_check.py"),
                                                      QString::fromLatin1(mode), path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        qWarning() << python.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
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

    // The start is the real instant: the zone's offset and its daylight state on the match date,
    // whatever the state today.
    void startIsTheMatchInstant_data() {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("utc");
        const QDate winter(2005, 1, 12), summer(2005, 7, 13);
        QTest::newRow("GMT") << "GMT" << winter << QDate(2005, 1, 18) << 20 * 60
                             << "2005-01-18T20:00:00+00:00";
        QTest::newRow("Eastern summer match, winter today")
            << "Eastern" << winter << QDate(2005, 7, 19) << 20 * 60 << "2005-07-20T00:00:00+00:00";
        QTest::newRow("Eastern winter match, summer today")
            << "Eastern" << summer << QDate(2005, 12, 6) << 20 * 60 << "2005-12-07T01:00:00+00:00";
        QTest::newRow("Eastern, the day after the change")
            << "Eastern" << winter << QDate(2005, 4, 4) << 20 * 60 << "2005-04-05T00:00:00+00:00";
        QTest::newRow("Berlin summer")
            << "Berlin" << winter << QDate(2005, 7, 19) << 20 * 60 + 30 << "2005-07-19T18:30:00+00:00";
        QTest::newRow("India, the day before in UTC")
            << "India" << summer << QDate(2005, 7, 19) << 60 << "2005-07-18T19:30:00+00:00";
    }
    void startIsTheMatchInstant() {
        QFETCH(QString, zone);
        QFETCH(QDate, today);
        QFETCH(QDate, date);
        QFETCH(int, minutes);
        QFETCH(QString, utc);
        FixedClock clock(QDateTime(today, QTime(12, 0)));
        SetClock(&clock);
        TestDatabase db;
        const std::optional<QDateTime> start = LocalMomentToUtc(date, minutes, db.zoneId(zone));
        QVERIFY(start);
        CalendarEvent event = sample({QStringLiteral("Able")});
        event.start = *start;
        const QJsonObject read = check("ics", CalendarText(event));
        QCOMPARE(read.value(QStringLiteral("dtstart")).toString(), utc);
        QVERIFY(!LocalMomentToUtc(date, minutes, 99999));
    }

    // Every field as a calendar program reads it; texts with the special characters and long
    // lines of several-byte characters come back unchanged.
    void fieldsSurvive() {
        QStringList players{QStringLiteral("Smith, John"), QStringLiteral("semi;colon"),
                            QStringLiteral("back\\slash")};
        for (int i = 0; i < 30; ++i)
            players << QStringLiteral("Zoë Ørsted-Łukasz %1").arg(i);
        const CalendarEvent event = sample(players);
        const QByteArray text = CalendarText(event);
        const QJsonObject read = check("ics", text);
        QCOMPARE(read.value(QStringLiteral("events")).toInt(), 1);
        QCOMPARE(read.value(QStringLiteral("version")).toString(), QStringLiteral("2.0"));
        QCOMPARE(read.value(QStringLiteral("uid")).toString(), event.uid);
        QCOMPARE(read.value(QStringLiteral("dtstamp")).toString(),
                 QStringLiteral("2005-07-01T09:30:15+00:00"));
        QCOMPARE(read.value(QStringLiteral("duration")).toInt(), 90 * 60);
        QCOMPARE(read.value(QStringLiteral("summary")).toString(),
                 QStringLiteral("Match: Rifles; East, West (Arena\\2)"));
        QCOMPARE(read.value(QStringLiteral("description")).toString(), event.description);
        QVERIFY(event.description.endsWith(players.join(QLatin1Char('\n'))));
        QVERIFY(read.value(QStringLiteral("longest_line")).toInt() <= 75);
        QVERIFY(!read.value(QStringLiteral("bare_lf")).toBool());
        QCOMPARE(CalendarDuration(120), QStringLiteral("PT2H"));
        QCOMPARE(CalendarDuration(45), QStringLiteral("PT45M"));
    }

    // The mail with the event: multipart/mixed that parses without defects, the text unchanged,
    // the event readable; without an event the message stays plain.
    void mailCarriesTheEvent_data() {
        QTest::addColumn<QString>("body");
        QTest::newRow("ascii") << "We have a match.\r\n.leading dot\r\nAble\r\n";
        QTest::newRow("utf-8") << "Wir haben ein Spiel für Zoë.\r\nAble\r\n";
    }
    void mailCarriesTheEvent() {
        QFETCH(QString, body);
        MailMessage message{QStringLiteral("leader@example.org"),
                            QStringLiteral("able@example.org"),
                            QStringLiteral("Leader"),
                            QString(),
                            QStringLiteral("Match Information"),
                            body};
        const CalendarEvent event = sample({QStringLiteral("Able")});
        message.calendarEvent = CalendarText(event);
        const QDateTime when(QDate(2005, 7, 1), QTime(9, 0), Qt::UTC);
        QByteArray data =
            BuildMessageLines(message, MakeMessageId(QStringLiteral("example.org")), when).join();
        QVERIFY(data.endsWith("\r\n.\r\n"));
        data.chop(3);
        data.replace("\r\n..", "\r\n.");
        const QJsonObject read = check("mail", data);
        QCOMPARE(read.value(QStringLiteral("type")).toString(), QStringLiteral("multipart/mixed"));
        QCOMPARE(read.value(QStringLiteral("defects")).toVariant().toStringList(), QStringList());
        QCOMPARE(read.value(QStringLiteral("parts")).toVariant().toStringList(),
                 (QStringList{"multipart/mixed", "text/plain", "text/calendar"}));
        QCOMPARE(
            read.value(QStringLiteral("text")).toString().replace(QLatin1String("\r\n"), QLatin1String("\n")),
            QString(body).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        QCOMPARE(read.value(QStringLiteral("filename")).toString(), QStringLiteral("match.ics"));
        const QJsonObject attached = read.value(QStringLiteral("event")).toObject();
        QCOMPARE(attached.value(QStringLiteral("uid")).toString(), event.uid);
        QCOMPARE(attached.value(QStringLiteral("dtstart")).toString(),
                 QStringLiteral("2005-07-20T00:00:00+00:00"));

        message.calendarEvent.clear();
        const QByteArray plain = BuildMessageLines(message, QStringLiteral("Message-ID: <1>"), when).join();
        QVERIFY(!plain.contains("multipart") && plain.contains("Content-Type: text/plain"));
    }

    // Through the e-mail window's delivery to a real server: the stored mail parses the same way.
    void deliveredMailParses() {
        TestDatabase db;
        SmtpSink sink;
        QString error;
        QVERIFY2(sink.start(&error), qPrintable(error));
        OptionsRecord& o = CurrentOptions();
        o.SMTPServer = QStringLiteral("127.0.0.1");
        o.SMTPPort = sink.port();
        o.ReplyAddress = QStringLiteral("leader@example.org");
        o.ReplyToName = QStringLiteral("Leader");
        const CalendarEvent event = sample({QStringLiteral("Able")});
        const DeliveryCall deliver = OptionsDelivery(QStringLiteral("Match Information"),
                                                     QStringLiteral("We have a match."), CalendarText(event));
        QCOMPARE(deliver(QStringLiteral("able@example.org")), 1);
        QTRY_COMPARE(sink.messages().size(), 1);
        const QJsonObject read = check("mail", sink.messages().first().data);
        QCOMPARE(read.value(QStringLiteral("defects")).toVariant().toStringList(), QStringList());
        QCOMPARE(read.value(QStringLiteral("event")).toObject().value(QStringLiteral("uid")).toString(),
                 event.uid);
    }
};

QTEST_GUILESS_MAIN(CalendarTest)
#include "calendar_test.moc"
