#include "comms/SmtpMailer.h"
#include "support/SmtpSink.h"

#include <QElapsedTimer>
#include <QSslCertificate>
#include <QTcpServer>
#include <QtTest>

using namespace rm;
using namespace std::chrono_literals;

namespace {

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

// Secured dialogues with a real server on loopback, whose certificates come from a test authority
// made for this run; the client trusts that authority only.
class SmtpTlsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_certs;

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(test::SmtpSink::MakeCertificates(m_certs.path(), &error), qPrintable(error));
    }

    void securedDialogues_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kDialogues)); ++row)
            QTest::newRow(kDialogues[row].name) << row;
    }
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
};

QTEST_GUILESS_MAIN(SmtpTlsTest)
#include "smtp_tls_test.moc"
