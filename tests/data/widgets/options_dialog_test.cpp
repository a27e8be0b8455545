#include "comms/SmtpMailer.h"
#include "data/OptionsForm.h"
#include "data/SecretStore.h"
#include "data/widgets/frmOptions.h"
#include "support/SmtpSink.h"
#include "support/TestKit.h"
#include "ui/WindowRegistry.h"

#include <QSslCertificate>

using namespace rm;
using test::child;

namespace {

QLineEdit* field(QObject* d, const char* name) {
    return child<QLineEdit>(d, QString::fromLatin1(name));
}

// A dialog as the main window opens it; prepared unless it is to be run through RunModal.
std::unique_ptr<QDialog> openOptions(bool prepare = true) {
    if (!HasModalDialog(QStringLiteral("frmOptions")))
        RegisterAllWindows();
    std::unique_ptr<QDialog> d(CreateModalDialog(QStringLiteral("frmOptions"), nullptr));
    if (prepare)
        static_cast<frmOptions*>(d.get())->prepare();
    return d;
}

QString stored(const char* columns) {
    return Db()
        .scalar(QStringLiteral("Select %1 From Options Where Options_ID = 1").arg(QLatin1String(columns)))
        .toString();
}

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    test::SmtpSink m_sink;
    MemorySecretStore m_secrets;

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
    }

    // Numbers are checked before anything is written.
    void numbers() {
        OptionsEntries e; // every required text filled in
        e.name = e.email = e.smtpServer = e.replyToName = e.replyAddress = QStringLiteral("x");
        const auto check = [&](const char* maxResults, const char* port, bool mail, const QString& expected) {
            e.maxResults = QString::fromLatin1(maxResults);
            e.smtpPort = QString::fromLatin1(port);
            e.enableEmails = mail;
            QCOMPARE(ValidateOptions(e), expected);
        };
        const QString port = QStringLiteral("SMTP Port Number must be a number from 1 to 65535\n");
        check("0", "26", false, QStringLiteral("Maximum Results field must be a number greater than zero\n"));
        check("1000", "26", false, QStringLiteral("Maximum Results field must not be greater than 999\n"));
        for (const auto& [bad, mail] : {std::pair{"0", true}, {"65536", true}, {"70000", false}})
            check("999", bad, mail, port); // with mail off, a port that is kept must still be real
        check("999", "65535", true, QString());
    }

    // Every missing entry is listed in one message, and nothing is written; a blank title counts
    // once per field number (text field 2 and pick list 2 enabled together give one message).
    void validationMessages() {
        test::TestDatabase db;
        test::RecordingSink sink;
        auto d = openOptions();
        test::Check(d.get(), {"chkCustomText2", "chkCustomDrop2", "chkEnableEmails"});
        test::Type(d.get(), {"txtName", "  ", "txtEmail", "", "txtMaxResults", "", "txtSMTPServer", " ",
                             "txtSMTPPort", " ", "txtReplyToName", " ", "txtReplyAddress", " "});
        test::ClickOK(d.get());
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.last().text,
                 QStringLiteral("User name is required\nUser email address is required\n"
                                "Maximum Results field must be a number greater than zero\n"
                                "Custom field enabled without a title!\nSMTP Server Name missing\n"
                                "SMTP Port Number missing\nSMTP Reply To Name missing\n"
                                "SMTP Reply To Address missing\n"));
        QCOMPARE(QList<int>({sink.last().align, sink.last().icon, d->result()}),
                 QList<int>({AlignLeftText, vbExclamation, QDialog::Rejected}));
        QCOMPARE(stored("Options_EnableEmails"), QStringLiteral("0"));
    }

    // The choices made are stored, reach CurrentOptions and show again on reopening; an empty port
    // while mail is off is stored as 0.
    void savedChoicesSurviveReopen() {
        test::TestDatabase db;
        test::RecordingSink sink;
        const int tokyo = db.zoneId(QStringLiteral("Tokyo"));
        auto d = openOptions();
        auto* zones = child<QComboBox>(d.get(), QStringLiteral("cboTimeZone"));
        zones->setCurrentIndex(zones->findData(tokyo));
        test::Check(d.get(), {"optDSTEU", "optTime12", "opt15Min", "chkEnableEmails"});
        test::Type(d.get(),
                   {"txtName", " Ann O'Hara ", "txtMaxResults", "007", "txtSMTPServer", "127.0.0.1",
                    "txtSMTPPort", "40000", "txtReplyToName", "Clan", "txtReplyAddress", "clan@example.com"});
        test::ClickOK(d.get());
        const OptionsRecord& o = CurrentOptions();
        QVERIFY(!o.TimeFormat && o.UserTimeZone == tokyo && o.SMTPPort == 40000);

        d = openOptions();
        for (const char* name : {"optDSTEU", "optTime12", "opt15Min", "chkEnableEmails"})
            QVERIFY2(child<QAbstractButton>(d.get(), QString::fromLatin1(name))->isChecked(), name);
        QCOMPARE(child<QComboBox>(d.get(), QStringLiteral("cboTimeZone"))->currentData().toInt(), tokyo);
        QCOMPARE(field(d.get(), "txtName")->text() + field(d.get(), "txtMaxResults")->text() +
                     field(d.get(), "txtSMTPPort")->text(),
                 QStringLiteral("Ann O'Hara740000"));
        child<QAbstractButton>(d.get(), QStringLiteral("chkEnableEmails"))->click();
        field(d.get(), "txtSMTPPort")->clear();
        test::ClickOK(d.get());
        QCOMPARE(stored("Options_SMTPPort || Options_EnableEmails"), QStringLiteral("00"));
        QCOMPARE(sink.count(), 0);
    }

    // A refused save shows the store's error and keeps the dialog open with what was typed.
    void failedSaveKeepsTheEntries() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        QString kept;
        driver.then([&](QDialog* d) {
            db.exec(QStringLiteral("Alter Table Options Rename Column Options_ReplyAddress To Gone"));
            field(d, "txtName")->setText(QStringLiteral("Typed Name"));
            test::ClickOK(d);
            kept = d->isVisible() ? field(d, "txtName")->text() : QString();
        });
        QCOMPARE(RunModal(openOptions(false).get()), int(QDialog::Rejected));
        QCOMPARE(kept, QStringLiteral("Typed Name"));
        QVERIFY(sink.count() == 1 && sink.last().standardBox &&
                sink.last().title == QStringLiteral("Rallymark Error"));
        QVERIFY(stored("Options_Name") != QStringLiteral("Typed Name"));
    }

    // The usual port of the choice replaces a usual one, never a port typed by hand or one's own.
    void proposedPorts() {
        for (const char* row : {"25 - 1 587", "587 - 2 465", "26 - 0 25", " - 2 465", "2525 - 1 2525",
                                "587 typed 2 587", " typed 1 587"}) {
            const QStringList c = QString::fromLatin1(row).split(QLatin1Char(' '));
            QCOMPARE(ProposedPort(c[0], c[1] == QLatin1String("typed"), c[2].toInt()), c[3]);
        }
    }

    // A login mailbox other than the reply-to address is warned of beside the fields and in the
    // test mail's result. The test mail goes out with the entries before OK. After OK the password (and
    // the webhook address) is in the secret store only (without one: kept for the session, told once),
    // never in the database, the settings or any message.
    void testMailAndThePassword() {
        const char* const kWebhook =
            "https://discord.com/api/webhooks/123456789012345678/Pa55-webhook_token-abc";
        test::TestDatabase db;
        test::RecordingSink messages;
        auto d = openOptions();
        test::Check(d.get(), {"chkEnableEmails", "chkSMTPUseLogin"});
        child<QComboBox>(d.get(), QStringLiteral("cboSMTPSecurity"))->setCurrentIndex(1);
        QCOMPARE(field(d.get(), "txtSMTPPort")->text(), QStringLiteral("587"));
        const QByteArray port = QByteArray::number(m_sink.port());
        test::Type(d.get(),
                   {"txtSMTPServer", "localhost", "txtSMTPPort", port.constData(), "txtReplyToName", "Leader",
                    "txtReplyAddress", "leader@example.org", "txtSMTPUserName", "clan@mail.example",
                    "txtSMTPPassword", "Pa55-secret", "txtDiscordWebhook", kWebhook});
        auto* warning = child<QLabel>(d.get(), QStringLiteral("lblSenderWarning"));
        QVERIFY(warning->isVisibleTo(d.get()) && warning->text().contains("clan@mail.example"));
        test::Click(d.get(), QStringLiteral("imgTestMail"));
        QVERIFY2(messages.last().text.endsWith(warning->text()), qPrintable(messages.last().text));
        field(d.get(), "txtSMTPUserName")->setText("LEADER@example.org");
        QVERIFY(!warning->isVisibleTo(d.get()));
        field(d.get(), "txtSMTPUserName")->setText("clan");
        test::Click(d.get(), QStringLiteral("imgTestMail"));
        QCOMPARE(messages.last().text,
                 QStringLiteral("The test mail to leader@example.org was accepted by localhost."));
        QVERIFY(m_sink.messages().size() == 1 &&
                m_sink.messages()[0].recipients == QStringList{QStringLiteral("leader@example.org")});

        test::ClickOK(d.get());
        QCOMPARE(SmtpPassword(), QStringLiteral("Pa55-secret"));
        QCOMPARE(DiscordWebhookAddress(0), QString::fromLatin1(kWebhook)); // checked below like the password
        QCOMPARE(db.scalar(QStringLiteral("Select Options_SMTPSecurity From Options")).toInt(), 1);
        m_secrets.available = false;
        for (const char* typed : {"Pa55-session", "Pa55-again"}) {
            auto again = openOptions();
            QCOMPARE(field(again.get(), "txtSMTPPassword")->text(), QString());
            field(again.get(), "txtSMTPPassword")->setText(QString::fromLatin1(typed));
            test::ClickOK(again.get());
            QCOMPARE(SmtpPassword(), QString::fromLatin1(typed));
        }
        QCOMPARE(messages.titles().count(QStringLiteral("SMTP Password")), 1);
        Db().close();
        for (const QString& path : {db.path(), m_dir.filePath(QStringLiteral("settings.ini"))})
            QVERIFY(!test::FileBytes(path).contains("Pa55"));
        for (const auto& m : messages.messages)
            QVERIFY(!m.text.contains(QStringLiteral("Pa55")));
        SetSecretStore(nullptr);
        SetSettingsFile(QString());
        ResetSessionSecrets();
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "options_dialog_test.moc"
