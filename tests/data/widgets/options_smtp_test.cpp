#include "comms/SmtpMailer.h"
#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/OptionsForm.h"
#include "data/SecretStore.h"
#include "data/widgets/frmOptions.h"
#include "support/RecordingSink.h"
#include "support/SmtpSink.h"
#include "support/TestDatabase.h"
#include "support/WidgetQueries.h"
#include "ui/WindowRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSslCertificate>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace rm;
using test::child;

namespace {

const QString kPassword = QStringLiteral("Pa55-secret");

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class OptionsSmtpTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    test::SmtpSink m_sink;
    MemorySecretStore m_secrets;

    std::unique_ptr<frmOptions> openOptions() {
        if (!HasModalDialog(QStringLiteral("frmOptions")))
            RegisterAllWindows();
        std::unique_ptr<frmOptions> d(
            static_cast<frmOptions*>(CreateModalDialog(QStringLiteral("frmOptions"), nullptr)));
        d->prepare();
        return d;
    }
    void set(QObject* d, const char* name, const QString& text) {
        child<QLineEdit>(d, QString::fromLatin1(name))->setText(text);
    }
    void click(QObject* d, const char* name) {
        child<QAbstractButton>(d, QString::fromLatin1(name))->click();
    }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(test::SmtpSink::MakeCertificates(m_dir.path(), &error), qPrintable(error));
        QVERIFY2(m_sink.start(&error, {"--tls", "starttls", "--cert", m_dir.filePath("good.pem"), "--key",
                                       m_dir.filePath("good.key"), "--login", "clan:" + kPassword}),
                 qPrintable(error));
        Mailer().setCaCertificates(QSslCertificate::fromPath(m_dir.filePath(QStringLiteral("ca.pem"))));
        SetSecretStore(&m_secrets);
        SetSettingsFile(m_dir.filePath(QStringLiteral("settings.ini")));
    }
    void cleanupTestCase() {
        SetSecretStore(nullptr);
        SetSettingsFile(QString());
    }

    void proposedPorts_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<int>("security");
        QTest::addColumn<QString>("expected");
        QTest::newRow("25 to STARTTLS") << "25" << false << 1 << "587";
        QTest::newRow("587 to SSL/TLS") << "587" << false << 2 << "465";
        QTest::newRow("old default 26 to none") << "26" << false << 0 << "25";
        QTest::newRow("empty") << "" << false << 2 << "465";
        QTest::newRow("a port of one's own") << "2525" << false << 1 << "2525";
        QTest::newRow("typed by hand") << "587" << true << 2 << "587";
        QTest::newRow("typed empty") << "" << true << 1 << "587";
    }
    void proposedPorts() {
        QFETCH(QString, port);
        QFETCH(bool, typed);
        QFETCH(int, security);
        QFETCH(QString, expected);
        QCOMPARE(ProposedPort(port, typed, security), expected);
    }

    // The test mail goes out with the entries before OK; a wrong password is told with the server's
    // reply. After OK the password is in the secret store only (or, without one, kept for the
    // session with one notice), never in the database, the settings or any message.
    void testMailAndThePassword() {
        test::TestDatabase db;
        test::RecordingSink messages;
        auto d = openOptions();
        click(d.get(), "chkEnableEmails");
        set(d.get(), "txtSMTPServer", QStringLiteral("localhost"));
        child<QComboBox>(d.get(), QStringLiteral("cboSMTPSecurity"))->setCurrentIndex(1);
        QCOMPARE(child<QLineEdit>(d.get(), QStringLiteral("txtSMTPPort"))->text(), QStringLiteral("587"));
        set(d.get(), "txtSMTPPort", QString::number(m_sink.port()));
        set(d.get(), "txtReplyToName", QStringLiteral("Leader"));
        set(d.get(), "txtReplyAddress", QStringLiteral("leader@example.org"));
        click(d.get(), "chkSMTPUseLogin");
        set(d.get(), "txtSMTPUserName", QStringLiteral("clan"));
        set(d.get(), "txtSMTPPassword", QStringLiteral("Pa55-wrong"));
        click(d.get(), "imgTestMail");
        QVERIFY(
            messages.last().text.contains(QStringLiteral("535 5.7.8 Authentication credentials invalid")));
        set(d.get(), "txtSMTPPassword", kPassword);
        click(d.get(), "imgTestMail");
        QCOMPARE(messages.last().text,
                 QStringLiteral("The test mail to leader@example.org was accepted by localhost."));
        QCOMPARE(m_sink.messages().size(), 1);
        QCOMPARE(m_sink.messages()[0].recipients, QStringList{QStringLiteral("leader@example.org")});

        click(d.get(), "imgButton1");
        QCOMPARE(m_secrets.read(QStringLiteral("SMTP password")), std::optional<QString>(kPassword));
        QCOMPARE(db.scalar(QStringLiteral("Select Options_SMTPSecurity From Options")).toInt(), 1);
        m_secrets.available = false;
        for (const QString& typed : {QStringLiteral("Pa55-session"), QStringLiteral("Pa55-again")}) {
            auto again = openOptions();
            QCOMPARE(child<QLineEdit>(again.get(), QStringLiteral("txtSMTPPassword"))->text(), QString());
            set(again.get(), "txtSMTPPassword", typed);
            click(again.get(), "imgButton1");
            QCOMPARE(SmtpPassword(), typed);
        }
        m_secrets.available = true;
        ResetSessionSecrets();
        QCOMPARE(messages.titles().count(QStringLiteral("SMTP Password")), 1); // told once
        Db().close();
        for (const QByteArray& bytes : {FileBytes(db.path()), FileBytes(m_dir.filePath("settings.ini"))})
            QVERIFY(!bytes.contains("Pa55"));
        for (const auto& m : messages.messages)
            QVERIFY(!m.text.contains(QStringLiteral("Pa55")));
    }
};

QTEST_MAIN(OptionsSmtpTest)
#include "options_smtp_test.moc"
