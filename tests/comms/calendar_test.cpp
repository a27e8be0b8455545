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
#include <QTemporaryDir>
#include <QtTest>

using namespace rm;
using namespace rm::test;

namespace {

// What Python's icalendar and email packages read from the data.
QJsonObject check(const char* mode, const QByteArray& data) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("data")));
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return {};
    file.close();
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {qEnvironmentVariable("RALLYMARK_SOURCE_DIR") +
                                                          QStringLiteral("/tests/comms/calendar_check.py"),
                                                      QString::fromLatin1(mode), file.fileName()});
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

    // The start is the real instant: the zone's offset and its daylight state on the match date,
    // whatever the state today.
    void startIsTheMatchInstant_data() {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDateTime>("local");
        QTest::addColumn<QString>("utc");
        const QDate winter(2005, 1, 12), summer(2005, 7, 13);
        const auto at = [](int m, int d, int h, int min) {
            return QDateTime(QDate(2005, m, d), QTime(h, min));
        };
        QTest::newRow("Eastern summer match, winter today")
            << "Eastern" << winter << at(7, 19, 20, 0) << "2005-07-20T00:00:00+00:00";
        QTest::newRow("Eastern winter match, summer today")
            << "Eastern" << summer << at(12, 6, 20, 0) << "2005-12-07T01:00:00+00:00";
        QTest::newRow("Eastern, the day after the change")
            << "Eastern" << winter << at(4, 4, 20, 0) << "2005-04-05T00:00:00+00:00";
        QTest::newRow("Berlin summer")
            << "Berlin" << winter << at(7, 19, 20, 30) << "2005-07-19T18:30:00+00:00";
        QTest::newRow("India, the day before")
            << "India" << summer << at(7, 19, 1, 0) << "2005-07-18T19:30:00+00:00";
    }
    void startIsTheMatchInstant() {
        QFETCH(QString, zone);
        QFETCH(QDate, today);
        QFETCH(QDateTime, local);
        QFETCH(QString, utc);
        FixedClock clock(QDateTime(today, QTime(12, 0)));
        SetClock(&clock);
        TestDatabase db;
        const int minutes = local.time().msecsSinceStartOfDay() / 60000;
        CalendarEvent event = sample({QStringLiteral("Able")});
        event.start = LocalMomentToUtc(local.date(), minutes, db.zoneId(zone)).value_or(QDateTime());
        QCOMPARE(field(check("ics", CalendarText(event)), "dtstart"), utc);
    }

    // Every field as a calendar program reads it; texts with the special characters and long
    // lines of several-byte characters come back unchanged.
    void fieldsSurvive() {
        QStringList players{QStringLiteral("Smith, John"), QStringLiteral("semi;colon"),
                            QStringLiteral("back\\slash")};
        for (int i = 0; i < 30; ++i)
            players << QStringLiteral("Zoë Ørsted-Łukasz %1").arg(i);
        const CalendarEvent event = sample(players);
        const QJsonObject read = check("ics", CalendarText(event));
        QCOMPARE(field(read, "events"), QStringLiteral("1"));
        QCOMPARE(field(read, "uid"), event.uid);
        QCOMPARE(field(read, "dtstamp"), QStringLiteral("2005-07-01T09:30:15+00:00"));
        QCOMPARE(field(read, "duration"), QString::number(90 * 60));
        QCOMPARE(field(read, "summary"), QStringLiteral("Match: Rifles; East, West (Arena\\2)"));
        QCOMPARE(field(read, "description"), event.description);
        QVERIFY(event.description.endsWith(players.join(QLatin1Char('\n'))));
        QVERIFY(field(read, "longest_line").toInt() <= 75);
    }

    // Through the e-mail window's delivery to a real server: multipart/mixed without defects, the
    // text as written, the event readable.
    void deliveredMailCarriesTheEvent() {
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
        const QStringList bodies{QStringLiteral("We have a match.\r\n.leading dot"),
                                 QStringLiteral("Ein Spiel für Zoë.\r\nAble")};
        for (const QString& body : bodies)
            QCOMPARE(OptionsDelivery(QStringLiteral("Match"), body,
                                     CalendarText(event))(QStringLiteral("a@x.org"), nullptr),
                     1);
        QTRY_COMPARE(sink.messages().size(), 2);
        for (int i = 0; i < 2; ++i) {
            const QJsonObject read = check("mail", sink.messages().at(i).data);
            QCOMPARE(read.value(QStringLiteral("defects")).toVariant().toStringList(), QStringList());
            QCOMPARE(read.value(QStringLiteral("parts")).toVariant().toStringList(),
                     (QStringList{"multipart/mixed", "text/plain", "text/calendar"}));
            QCOMPARE(field(read, "text").remove(QLatin1Char('\r')).trimmed(),
                     QString(bodies.at(i)).remove(QLatin1Char('\r')));
            QCOMPARE(field(read, "filename"), QStringLiteral("match.ics"));
            QCOMPARE(field(read.value(QStringLiteral("event")).toObject(), "uid"), event.uid);
        }
    }

    // The length of a match in the Options dialog: checked, stored, loaded.
    void matchLengthEntry_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored"); // 0: refused
        QTest::newRow("90") << " 90 " << 90;
        QTest::newRow("over a day") << "1441" << 0;
        QTest::newRow("text") << "2h" << 0;
    }
    void matchLengthEntry() {
        QFETCH(QString, typed);
        QFETCH(int, stored);
        TestDatabase db;
        RecordingSink sink;
        std::optional<OptionsEntries> entries = ReadOptionsEntries();
        QCOMPARE(entries->matchLength, QStringLiteral("120"));
        entries->matchLength = typed;
        QCOMPARE(SaveOptions(*entries), stored > 0);
        QCOMPARE(CurrentOptions().MatchLength, stored > 0 ? stored : 120);
        QCOMPARE(sink.contains(QStringLiteral("Match Length must be a number of minutes from 1 to 1440")),
                 stored == 0);
    }
};

QTEST_GUILESS_MAIN(CalendarTest)
#include "calendar_test.moc"
