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

    // The sink's options: "plain", "starttls <cert>" or "implicit <cert>", optionally with a login
    // it accepts and the mechanisms it offers.
    QStringList server(const QString& tls, const QString& cert = QString(),
                       const QString& mechanisms = QString()) {
        QStringList options;
        if (tls != QLatin1String("plain"))
            options << QStringLiteral("--tls") << tls << QStringLiteral("--cert")
                    << m_certs.filePath(cert + ".pem") << QStringLiteral("--key")
                    << m_certs.filePath(cert + ".key");
        if (!mechanisms.isEmpty())
            options << QStringLiteral("--login") << QStringLiteral("clan:Pa55-secret")
                    << QStringLiteral("--mechanisms") << mechanisms;
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
        QTest::newRow("STARTTLS") << server("starttls", "good") << 1 << QString() << false << 1 << QString();
        QTest::newRow("SSL/TLS") << server("implicit", "good") << 2 << QString() << false << 1 << QString();
        QTest::newRow("STARTTLS, AUTH PLAIN")
            << server("starttls", "good", "PLAIN") << 1 << good << false << 1 << QString();
        QTest::newRow("SSL/TLS, AUTH LOGIN")
            << server("implicit", "good", "LOGIN") << 2 << good << false << 1 << QString();
        QTest::newRow("wrong password")
            << server("starttls", "good", "PLAIN,LOGIN") << 1 << QStringLiteral("Pa55-wrong") << false << -1
            << QStringLiteral("did not accept the user name and password.\r\n"
                              "Last reply from the server: 535 5.7.8 Authentication credentials invalid");
        QTest::newRow("no STARTTLS offered")
            << server("plain") << 1 << QString() << false << -1 << QStringLiteral("does not offer STARTTLS");
        QTest::newRow("login over plain refused")
            << server("plain", {}, "PLAIN") << 0 << good << false << -1 << QStringLiteral("not encrypted");
        QTest::newRow("login over plain allowed")
            << server("plain", {}, "LOGIN") << 0 << good << true << 1 << QString();
        QTest::newRow("wrong host") << server("starttls", "wronghost") << 1 << QString() << false << -1
                                    << QStringLiteral(
                                           "certificate of localhost was refused: it was issued for "
                                           "another host name");
        QTest::newRow("untrusted authority")
            << server("implicit", "untrusted") << 2 << QString() << false << -1
            << QStringLiteral("certificate of localhost was refused: it is not signed by a trusted");
    }
    void securedDialogues() {
        QFETCH(QStringList, sinkOptions);
        QFETCH(int, security);
        QFETCH(QString, password);
        QFETCH(bool, allowPlain);
        QFETCH(int, expected);
        QFETCH(QString, failure);
        test::SmtpSink sink;
        QString error;
        QVERIFY2(sink.start(&error, sinkOptions), qPrintable(error));
        SmtpMailer mailer;
        mailer.setDeadline(10s);
        mailer.setCaCertificates(QSslCertificate::fromPath(m_certs.filePath(QStringLiteral("ca.pem"))));
        const SmtpServerSettings settings{
            QStringLiteral("localhost"), sink.port(), security, !password.isEmpty(), allowPlain,
            QStringLiteral("clan"),      password};
        QCOMPARE(mailer.send(settings, {QStringLiteral("leader@example.org"), QStringLiteral("b@example.net"),
                                        QStringLiteral("Leader"), QString(), QStringLiteral("Match"),
                                        QStringLiteral("Tonight\n.at nine")}),
                 expected);
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

    // A server that takes the connection and never answers the handshake: the send ends at the
    // deadline and says where it stuck.
    void stalledHandshakeEndsAtTheDeadline() {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        SmtpMailer mailer;
        mailer.setDeadline(300ms);
        QElapsedTimer t;
        t.start();
        SmtpServerSettings settings{QStringLiteral("localhost"),
                                    silent.serverPort(),
                                    SecuritySslTls,
                                    false,
                                    false,
                                    QString(),
                                    QString()};
        QCOMPARE(mailer.send(settings, {QStringLiteral("a@example.org"), QStringLiteral("b@example.net"),
                                        QString(), QString(), QString(), QString()}),
                 0);
        QVERIFY(t.elapsed() < 3000);
        QVERIFY2(
            mailer.failureText().contains(QStringLiteral("within 0.3 seconds while Rallymark waited for the "
                                                         "secure connection (TLS handshake)")),
            qPrintable(mailer.failureText()));
    }
};

QTEST_GUILESS_MAIN(SmtpTlsTest)
#include "smtp_tls_test.moc"
