#include "comms/SmtpMailer.h"
#include "support/SmtpSink.h"

#include <QElapsedTimer>
#include <QSslCertificate>
#include <QTcpServer>
#include <QtTest>

using namespace rm;
using namespace std::chrono_literals;

// Secured dialogues with a real server on loopback, whose certificates come from a test authority
// made for this run; the client trusts that authority only.
class SmtpTlsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_certs;

    // The sink's options: "plain", "starttls" or "implicit" with a certificate, and the login
    // mechanisms it offers for the user "clan" with "Pa55-secret". "stall": a server that takes the
    // connection and never answers.
    QStringList server(const QString& tls, const QString& cert = QString(),
                       const QString& mechanisms = QString()) {
        QStringList options = tls == QLatin1String("stall") ? QStringList{tls} : QStringList();
        if (!cert.isEmpty())
            options = QStringList{"--tls",  tls,
                                  "--cert", m_certs.filePath(cert + ".pem"),
                                  "--key",  m_certs.filePath(cert + ".key")};
        if (!mechanisms.isEmpty())
            options += QStringList{"--login", "clan:Pa55-secret", "--mechanisms", mechanisms};
        return options;
    }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(test::SmtpSink::MakeCertificates(m_certs.path(), &error), qPrintable(error));
    }

    void securedDialogues_data() {
        QTest::addColumn<QStringList>("sinkOptions");
        QTest::addColumn<int>("security");
        QTest::addColumn<QString>("password"); // the client logs in as "clan" with it; empty: no login
        QTest::addColumn<bool>("allowPlain");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("failure");
        const QString good = QStringLiteral("Pa55-secret");
        QTest::newRow("STARTTLS, PLAIN")
            << server("starttls", "good", "PLAIN") << 1 << good << false << 1 << "";
        QTest::newRow("SSL/TLS, LOGIN")
            << server("implicit", "good", "LOGIN") << 2 << good << false << 1 << "";
        QTest::newRow("SSL/TLS") << server("implicit", "good") << 2 << "" << false << 1 << "";
        QTest::newRow("wrong password")
            << server("starttls", "good", "PLAIN,LOGIN") << 1 << "Pa55-wrong" << false << -1
            << "not accept the user name and password.\r\nLast reply from the server: 535 5.7.8 "
               "Authentication "
               "credentials invalid";
        QTest::newRow("no STARTTLS") << server("plain") << 1 << "" << false << -1
                                     << "does not offer STARTTLS";
        QTest::newRow("login, plain")
            << server("plain", {}, "PLAIN") << 0 << good << false << -1 << "not encrypted";
        QTest::newRow("login, plain allowed") << server("plain", {}, "LOGIN") << 0 << good << true << 1 << "";
        QTest::newRow("wrong host")
            << server("starttls", "wronghost") << 1 << "" << false << -1
            << "certificate of localhost was refused: it was issued for another host name";
        QTest::newRow("expired") << server("implicit", "expired") << 2 << "" << false << -1
                                 << "certificate of localhost was refused: it has expired";
        QTest::newRow("untrusted authority")
            << server("implicit", "untrusted") << 2 << "" << false << -1
            << "certificate of localhost was refused: it is not signed by a trusted certificate authority";
        QTest::newRow("stalled handshake") << server("stall") << 2 << "" << false << 0
                                           << "within 0.3 seconds while Rallymark waited for the secure "
                                              "connection (TLS handshake)";
    }
    void securedDialogues() {
        QFETCH(QStringList, sinkOptions);
        QFETCH(int, security);
        QFETCH(QString, password);
        QFETCH(bool, allowPlain);
        QFETCH(int, expected);
        QFETCH(QString, failure);
        const bool stall = sinkOptions == QStringList{"stall"};
        test::SmtpSink sink;
        QTcpServer silent;
        QString error;
        QVERIFY2(stall ? silent.listen(QHostAddress::LocalHost) : sink.start(&error, sinkOptions),
                 qPrintable(error));
        SmtpMailer mailer;
        mailer.setDeadline(stall ? 300ms : 10s);
        mailer.setCaCertificates(QSslCertificate::fromPath(m_certs.filePath(QStringLiteral("ca.pem"))));
        const SmtpServerSettings settings{"localhost", stall ? silent.serverPort() : sink.port(),
                                          security,    !password.isEmpty(),
                                          allowPlain,  "clan",
                                          password};
        QElapsedTimer t;
        t.start();
        QCOMPARE(mailer.send(settings, {"leader@example.org", "b@example.net", "Leader", "", "Match",
                                        "Tonight\n.at nine"}),
                 expected);
        QVERIFY(t.elapsed() < 5000);
        QVERIFY2(mailer.failureText().contains(failure), qPrintable(mailer.failureText()));
        QVERIFY(!mailer.failureText().contains(QStringLiteral("Pa55")));
        const auto messages = sink.messages();
        QCOMPARE(messages.size(), expected == 1 ? 1 : 0);
        if (expected == 1) {
            QCOMPARE(messages[0].recipients, QStringList{QStringLiteral("b@example.net")});
            QVERIFY(messages[0].data.startsWith("Message-ID: <"));
            QVERIFY(
                messages[0].data.contains("\r\nFROM: Leader <leader@example.org>\r\nTO:  <b@example.net>\r\n"
                                          "SUBJECT: Match\r\n"));
            QVERIFY(messages[0].data.endsWith("\r\n\r\nTonight\r\n.at nine\r\n\r\n"));
        }
    }
};

QTEST_GUILESS_MAIN(SmtpTlsTest)
#include "smtp_tls_test.moc"
