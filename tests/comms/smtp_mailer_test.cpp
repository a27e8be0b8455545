#include "comms/SmtpMailer.h"
#include "support/CaseRows.h"
#include "support/SmtpSink.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QPointer>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace rm;
using namespace std::chrono_literals;

namespace {

// A server that follows a script: a greeting, and a reply per command word (EHLO, MAIL, RCPT, DATA,
// "." for the end of data, QUIT). An empty reply is silence, "HANGUP" closes the connection. Replies
// of several lines go out in pieces of 4 bytes with pauses between them.
class ScriptedServer : public QObject {
public:
    ScriptedServer() {
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [this] {
            peer = server.nextPendingConnection();
            connect(peer, &QTcpSocket::readyRead, this, [this] { readLines(); });
            reply(replies.value("greeting"));
        });
    }
    QHash<QByteArray, QByteArray> replies{{"greeting", "220 ready\r\n"}, {"EHLO", "250 hello\r\n"},
                                          {"HELO", "250 hello\r\n"},     {"MAIL", "250 ok\r\n"},
                                          {"RCPT", "250 ok\r\n"},        {"DATA", "354 go ahead\r\n"},
                                          {".", "250 queued\r\n"},       {"QUIT", "221 bye\r\n"}};
    QList<QByteArray> commands;
    QTcpServer server;

private:
    void reply(const QByteArray& bytes) {
        if (bytes == "HANGUP")
            return peer->disconnectFromHost();
        const qsizetype size = bytes.count("\r\n") > 1 ? 4 : bytes.size();
        for (qsizetype i = 0; i < bytes.size(); i += size)
            QTimer::singleShot(static_cast<int>(i), this, [p = peer, piece = bytes.mid(i, size)] {
                if (p)
                    p->write(piece);
            });
    }
    void readLines() {
        m_buffer += peer->readAll();
        for (qsizetype end; (end = m_buffer.indexOf("\r\n")) >= 0; m_buffer.remove(0, end + 2)) {
            const QByteArray line = m_buffer.left(end);
            if (m_inData && line != ".")
                continue;
            const QByteArray word = m_inData ? "." : line.split(' ').first().toUpper();
            if (!m_inData)
                commands << line;
            const QByteArray answer = replies.value(word, "500 unknown\r\n");
            m_inData = word == "DATA" && answer.startsWith("354");
            reply(answer);
        }
    }
    QPointer<QTcpSocket> peer;
    QByteArray m_buffer;
    bool m_inData = false;
};

int Send(SmtpMailer& mailer, int port, const QString& body = QStringLiteral("Hello"),
         const QString& host = QStringLiteral("127.0.0.1")) {
    return mailer.sendMailMessage(host, port, QStringLiteral("leader@example.org"),
                                  QStringLiteral("b@example.net"), QStringLiteral("Clan\r\nBcc: evil@x"),
                                  QString(), QStringLiteral("leader@example.org"),
                                  QStringLiteral("Hi\nBcc: evil@x"), body);
}

// Replacements for the scripted server's replies, by command word.
using Script = QList<QPair<QByteArray, QByteArray>>;

// One dialogue: the server's TLS mode ("plain", "starttls", "implicit"; "stall" takes the connection
// and never answers), its certificate and offered login mechanisms, the client's security (0 none,
// 1 STARTTLS, 2 SSL/TLS), the password it logs in with as "clan" (none: no login), whether it may
// log in unencrypted, what send() returns and what the failure text says.
// clang-format off
struct Dialogue { const char *name, *tls, *cert, *mechanisms; int security; const char* password; bool allowPlain; int expected; const char* failure; };
constexpr Dialogue kDialogues[] = {
    {"STARTTLS, PLAIN", "starttls", "good", "PLAIN", 1, "Pa55-secret", false, 1, ""},
    {"SSL/TLS, LOGIN", "implicit", "good", "LOGIN", 2, "Pa55-secret", false, 1, ""},
    {"wrong password", "starttls", "good", "PLAIN,LOGIN", 1, "Pa55-wrong", false, -1,
     "not accept the user name and password.\r\nLast reply from the server: 535 5.7.8 Authentication credentials invalid"},
    {"no STARTTLS", "plain", "", "", 1, "", false, -1, "does not offer STARTTLS"},
    {"login, plain", "plain", "", "PLAIN", 0, "Pa55-secret", false, -1, "not encrypted"},
    {"login, plain allowed", "plain", "", "LOGIN", 0, "Pa55-secret", true, 1, ""},
    {"wrong host", "starttls", "wronghost", "", 1, "", false, -1, "certificate of localhost was refused: it was issued for another host name"},
    {"expired", "implicit", "expired", "", 2, "", false, -1, "certificate of localhost was refused: it has expired"},
    {"untrusted authority", "implicit", "untrusted", "", 2, "", false, -1,
     "certificate of localhost was refused: it is not signed by a trusted certificate authority"},
    {"stalled handshake", "stall", "", "", 2, "", false, 0,
     "within 0.3 seconds while Rallymark waited for the secure connection (TLS handshake)"}};
// clang-format on

} // namespace

// Scripted servers for the dialogue; a real server on loopback (tests/comms/smtp_sink.py) for what
// arrives: as written, as strict servers take it (the message read by Python's email package with the
// default policy, without defects, header lines within the limits, the commands as the server read
// them), and over secured dialogues whose certificates come from a test authority made for this run,
// the only one the client trusts.
class SmtpMailerTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_certs;

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(test::SmtpSink::MakeCertificates(m_certs.path(), &error), qPrintable(error));
    }

    void securedDialogues_data() { test::CaseRows(kDialogues); }
    void securedDialogues() {
        QFETCH(int, row);
        const Dialogue& r = kDialogues[row];
        const QString password = QString::fromLatin1(r.password);
        const bool stall = QLatin1String(r.tls) == "stall";
        QStringList sinkOptions; // the sink accepts the user "clan" with "Pa55-secret"
        if (*r.cert)
            sinkOptions << "--tls" << r.tls << "--cert" << m_certs.filePath(r.cert + QStringLiteral(".pem"))
                        << "--key" << m_certs.filePath(r.cert + QStringLiteral(".key"));
        if (*r.mechanisms)
            sinkOptions += QStringList{"--login", "clan:Pa55-secret", "--mechanisms", r.mechanisms};
        test::SmtpSink sink;
        QTcpServer silent;
        QString error;
        QVERIFY2(stall ? silent.listen(QHostAddress::LocalHost) : sink.start(&error, sinkOptions),
                 qPrintable(error));
        SmtpMailer mailer;
        mailer.setDeadline(stall ? 300ms : 10s);
        mailer.setCaCertificates(QSslCertificate::fromPath(m_certs.filePath(QStringLiteral("ca.pem"))));
        const quint16 port = stall ? silent.serverPort() : sink.port();
        const SmtpServerSettings settings{"localhost",  port,   r.security, !password.isEmpty(),
                                          r.allowPlain, "clan", password};
        QElapsedTimer t;
        t.start();
        QCOMPARE(mailer.send(settings, {"leader@example.org", "b@example.net", "Leader", "", "Match",
                                        "Tonight\n.at nine"}),
                 r.expected);
        QVERIFY(t.elapsed() < 5000);
        QVERIFY2(mailer.failureText().contains(QLatin1String(r.failure)), qPrintable(mailer.failureText()));
        QVERIFY(!mailer.failureText().contains(QStringLiteral("Pa55")));
        const auto messages = sink.messages();
        QCOMPARE(messages.size(), r.expected == 1 ? 1 : 0);
        // The wording of the message is checked over plain connections; here that it arrives whole.
        QVERIFY(r.expected != 1 || (messages[0].recipients == QStringList{"b@example.net"} &&
                                    messages[0].data.endsWith("\r\n\r\nTonight\r\n.at nine\r\n\r\n")));
    }

    // An empty rcpt means the recipient is refused before anything is sent.
    void strictDelivery_data() {
        for (const char* column : {"sender", "recipientName", "recipient", "subject", "rcpt"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<bool>("smtputf8");
        const QString ann = "ann@example.net", plain = "RCPT TO:<ann@example.net>";
        const auto row = [](const char* name, const QString& sender, const QString& recipientName,
                            const QString& recipient, const QString& subject, const QString& rcpt,
                            bool utf8) {
            QTest::newRow(name) << sender << recipientName << recipient << subject << rcpt << utf8;
        };
        row("specials in names", "Smith, John (Leader)", "Ann \"Ace\" O'Neil\\Team", ann, "Practice", plain,
            false);
        row("non-ASCII names", "Jürgen Groß, Kapitän", "星 Player", ann, "Grüße", plain, false);
        row("long subject", "Clan", "", ann, QString("At eight ").repeated(120).trimmed(), plain, false);
        row("subject without blanks", "Clan", "", ann, QString(1000, 'x'), plain, false);
        row("long non-ASCII subject", "Clan", "", ann, QString("Grüße, ").repeated(40) + "星", plain, false);
        row("SMTPUTF8", "Clan", "Jürgen", "jürgen@club.example", "Hi", "RCPT TO:<jürgen@club.example>", true);
        row("IDNA domain", "Clan", "", "ann@bücher.example", "Hi", "RCPT TO:<ann@xn--bcher-kva.example>",
            false);
        row("no SMTPUTF8", "Clan", "", "jürgen@club.example", "Hi", "", false);
    }
    void strictDelivery() {
        QFETCH(QString, sender);
        QFETCH(QString, recipientName);
        QFETCH(QString, recipient);
        QFETCH(QString, subject);
        QFETCH(QString, rcpt);
        QFETCH(bool, smtputf8);
        test::SmtpSink sink;
        QString error;
        QVERIFY2(sink.start(&error, smtputf8 ? QStringList{"--smtputf8"} : QStringList{}), qPrintable(error));
        SmtpMailer mailer;
        const int result =
            mailer.send({"127.0.0.1", sink.port(), 0, false, false, {}, {}},
                        {"leader@example.org", recipient, sender, recipientName, subject, "Body"});
        const QStringList dialogue = sink.dialogue();
        // EHLO gives a fully qualified name, or else the address of this end.
        const QString ehlo = dialogue.value(0);
        QVERIFY2(ehlo == "EHLO [127.0.0.1]" ||
                     (ehlo.startsWith("EHLO ") && ehlo.contains('.') && !ehlo.contains('[')),
                 qPrintable(ehlo));
        if (rcpt.isEmpty()) {
            QVERIFY2(result == SendFailed &&
                         mailer.failureText().contains("<" + recipient + "> has characters"),
                     qPrintable(mailer.failureText()));
            QCOMPARE(dialogue.size(), 1);
            return;
        }
        QCOMPARE(result, int(SendAccepted));
        const QJsonObject decoded = sink.messages().value(0).decoded;
        QStringList defects = decoded.value("defects").toVariant().toStringList();
        if (smtputf8)
            defects.removeAll("NonASCIILocalPartDefect"); // the parser flags every UTF-8 local part
        QCOMPARE(defects, QStringList());
        QCOMPARE(decoded.value("subject").toString(), subject);
        QCOMPARE(decoded.value("from_mailboxes").toArray(),
                 (QJsonArray{QJsonArray{sender, "leader@example.org"}}));
        QCOMPARE(decoded.value("to_mailboxes").toArray(),
                 (QJsonArray{QJsonArray{recipientName, rcpt.mid(9).chopped(1)}}));
        const QByteArray data = sink.messages().value(0).data;
        static const QRegularExpression tooLongWord("=\\?[^?]+\\?[BbQq]\\?[^?]{64,}\\?=");
        for (const QByteArray& line : data.left(data.indexOf("\r\n\r\n")).split('\n'))
            QVERIFY2(line.size() <= (line.contains("=?") ? 77 : 79) && !tooLongWord.match(line).hasMatch(),
                     line);
        QCOMPARE(
            dialogue.mid(1),
            (QStringList{"MAIL FROM:<leader@example.org>" + QString(smtputf8 ? " SMTPUTF8" : ""), rcpt}));
    }

    void misbehavingServers_data() {
        QTest::addColumn<Script>("script");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("commands");    // how many commands the server saw, -1: not checked
        QTest::addColumn<QString>("failure"); // part of the failure text
        const auto row = [](const QString& name, const Script& script, int expected, int commands,
                            const char* failure = "") {
            QTest::newRow(qPrintable(name)) << script << expected << commands << QString::fromLatin1(failure);
        };
        // Replies of several lines.
        row("multi-line",
            {{"greeting", "220-scripted.example\r\n220-more\r\n220 ready\r\n"},
             {"EHLO", "250-scripted.example\r\n250-SIZE 1000\r\n250 HELP\r\n"}},
            1, 5);
        // HELO only when EHLO is refused as unknown; any other refusal ends the send at once (see
        // "421 at EHLO").
        row("502 to EHLO", {{"EHLO", "502 what?\r\n"}}, 1, 6);
        // The end of data answered together with the goodbye; QUIT then ignored.
        row("merged", {{".", "250 queued\r\n221 closing\r\n"}, {"QUIT", ""}}, 1, -1);
        row("550 at RCPT", {{"RCPT", "550 no such user\r\n"}}, -1, 3,
            "recipient address <b@example.net>.\r\nLast reply from the server: 550 no such user");
        // Closing the connection mid-dialogue is an error at once, not a wait for the deadline.
        row("hangs up", {{"MAIL", "HANGUP"}}, -1, 2, "waited for the reply to MAIL FROM");
        // Silence ends the send at the deadline with 0.
        row("silent", {{"greeting", ""}}, 0, 0,
            "within 0.25 seconds while Rallymark waited for the greeting");
        // A reply that is not the awaited one ends the send at once; once the message is accepted,
        // QUIT cannot undo that.
        const QList<const char*> steps{"greeting", "EHLO", "MAIL", "RCPT", "DATA", ".", "QUIT"};
        for (int i = 0; i < steps.size(); ++i)
            row(QStringLiteral("421 at %1").arg(QLatin1String(steps[i])),
                {{steps[i], "421 closing down\r\n"}}, i == 6 ? 1 : -1, i - (i >= 5 ? 1 : 0));
    }
    void misbehavingServers() {
        QFETCH(Script, script);
        QFETCH(int, expected);
        QFETCH(int, commands);
        QFETCH(QString, failure);
        ScriptedServer server;
        for (const auto& [word, reply] : script)
            server.replies[word] = reply;
        SmtpMailer mailer;
        mailer.setDeadline(expected == 0 ? 250ms : 10s);
        int ticks = 0; // the event loop keeps running while the mailer waits
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
        ticker.start(10);
        QElapsedTimer t;
        t.start();
        QCOMPARE(Send(mailer, server.server.serverPort(), QStringLiteral("Hello\r\n.\r\nworld")), expected);
        QVERIFY(t.elapsed() < 5000);
        QVERIFY(expected != 0 || (ticks >= 5 && t.elapsed() >= 240));
        QVERIFY(commands < 0 || server.commands.size() == commands);
        QVERIFY2(mailer.failureText().contains(failure), qPrintable(mailer.failureText()));
        QCOMPARE(mailer.connectionHandle(), 0); // closed however the dialogue ended
        // The mailer is ready for the next message.
        ScriptedServer good;
        QCOMPARE(Send(mailer, good.server.serverPort()), 1);
        QCOMPARE(good.commands.size(), 5);
        // A name that does not resolve (a refused connection: frmsmtp_test).
        QCOMPARE(Send(mailer, 25, QStringLiteral("x"), QStringLiteral("no-such-host.invalid")), -1);
        QCOMPARE(mailer.failureText(),
                 QStringLiteral("The server name \"no-such-host.invalid\" could not be found."));
    }

    // A server reachable over IPv6 only.
    void reachedOverIpv6() {
        ScriptedServer server;
        server.server.close();
        if (!server.server.listen(QHostAddress::LocalHostIPv6))
            QSKIP("no IPv6 loopback here");
        SmtpMailer mailer;
        QCOMPARE(Send(mailer, server.server.serverPort(), QStringLiteral("Hello"), QStringLiteral("::1")), 1);
        QCOMPARE(server.commands.size(), 5);
    }

    // Delivered to a real server: line breaks cannot smuggle in headers; the body arrives as written,
    // lone dots, long lines and UTF-8 included; message identifiers never repeat. (Non-ASCII names and
    // subjects: strictDelivery.)
    void deliveredToARealServer() {
        test::SmtpSink sink;
        QString error;
        QVERIFY2(sink.start(&error), qPrintable(error));
        SmtpMailer mailer;
        QCOMPARE(Send(mailer, sink.port(), QStringLiteral(".\n.leading dot\r\nmiddle\r.\r\n..two")), 1);
        const QString longBody =
            QString(3000, QLatin1Char('x')) + QStringLiteral("\n.") + QString(100, QChar(0x661F)) +
            QStringLiteral("\nA line of the long message, with some text to make it longer.").repeated(3000);
        QCOMPARE(Send(mailer, sink.port(), longBody, QStringLiteral("localhost")), 1);
        const auto messages = sink.messages();
        QCOMPARE(messages.size(), 2);
        const QByteArray data = messages[0].data;
        QVERIFY(
            data.contains("\r\nFROM: \"ClanBcc: evil@x\" <leader@example.org>\r\nTO: <b@example.net>\r\n"));
        QVERIFY(data.contains("\r\nSUBJECT: HiBcc: evil@x\r\n"));
        QVERIFY(data.endsWith("\r\n\r\n.\r\n.leading dot\r\nmiddle\r\n.\r\n..two\r\n\r\n"));
        QCOMPARE(messages[1].decoded.value(QStringLiteral("body")).toString().remove(QLatin1Char('\r')),
                 QStringLiteral("\n") + longBody + QStringLiteral("\n\n"));
        for (const QByteArray& line : messages[1].data.split('\n'))
            QVERIFY(line.size() <= 999);
        const QRegularExpression id(QStringLiteral("^Message-ID: <\\d{14}\\.\\d{5}\\.qmail@(.*)>\r$"));
        QVERIFY(id.match(QString::fromLatin1(data.left(data.indexOf('\n') + 1))).hasMatch());
        QSet<QString> ids;
        for (int i = 0; i < 200; ++i)
            ids << MakeMessageId(QStringLiteral("example.org"));
        QCOMPARE(ids.size(), 200);
    }
};

QTEST_GUILESS_MAIN(SmtpMailerTest)
#include "smtp_mailer_test.moc"
