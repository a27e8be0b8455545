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

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSslCertificate>
#include <QtTest>

using namespace rm;
using test::child;

class OptionsSmtpTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    test::SmtpSink m_sink;
    MemorySecretStore m_secrets;

    static std::unique_ptr<frmOptions> openOptions() {
        std::unique_ptr<frmOptions> d(static_cast<frmOptions*>(CreateModalDialog("frmOptions", nullptr)));
        d->prepare();
        return d;
    }
    static void click(QObject* d, const char* name) {
        child<QAbstractButton>(d, QString::fromLatin1(name))->click();
    }
    static QLineEdit* field(QObject* d, const char* name) {
        return child<QLineEdit>(d, QString::fromLatin1(name));
    }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(test::SmtpSink::MakeCertificates(m_dir.path(), &error), qPrintable(error));
        QVERIFY2(m_sink.start(&error, {"--tls", "starttls", "--cert", m_dir.filePath("good.pem"), "--key",
                                       m_dir.filePath("good.key"), "--login", "clan:Pa55-secret"}),
                 qPrintable(error));
        Mailer().setCaCertificates(QSslCertificate::fromPath(m_dir.filePath(QStringLiteral("ca.pem"))));
        SetSecretStore(&m_secrets);
        SetSettingsFile(m_dir.filePath(QStringLiteral("settings.ini")));
        RegisterAllWindows();
    }

    // The usual port of the choice replaces a usual one, never a port typed by hand or one's own.
    void proposedPorts() {
        for (const char* row : {"25 - 1 587", "587 - 2 465", "26 - 0 25", " - 2 465", "2525 - 1 2525",
                                "587 typed 2 587", " typed 1 587"}) {
            const QStringList c = QString::fromLatin1(row).split(QLatin1Char(' '));
            QCOMPARE(ProposedPort(c[0], c[1] == QLatin1String("typed"), c[2].toInt()), c[3]);
        }
    }

    // The test mail goes out with the entries before OK. After OK the password is in the secret
    // store only (without one: kept for the session, told once), never in the database, the settings
    // or any message.
    void testMailAndThePassword() {
        test::TestDatabase db;
        test::RecordingSink messages;
        auto d = openOptions();
        click(d.get(), "chkEnableEmails");
        field(d.get(), "txtSMTPServer")->setText(QStringLiteral("localhost"));
        child<QComboBox>(d.get(), QStringLiteral("cboSMTPSecurity"))->setCurrentIndex(1);
        QCOMPARE(field(d.get(), "txtSMTPPort")->text(), QStringLiteral("587"));
        field(d.get(), "txtSMTPPort")->setText(QString::number(m_sink.port()));
        field(d.get(), "txtReplyToName")->setText(QStringLiteral("Leader"));
        field(d.get(), "txtReplyAddress")->setText(QStringLiteral("leader@example.org"));
        click(d.get(), "chkSMTPUseLogin");
        field(d.get(), "txtSMTPUserName")->setText(QStringLiteral("clan"));
        field(d.get(), "txtSMTPPassword")->setText(QStringLiteral("Pa55-secret"));
        click(d.get(), "imgTestMail");
        QCOMPARE(messages.last().text,
                 QStringLiteral("The test mail to leader@example.org was accepted by localhost."));
        QCOMPARE(m_sink.messages().size(), 1);
        QCOMPARE(m_sink.messages()[0].recipients, QStringList{QStringLiteral("leader@example.org")});

        click(d.get(), "imgButton1");
        QCOMPARE(SmtpPassword(), QStringLiteral("Pa55-secret"));
        QCOMPARE(db.scalar(QStringLiteral("Select Options_SMTPSecurity From Options")).toInt(), 1);
        m_secrets.available = false;
        for (const QString& typed : {QStringLiteral("Pa55-session"), QStringLiteral("Pa55-again")}) {
            auto again = openOptions();
            QCOMPARE(field(again.get(), "txtSMTPPassword")->text(), QString());
            field(again.get(), "txtSMTPPassword")->setText(typed);
            click(again.get(), "imgButton1");
            QCOMPARE(SmtpPassword(), typed);
        }
        QCOMPARE(messages.titles().count(QStringLiteral("SMTP Password")), 1);
        Db().close();
        for (const QString& path : {db.path(), m_dir.filePath(QStringLiteral("settings.ini"))}) {
            QFile file(path);
            QVERIFY(!file.open(QIODevice::ReadOnly) || !file.readAll().contains("Pa55"));
        }
        for (const auto& m : messages.messages)
            QVERIFY(!m.text.contains(QStringLiteral("Pa55")));
        SetSecretStore(nullptr);
        SetSettingsFile(QString());
        ResetSessionSecrets();
    }
};

QTEST_MAIN(OptionsSmtpTest)
#include "options_smtp_test.moc"
