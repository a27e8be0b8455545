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

// A server that follows a script: a greeting, and a reply per command word (HELO, MAIL, RCPT, DATA,
// "." for the end of data, QUIT). An empty reply is silence, "HANGUP" closes the connection. With
// split set, every reply goes out in small pieces with pauses between them.
class ScriptedServer : public QObject {
public:
    ScriptedServer() {
        replies = {{"HELO", "250 hello\r\n"},        {"MAIL", "250 sender ok\r\n"},
                   {"RCPT", "250 recipient ok\r\n"}, {"DATA", "354 go ahead\r\n"},
                   {".", "250 queued\r\n"},          {"QUIT", "221 bye\r\n"}};
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [this] {
            peer = server.nextPendingConnection();
            connect(peer, &QTcpSocket::readyRead, this, [this] { readLines(); });
            reply(greeting);
        });
    }
    int port() const { return server.serverPort(); }

    QByteArray greeting = "220 scripted ready\r\n";
    QHash<QByteArray, QByteArray> replies;
    bool split = false;
    QList<QByteArray> commands;
    QByteArray data;

private:
    void reply(const QByteArray& bytes) {
        if (bytes == "HANGUP") {
            peer->disconnectFromHost();
            return;
        }
        if (!split) {
            peer->write(bytes);
            return;
        }
        for (qsizetype i = 0; i < bytes.size(); i += 4) {
            QPointer<QTcpSocket> p = peer;
            const QByteArray piece = bytes.mid(i, 4);
            QTimer::singleShot(static_cast<int>(i) * 3, this, [p, piece] {
                if (p) {
                    p->write(piece);
                    p->flush();
                }
            });
        }
    }

    void readLines() {
        m_buffer += peer->readAll();
        qsizetype end;
        while ((end = m_buffer.indexOf("\r\n")) >= 0) {
            const QByteArray line = m_buffer.left(end);
            m_buffer.remove(0, end + 2);
            if (m_inData) {
                if (line == ".") {
                    m_inData = false;
                    reply(replies.value("."));
                } else {
                    data += line + "\r\n";
                }
                continue;
            }
            commands << line;
            const QByteArray word = line.split(' ').first().toUpper();
            const QByteArray answer = replies.value(word, "500 unknown\r\n");
            if (word == "DATA" && answer.startsWith("354"))
                m_inData = true;
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

    void messageIdsAndRandomNumbers() {
        QSet<QString> ids;
        for (int i = 0; i < 200; ++i) {
            const QString id = MakeMessageId(QStringLiteral("example.org"));
            const auto match = kMessageId.match(id);
            QVERIFY2(match.hasMatch(), qPrintable(id));
            QCOMPARE(match.captured(1), QStringLiteral("example.org"));
            ids << id;
        }
        QCOMPARE(ids.size(), 200); // never the same identifier twice in a batch
        QSet<qint64> seen;
        for (int i = 0; i < 300; ++i) {
            const qint64 v = RandomInRange(1, 3);
            QVERIFY(v == 2 || v == 3);
            seen << v;
        }
        QCOMPARE(seen.size(), 2);
        QCOMPARE(MailDomain(QStringLiteral("a@b@example.org")), QStringLiteral("b@example.org"));
        QCOMPARE(MailDomain(QStringLiteral("leader")), QStringLiteral("leader"));
        QCOMPARE(
            MailDateText(QDateTime(QDate(2005, 6, 12), QTime(9, 5, 7), Qt::OffsetFromUTC, -5 * 3600 - 1800)),
            QStringLiteral("Sun, 12 Jun 2005 09:05:07 -0530"));
    }

    void plainMessageLines() {
        const MailMessage m{
            QStringLiteral("a@example.org"),       QStringLiteral("b@example.net"),
            QStringLiteral("Clan\r\nBcc: evil@x"), QString(),
            QStringLiteral("Hi\nBcc: evil@x"),     QStringLiteral("one\nstill.\r.\rtwo\r\n.three")};
        const QList<QByteArray> lines =
            BuildMessageLines(m, QStringLiteral("Message-ID: <1.2.qmail@x>"), m_clock.now());
        QCOMPARE(lines.join(), QByteArray("Message-ID: <1.2.qmail@x>\r\n"
                                          "DATE: Sun, 06 Dec 2026 21:05:07 +0100\r\n"
                                          "FROM: ClanBcc: evil@x <a@example.org>\r\n"
                                          "TO:  <b@example.net>\r\n"
                                          "SUBJECT: HiBcc: evil@x\r\n"
                                          "MIME-Version: 1.0\r\n"
                                          "Content-Type: text/plain; charset=us-ascii\r\n"
                                          "\r\n\r\n"
                                          "one\r\nstill.\r\n..\r\ntwo\r\n..three\r\n"
                                          "\r\n.\r\n"));
    }

    void utf8MessageLines() {
        const MailMessage m{QStringLiteral("a@example.org"), QStringLiteral("b@example.net"),
                            QStringLiteral("Jörg"),          QStringLiteral("星"),
                            QStringLiteral("Grüße"),         QStringLiteral("Größe = 3 \n.x")};
        const QByteArray text =
            BuildMessageLines(m, QStringLiteral("Message-ID: <1.2.qmail@x>"), m_clock.now()).join();
        QVERIFY(text.contains("FROM: =?utf-8?B?SsO2cmc=?= <a@example.org>\r\n"));
        QVERIFY(text.contains("TO: =?utf-8?B?5pif?= <b@example.net>\r\n"));
        QVERIFY(text.contains("SUBJECT: =?utf-8?B?R3LDvMOfZQ==?=\r\n"));
        QVERIFY(text.contains("Content-Type: text/plain; charset=utf-8\r\n"
                              "Content-Transfer-Encoding: quoted-printable\r\n\r\n\r\n"
                              "Gr=C3=B6=C3=9Fe =3D 3=20\r\n..x\r\n\r\n.\r\n"));
    }

    void replyReader() {
        SmtpReplyReader reader;
        QCOMPARE(reader.feed("22"), QList<int>());
        QCOMPARE(reader.feed("0-first\r\n220-second\r"), QList<int>());
        QCOMPARE(reader.feed("\n220 last\r\n250 a\r\n354"), (QList<int>{220, 250}));
        QCOMPARE(reader.feed(" go\n2x1 odd\r\n\r\n"), (QList<int>{354, 2, 0}));
        QCOMPARE(SmtpReplyReader::replyCode("5501 x"), 550);
    }

    // Greeting of several lines in pieces, replies split across reads, a multi-line reply to HELO.
    void scriptedDialogueInPieces() {
        ScriptedServer server;
        server.split = true;
        server.greeting = "220-scripted.example ESMTP\r\n220-second line\r\n220 ready\r\n";
        server.replies["HELO"] = "250-scripted.example\r\n250-SIZE 1000\r\n250 HELP\r\n";
        SmtpMailer mailer;
        QCOMPARE(Send(mailer, server.port(), QStringLiteral("Hello\r\n.\r\nworld")), 1);
        QCOMPARE(server.commands, (QList<QByteArray>{"HELO example.org", "MAIL FROM: <leader@example.org>",
                                                     "RCPT TO: <b@example.net>", "DATA", "QUIT"}));
        QVERIFY(server.data.endsWith("\r\n\r\nHello\r\n..\r\nworld\r\n\r\n"));
        QCOMPARE(mailer.progressStep(), 6);
        QCOMPARE(mailer.replyCode(), 221);
    }

    // Two replies in one read both count: the server answers the end of data and says goodbye at
    // once, then ignores QUIT.
    void mergedReplies() {
        ScriptedServer server;
        server.replies["."] = "250 queued\r\n221 closing\r\n";
        server.replies["QUIT"] = "";
        SmtpMailer mailer;
        mailer.setDeadline(10s);
        QElapsedTimer t;
        t.start();
        QCOMPARE(Send(mailer, server.port()), 1);
        QVERIFY(t.elapsed() < 5000);
    }

    void refusedRecipient() {
        ScriptedServer server;
        server.replies["RCPT"] = "550 no such user\r\n";
        SmtpMailer mailer;
        QCOMPARE(Send(mailer, server.port()), -1);
        QCOMPARE(server.commands.size(), 3); // no DATA
        QVERIFY(mailer.errorFlagged());
    }

    void timeoutAtEveryStep_data() {
        QTest::addColumn<QByteArray>("step");
        for (const char* step : {"greeting", "HELO", "MAIL", "RCPT", "DATA", ".", "QUIT"})
            QTest::newRow(step) << QByteArray(step);
        QTest::newRow("silent") << QByteArray("silent");
    }
    // 421 (or nothing at all) is no progress: the send ends at the deadline with 0, connection closed.
    void timeoutAtEveryStep() {
        QFETCH(QByteArray, step);
        ScriptedServer server;
        if (step == "greeting")
            server.greeting = "421 busy\r\n";
        else if (step == "silent")
            server.greeting = "";
        else
            server.replies[step] = "421 closing down\r\n";
        SmtpMailer mailer;
        mailer.setDeadline(250ms);
        // The event loop keeps running while the mailer waits.
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
        ticker.start(10);
        QElapsedTimer t;
        t.start();
        QCOMPARE(Send(mailer, server.port()), 0);
        QVERIFY(ticks >= 5);
        QVERIFY(t.elapsed() >= 240);
        QVERIFY(t.elapsed() < 5000);
        QCOMPARE(mailer.connectionHandle(), 0);
    }

    void failuresWithoutAServer() {
        SmtpMailer mailer;
        mailer.setDeadline(5s);
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        QCOMPARE(Send(mailer, port), -1); // connection refused
        QCOMPARE(Send(mailer, 65535), -1);
        QCOMPARE(Send(mailer, 25, QStringLiteral("x"), QStringLiteral("no-such-host.invalid")), -1);
    }

    // The server hangs up in the middle of the dialogue: an error at once, not a wait for the deadline.
    void serverHangsUp() {
        ScriptedServer server;
        server.replies["MAIL"] = "HANGUP";
        SmtpMailer mailer;
        mailer.setDeadline(20s);
        QElapsedTimer t;
        t.start();
        QCOMPARE(Send(mailer, server.port()), -1);
        QVERIFY(t.elapsed() < 5000);
        QCOMPARE(mailer.connectionHandle(), 0);
        // The mailer is ready for the next message.
        ScriptedServer good;
        QCOMPARE(Send(mailer, good.port()), 1);
    }

    void deliveredToARealServer() {
        m_sink.clear();
        SmtpMailer mailer;
        const QString body = QStringLiteral(".\n.leading dot\r\nmiddle\r.\r\n..two");
        QCOMPARE(Send(mailer, m_sink.port(), body), 1);
        const auto messages = m_sink.messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].mailFrom, QStringLiteral("leader@example.org"));
        QCOMPARE(messages[0].recipients, QStringList{QStringLiteral("b@example.net")});
        const QByteArray data = messages[0].data;
        const qsizetype firstLineEnd = data.indexOf("\r\n");
        QVERIFY(kMessageId.match(QString::fromLatin1(data.left(firstLineEnd))).hasMatch());
        QCOMPARE(data.mid(firstLineEnd + 2), QByteArray("DATE: Sun, 06 Dec 2026 21:05:07 +0100\r\n"
                                                        "FROM: Clan Leader <leader@example.org>\r\n"
                                                        "TO:  <b@example.net>\r\n"
                                                        "SUBJECT: Match tonight\r\n"
                                                        "MIME-Version: 1.0\r\n"
                                                        "Content-Type: text/plain; charset=us-ascii\r\n"
                                                        "\r\n\r\n"
                                                        ".\r\n.leading dot\r\nmiddle\r\n.\r\n..two\r\n"
                                                        "\r\n"));
    }

    void utf8AndLongBodiesToARealServer() {
        m_sink.clear();
        SmtpMailer mailer;
        QString longBody;
        for (int i = 0; i < 3000; ++i)
            longBody +=
                QStringLiteral("Line %1 of the long message, with some text to make it longer.\n").arg(i);
        longBody += QString(3000, QLatin1Char('x')) + QStringLiteral("\n.") + QString(100, QChar(0x661F));
        QCOMPARE(mailer.sendMailMessage(QStringLiteral("localhost"), m_sink.port(),
                                        QStringLiteral("leader@example.org"), QStringLiteral("b@example.net"),
                                        QStringLiteral("Jörg Müller"), QStringLiteral("星 Player"), QString(),
                                        QStringLiteral("Grüße an alle, ") + QString(40, QChar(0x661F)),
                                        longBody),
                 1);
        QCOMPARE(mailer.sendMailMessage(QStringLiteral("localhost"), m_sink.port(),
                                        QStringLiteral("leader@example.org"), QStringLiteral("b@example.net"),
                                        QStringLiteral("Leader"), QString(), QString(),
                                        QStringLiteral("Plain"), QString(5000, QLatin1Char('y'))),
                 1);
        const auto messages = m_sink.messages();
        QCOMPARE(messages.size(), 2);
        const QJsonObject utf8 = messages[0].decoded;
        QCOMPARE(utf8.value(QStringLiteral("subject")).toString(),
                 QStringLiteral("Grüße an alle, ") + QString(40, QChar(0x661F)));
        QCOMPARE(utf8.value(QStringLiteral("from")).toString(),
                 QStringLiteral("Jörg Müller <leader@example.org>"));
        QCOMPARE(utf8.value(QStringLiteral("to")).toString(), QStringLiteral("星 Player <b@example.net>"));
        QCOMPARE(utf8.value(QStringLiteral("charset")).toString(), QStringLiteral("utf-8"));
        QString expected = QStringLiteral("\n") + longBody + QStringLiteral("\n\n");
        QCOMPARE(utf8.value(QStringLiteral("body")).toString().remove(QLatin1Char('\r')), expected);
        for (const QByteArray& line : messages[0].data.split('\n'))
            QVERIFY(line.size() <= 999);
        const QJsonObject plain = messages[1].decoded;
        QCOMPARE(plain.value(QStringLiteral("charset")).toString(), QStringLiteral("us-ascii"));
        QCOMPARE(plain.value(QStringLiteral("body")).toString().remove(QLatin1Char('\r')),
                 QStringLiteral("\n") + QString(5000, QLatin1Char('y')) + QStringLiteral("\n\n"));
    }
};

QTEST_GUILESS_MAIN(SmtpMailerTest)
#include "smtp_mailer_test.moc"
