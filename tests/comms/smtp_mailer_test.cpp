#include "comms/MailMessage.h"
#include "comms/SmtpMailer.h"
#include "data/AppEnvironment.h"
#include "support/SmtpSink.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace rm;
using namespace std::chrono_literals;

namespace {

// A server that follows a script: a greeting, and a reply per command word (EHLO, MAIL, RCPT, DATA,
// "." for the end of data, QUIT). An empty reply is silence, "HANGUP" closes the connection. With
// split set, every reply goes out in pieces of 4 bytes with pauses between them.
class ScriptedServer : public QObject {
public:
    ScriptedServer() {
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [this] {
            peer = server.nextPendingConnection();
            connect(peer, &QTcpSocket::readyRead, this, [this] { readLines(); });
            reply(greeting);
        });
    }
    int port() const { return server.serverPort(); }

    QByteArray greeting = "220 scripted ready\r\n";
    QHash<QByteArray, QByteArray> replies{{"EHLO", "250 hello\r\n"},    {"HELO", "250 hello\r\n"},
                                          {"MAIL", "250 ok\r\n"},       {"RCPT", "250 ok\r\n"},
                                          {"DATA", "354 go ahead\r\n"}, {".", "250 queued\r\n"},
                                          {"QUIT", "221 bye\r\n"}};
    bool split = false;
    QList<QByteArray> commands;
    QByteArray data;

private:
    void reply(const QByteArray& bytes) {
        if (bytes == "HANGUP")
            return peer->disconnectFromHost();
        const qsizetype size = split ? 4 : qMax<qsizetype>(bytes.size(), 1);
        for (qsizetype i = 0; i < bytes.size(); i += size)
            QTimer::singleShot(static_cast<int>(i) * 3, this, [p = peer, piece = bytes.mid(i, size)] {
                if (p)
                    p->write(piece);
            });
    }
    void readLines() {
        m_buffer += peer->readAll();
        for (qsizetype end; (end = m_buffer.indexOf("\r\n")) >= 0; m_buffer.remove(0, end + 2)) {
            const QByteArray line = m_buffer.left(end);
            if (m_inData && line != ".") {
                data += line + "\r\n";
                continue;
            }
            const QByteArray word = m_inData ? "." : line.split(' ').first().toUpper();
            if (!m_inData)
                commands << line;
            const QByteArray answer = replies.value(word, "500 unknown\r\n");
            m_inData = word == "DATA" && answer.startsWith("354");
            reply(answer);
        }
    }

    QTcpServer server;
    QPointer<QTcpSocket> peer;
    QByteArray m_buffer;
    bool m_inData = false;
};

int Send(SmtpMailer& mailer, int port, const QString& body = QStringLiteral("Hello"),
         const QString& host = QStringLiteral("127.0.0.1")) {
    return mailer.sendMailMessage(host, port, QStringLiteral("leader@example.org"),
                                  QStringLiteral("b@example.net"), QStringLiteral("Clan Leader"), QString(),
                                  QStringLiteral("leader@example.org"), QStringLiteral("Match tonight"),
                                  body);
}

const QRegularExpression kMessageId(QStringLiteral("^Message-ID: <\\d{14}\\.\\d{5}\\.qmail@(.*)>$"));

// Replacements for the scripted server's greeting ("greeting") and replies, by command word;
// "split" sends every reply in pieces.
using Script = QList<QPair<QByteArray, QByteArray>>;

} // namespace

class SmtpMailerTest : public QObject {
    Q_OBJECT

    test::SmtpSink m_sink;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 6), QTime(21, 5, 7), Qt::OffsetFromUTC, 3600)};

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(m_sink.start(&error), qPrintable(error));
        SetClock(&m_clock);
    }
    void cleanupTestCase() { SetClock(nullptr); }

    // Identifiers never repeat in a batch; line breaks cannot smuggle in headers.
    void headers() {
        QSet<QString> ids;
        for (int i = 0; i < 200; ++i)
            ids << MakeMessageId(QStringLiteral("example.org"));
        QCOMPARE(ids.size(), 200);
        QCOMPARE(
            MailDateText(QDateTime(QDate(2005, 6, 12), QTime(9, 5, 7), Qt::OffsetFromUTC, -5 * 3600 - 1800)),
            QStringLiteral("Sun, 12 Jun 2005 09:05:07 -0530"));
        const QByteArray text =
            BuildMessageLines({QStringLiteral("a@example.org"), QStringLiteral("b@example.net"),
                               QStringLiteral("Clan\r\nBcc: evil@x"), QString(),
                               QStringLiteral("Hi\nBcc: evil@x"), QStringLiteral("x")},
                              QStringLiteral("Message-ID: <1.2.qmail@x>"), m_clock.now())
                .join();
        QVERIFY(text.contains("\r\nFROM: ClanBcc: evil@x <a@example.org>\r\n"));
        QVERIFY(text.contains("\r\nSUBJECT: HiBcc: evil@x\r\n"));
    }

    void misbehavingServers_data() {
        QTest::addColumn<Script>("script");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("commands");    // how many commands the server saw, -1: not checked
        QTest::addColumn<QString>("failure"); // part of the failure text
        // A greeting of several lines, every reply in small pieces, a multi-line reply to HELO.
        QTest::newRow("in pieces")
            << Script{{"split", ""},
                      {"greeting", "220-scripted.example\r\n220-more\r\n220 ready\r\n"},
                      {"EHLO", "250-scripted.example\r\n250-SIZE 1000\r\n250 HELP\r\n"}}
            << 1 << 5 << QString();
        // HELO only when EHLO is refused as unknown; any other refusal ends the send at once.
        QTest::newRow("502 to EHLO") << Script{{"EHLO", "502 what?\r\n"}} << 1 << 6 << QString();
        QTest::newRow("554 to EHLO") << Script{{"EHLO", "554 go away\r\n"}} << -1 << 1
                                     << QStringLiteral("EHLO.\r\nLast reply from the server: 554 go away");
        // The end of data answered together with the goodbye; QUIT then ignored.
        QTest::newRow("merged") << Script{{".", "250 queued\r\n221 closing\r\n"}, {"QUIT", ""}} << 1 << -1
                                << QString();
        QTest::newRow("550 at RCPT") << Script{{"RCPT", "550 no such user\r\n"}} << -1 << 3
                                     << QStringLiteral("recipient address <b@example.net>.\r\n"
                                                       "Last reply from the server: 550 no such user");
        // Closing the connection mid-dialogue is an error at once, not a wait for the deadline.
        QTest::newRow("hangs up") << Script{{"MAIL", "HANGUP"}} << -1 << 2
                                  << QStringLiteral("waited for the reply to MAIL FROM");
        // Silence ends the send at the deadline with 0, the event loop running meanwhile.
        QTest::newRow("silent") << Script{{"greeting", ""}} << 0 << 0
                                << QStringLiteral(
                                       "within 0.25 seconds while Rallymark waited for the greeting");
        // A reply that is not the awaited one ends the send at once; once the message is accepted,
        // QUIT cannot undo that.
        for (const char* step : {"greeting", "EHLO", "MAIL", "RCPT", "DATA", ".", "QUIT"})
            QTest::newRow(qPrintable(QStringLiteral("421 at %1").arg(QLatin1String(step))))
                << Script{{step, "421 closing down\r\n"}} << (qstrcmp(step, "QUIT") == 0 ? 1 : -1) << -1
                << QString();
    }
    void misbehavingServers() {
        QFETCH(Script, script);
        QFETCH(int, expected);
        QFETCH(int, commands);
        QFETCH(QString, failure);
        ScriptedServer server;
        for (const auto& [word, reply] : script)
            (word == "greeting" ? server.greeting : server.replies[word]) = reply;
        server.split = server.replies.contains("split");
        SmtpMailer mailer;
        mailer.setDeadline(expected == 0 ? 250ms : 10s);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
        ticker.start(10);
        QElapsedTimer t;
        t.start();
        QCOMPARE(Send(mailer, server.port(), QStringLiteral("Hello\r\n.\r\nworld")), expected);
        QVERIFY(t.elapsed() < 5000);
        QVERIFY(expected != 0 || (ticks >= 5 && t.elapsed() >= 240));
        QVERIFY(commands < 0 || server.commands.size() == commands);
        QVERIFY2(mailer.failureText().contains(failure), qPrintable(mailer.failureText()));
        QVERIFY(expected != 1 || server.data.endsWith("\r\n\r\nHello\r\n..\r\nworld\r\n\r\n"));
        QCOMPARE(mailer.connectionHandle(), 0); // closed however the dialogue ended
        // The mailer is ready for the next message.
        ScriptedServer good;
        QCOMPARE(Send(mailer, good.port()), 1);
        QVERIFY(good.commands.value(0).startsWith("EHLO "));
        QCOMPARE(good.commands.mid(1), (QList<QByteArray>{"MAIL FROM: <leader@example.org>",
                                                          "RCPT TO: <b@example.net>", "DATA", "QUIT"}));
        // Without a server: refused, and a name that does not resolve.
        QCOMPARE(Send(mailer, test::ClosedLocalPort()), -1);
        QCOMPARE(Send(mailer, 25, QStringLiteral("x"), QStringLiteral("no-such-host.invalid")), -1);
    }

    // The body arrives as written, lone dots, long lines and UTF-8 included.
    void deliveredToARealServer() {
        m_sink.clear();
        SmtpMailer mailer;
        QCOMPARE(Send(mailer, m_sink.port(), QStringLiteral(".\n.leading dot\r\nmiddle\r.\r\n..two")), 1);
        QString longBody =
            QString(3000, QLatin1Char('x')) + QStringLiteral("\n.") + QString(100, QChar(0x661F));
        for (int i = 0; i < 3000; ++i)
            longBody +=
                QStringLiteral("\nLine %1 of the long message, with some text to make it longer.").arg(i);
        const QString subject = QStringLiteral("Grüße an alle, ") + QString(40, QChar(0x661F));
        QCOMPARE(mailer.sendMailMessage(QStringLiteral("localhost"), m_sink.port(),
                                        QStringLiteral("leader@example.org"), QStringLiteral("b@example.net"),
                                        QStringLiteral("Jörg Müller"), QStringLiteral("星 Player"), QString(),
                                        subject, longBody),
                 1);
        const auto messages = m_sink.messages();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0].mailFrom, QStringLiteral("leader@example.org"));
        QCOMPARE(messages[0].recipients, QStringList{"b@example.net"});
        const QByteArray data = messages[0].data;
        QVERIFY(kMessageId.match(QString::fromLatin1(data.left(data.indexOf("\r\n")))).hasMatch());
        QVERIFY(data.contains("\r\nFROM: Clan Leader <leader@example.org>\r\nTO:  <b@example.net>\r\n"));
        QVERIFY(data.endsWith("\r\n\r\n.\r\n.leading dot\r\nmiddle\r\n.\r\n..two\r\n\r\n"));
        const QJsonObject utf8 = messages[1].decoded;
        QCOMPARE(utf8.value(QStringLiteral("subject")).toString(), subject);
        QCOMPARE(utf8.value(QStringLiteral("from")).toString(),
                 QStringLiteral("Jörg Müller <leader@example.org>"));
        QCOMPARE(utf8.value(QStringLiteral("to")).toString(), QStringLiteral("星 Player <b@example.net>"));
        QCOMPARE(utf8.value(QStringLiteral("body")).toString().remove(QLatin1Char('\r')),
                 QStringLiteral("\n") + longBody + QStringLiteral("\n\n"));
        for (const QByteArray& line : messages[1].data.split('\n'))
            QVERIFY(line.size() <= 999);
    }
};

QTEST_GUILESS_MAIN(SmtpMailerTest)
#include "smtp_mailer_test.moc"
