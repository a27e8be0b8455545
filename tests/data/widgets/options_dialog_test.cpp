#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/OptionsForm.h"
#include "data/widgets/frmOptions.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"
#include "ui/WindowRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace rm;
using test::child;

namespace {

const char* const kMailFields[] = {"txtSMTPServer", "txtSMTPPort", "txtReplyToName", "txtReplyAddress"};

QLineEdit* field(QObject* d, const char* name) {
    return child<QLineEdit>(d, QString::fromLatin1(name));
}
QCheckBox* box(QObject* d, const char* name) {
    return child<QCheckBox>(d, QString::fromLatin1(name));
}
QRadioButton* option(QObject* d, const char* name) {
    return child<QRadioButton>(d, QString::fromLatin1(name));
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

void pressOK(QDialog* d) {
    child<QToolButton>(d, QStringLiteral("imgButton1"))->click();
}

QVariant stored(const char* column) {
    return Db().scalar(
        QStringLiteral("Select %1 From Options Where Options_ID = 1").arg(QString::fromLatin1(column)));
}

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void validationMessages() {
        test::TestDatabase db;
        test::RecordingSink sink;
        auto d = openOptions();
        QCOMPARE(d->windowTitle(), QStringLiteral("Rallymark Options"));
        field(d.get(), "txtName")->setText(QStringLiteral("  "));
        field(d.get(), "txtEmail")->clear();
        field(d.get(), "txtMaxResults")->clear();
        box(d.get(), "chkCustomText2")->setChecked(true);
        box(d.get(), "chkCustomDrop2")->setChecked(true);
        box(d.get(), "chkEnableEmails")->setChecked(true);
        for (const char* name : kMailFields)
            field(d.get(), name)->setText(QStringLiteral(" "));
        pressOK(d.get());
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.last().text, QStringLiteral("User name is required\n"
                                                  "User email address is required\n"
                                                  "Maximum Results field must be a number greater than zero\n"
                                                  "Custom field enabled without a title!\n"
                                                  "SMTP Server Name missing\n"
                                                  "SMTP Port Number missing\n"
                                                  "SMTP Reply To Name missing\n"
                                                  "SMTP Reply To Address missing\n"));
        QCOMPARE(sink.last().title, QStringLiteral("Data Validation"));
        QCOMPARE(sink.last().align, int(AlignLeftText));
        QCOMPARE(sink.last().icon, int(vbExclamation));
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QCOMPARE(stored("Options_EnableEmails").toInt(), 0);

        // Blank titles of fields 1 and 3 count once per index.
        OptionsEntries e = static_cast<frmOptions*>(d.get())->entries();
        e.name = QStringLiteral("N");
        e.email = QStringLiteral("e@x");
        e.maxResults = QStringLiteral("10");
        e.enableEmails = false;
        e.customTextEnabled = {true, false, false, false};
        e.customDropEnabled = {true, false, true, false};
        QCOMPARE(ValidateOptions(e), QStringLiteral("Custom field enabled without a title!\n").repeated(2));

        // Numbers are checked before anything is written.
        e.customTextEnabled = {};
        e.customDropEnabled = {};
        e.maxResults = QStringLiteral("0");
        QCOMPARE(ValidateOptions(e),
                 QStringLiteral("Maximum Results field must be a number greater than zero\n"));
        e.maxResults = QStringLiteral("1000");
        QCOMPARE(ValidateOptions(e), QStringLiteral("Maximum Results field must not be greater than 999\n"));
        e.maxResults = QStringLiteral("999");
        e.enableEmails = true;
        e.smtpServer = QStringLiteral("127.0.0.1");
        e.replyToName = QStringLiteral("Me");
        e.replyAddress = QStringLiteral("me@example.com");
        for (const QString& bad : {QStringLiteral("0"), QStringLiteral("65536"), QStringLiteral("99999")}) {
            e.smtpPort = bad;
            QCOMPARE(ValidateOptions(e),
                     QStringLiteral("SMTP Port Number must be a number from 1 to 65535\n"));
        }
        e.smtpPort = QStringLiteral("65535");
        QCOMPARE(ValidateOptions(e), QString());
        e.enableEmails = false;
        e.smtpPort = QStringLiteral("70000");
        QCOMPARE(ValidateOptions(e), QStringLiteral("SMTP Port Number must be a number from 1 to 65535\n"));
    }

    void updateStatementText() {
        OptionsEntries e;
        e.name = QStringLiteral(" O'Neil ");
        e.email = QStringLiteral("o@x");
        e.timeZone = 12;
        e.daylightCode = QStringLiteral("U");
        e.maxResults = QStringLiteral("007");
        e.granularity = 60;
        e.enableICQStatus = true;
        e.timeFormat24 = false;
        e.customTextTitle[0] = QStringLiteral("Age");
        e.customTextEnabled[0] = true;
        e.customDropTitle[3] = QStringLiteral("Rank");
        e.customDropEnabled[3] = true;
        e.enableEmails = true;
        e.smtpServer = QStringLiteral("mail");
        e.smtpPort = QStringLiteral("587");
        e.replyToName = QStringLiteral("R");
        e.replyAddress = QStringLiteral("r@x");
        QCOMPARE(
            OptionsUpdateSql(e),
            QStringLiteral("Update Options Set Options_Name = 'O''Neil', Options_Email = 'o@x', "
                           "Options_TimeZone = 12, Options_DST = 'U', Options_MaxResults = 7, "
                           "Options_BestTimesGranularity = 60, Options_MatchLength = 120, "
                           "Options_DisableConfirmations = 0, "
                           "Options_EnableICQStatus = 1, Options_Time_Format = 0, "
                           "Options_Custom1_Text_Title = 'Age', Options_Custom1_Text_Enabled = 1, "
                           "Options_Custom2_Text_Title = '', Options_Custom2_Text_Enabled = 0, "
                           "Options_Custom3_Text_Title = '', Options_Custom3_Text_Enabled = 0, "
                           "Options_Custom4_Text_Title = '', Options_Custom4_Text_Enabled = 0, "
                           "Options_Custom1_Drop_Title = '', Options_Custom1_Drop_Enabled = 0, "
                           "Options_Custom2_Drop_Title = '', Options_Custom2_Drop_Enabled = 0, "
                           "Options_Custom3_Drop_Title = '', Options_Custom3_Drop_Enabled = 0, "
                           "Options_Custom4_Drop_Title = 'Rank', Options_Custom4_Drop_Enabled = 1, "
                           "Options_EnableEmails = 1, Options_SMTPServer = 'mail', Options_SMTPPort = 587, "
                           "Options_ReplyToName = 'R', Options_ReplyAddress = 'r@x' Where Options_ID = 1"));
    }

    void fieldsFollowTheirSwitches() {
        test::TestDatabase db;
        auto d = openOptions();
        auto* emails = box(d.get(), "chkEnableEmails");
        QVERIFY(!emails->isChecked());
        for (bool on : {false, true}) {
            if (on)
                emails->click();
            for (const char* name : kMailFields)
                QCOMPARE(field(d.get(), name)->isEnabled(), on);
        }
        QVERIFY(!field(d.get(), "txtCustomDrop3")->isEnabled());
        box(d.get(), "chkCustomDrop3")->click();
        QVERIFY(field(d.get(), "txtCustomDrop3")->isEnabled());
        QVERIFY(!field(d.get(), "txtCustomText3")->isEnabled());
        QCOMPARE(field(d.get(), "txtCustomDrop3")->maxLength(), 20);
        QCOMPARE(field(d.get(), "txtSMTPPort")->maxLength(), 5);
        QTest::keyClicks(field(d.get(), "txtMaxResults"), QStringLiteral("-4x"));
        QCOMPARE(field(d.get(), "txtMaxResults")->text(), QStringLiteral("204"));
    }

    void storedOddValuesAreNormalised() {
        test::TestDatabase db;
        test::RecordingSink sink;
        db.exec(QStringLiteral("Update Options Set Options_BestTimesGranularity = 45, Options_SMTPPort = 0, "
                               "Options_MaxResults = -3"));
        auto d = openOptions();
        QVERIFY(option(d.get(), "opt30Min")->isChecked());
        QCOMPARE(field(d.get(), "txtSMTPPort")->text(), QStringLiteral("26"));
        QCOMPARE(field(d.get(), "txtMaxResults")->text(), QStringLiteral("20"));
        pressOK(d.get());
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(stored("Options_BestTimesGranularity").toInt(), 30);
        QCOMPARE(stored("Options_SMTPPort").toInt(), 26);
        QCOMPARE(stored("Options_MaxResults").toInt(), 20);
        // An empty port while mail is off is stored as 0 (and shows as 26 again, as above).
        auto again = openOptions();
        field(again.get(), "txtSMTPPort")->clear();
        pressOK(again.get());
        QCOMPARE(again->result(), int(QDialog::Accepted));
        QCOMPARE(stored("Options_SMTPPort").toInt(), 0);
        QCOMPARE(sink.count(), 0);
    }

    void savedChoicesSurviveReopen() {
        test::TestDatabase db;
        test::RecordingSink sink;
        const int tokyo = db.zoneId(QStringLiteral("Tokyo"));
        {
            auto d = openOptions();
            field(d.get(), "txtName")->setText(QStringLiteral(" Ann O'Hara "));
            auto* zones = child<QComboBox>(d.get(), QStringLiteral("cboTimeZone"));
            zones->setCurrentIndex(zones->findData(tokyo));
            option(d.get(), "optDSTEU")->setChecked(true);
            option(d.get(), "optTime12")->setChecked(true);
            option(d.get(), "opt15Min")->setChecked(true);
            box(d.get(), "chkCustomDrop2")->setChecked(true);
            field(d.get(), "txtCustomDrop2")->setText(QStringLiteral("Squad's Role"));
            box(d.get(), "chkEnableEmails")->setChecked(true);
            field(d.get(), "txtSMTPServer")->setText(QStringLiteral("127.0.0.1"));
            field(d.get(), "txtSMTPPort")->setText(QStringLiteral("40000"));
            field(d.get(), "txtReplyToName")->setText(QStringLiteral("Clan"));
            field(d.get(), "txtReplyAddress")->setText(QStringLiteral("clan@example.com"));
            pressOK(d.get());
            QCOMPARE(d->result(), int(QDialog::Accepted));
        }
        QCOMPARE(sink.count(), 0);
        QCOMPARE(stored("Options_Name").toString(), QStringLiteral("Ann O'Hara"));
        // CurrentOptions follows the save.
        QCOMPARE(CurrentOptions().TimeFormat, false);
        QCOMPARE(CurrentOptions().UserTimeZone, tokyo);
        QCOMPARE(CurrentOptions().CustomDropTitle[1], QStringLiteral("Squad's Role"));
        QCOMPARE(CurrentOptions().SMTPPort, 40000);

        auto d = openOptions();
        QVERIFY(option(d.get(), "optTime12")->isChecked());
        QVERIFY(option(d.get(), "optDSTEU")->isChecked());
        QVERIFY(option(d.get(), "opt15Min")->isChecked());
        QCOMPARE(child<QComboBox>(d.get(), QStringLiteral("cboTimeZone"))->currentData().toInt(), tokyo);
        QCOMPARE(field(d.get(), "txtName")->text(), QStringLiteral("Ann O'Hara"));
        QCOMPARE(field(d.get(), "txtSMTPPort")->text(), QStringLiteral("40000"));
        QVERIFY(field(d.get(), "txtCustomDrop2")->isEnabled());
        QVERIFY(field(d.get(), "txtSMTPServer")->isEnabled());
    }

    void deletedUserZoneOpensWithFirstZone() {
        test::TestDatabase db;
        const int tokyo = db.zoneId(QStringLiteral("Tokyo"));
        db.exec(QStringLiteral("Update Options Set Options_TimeZone = %1").arg(tokyo));
        db.exec(QStringLiteral("Delete From TimeZones Where TZ_ID = %1").arg(tokyo));
        auto d = openOptions();
        auto* zones = child<QComboBox>(d.get(), QStringLiteral("cboTimeZone"));
        QCOMPARE(zones->currentIndex(), 0);
        const QString first =
            Db().scalar(QStringLiteral("Select TZ_Name From TimeZones Order By TZ_Name")).toString();
        QVERIFY(zones->currentText().startsWith(first + QStringLiteral(" - ")));
    }

    void failedSaveKeepsTheEntries() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        bool stayedOpen = false;
        QString kept;
        driver.then([&](QDialog* d) {
            db.exec(QStringLiteral("Alter Table Options Rename Column Options_ReplyAddress To Gone"));
            field(d, "txtName")->setText(QStringLiteral("Typed Name"));
            pressOK(d);
            stayedOpen = d->isVisible();
            kept = field(d, "txtName")->text();
        });
        QCOMPARE(RunModal(openOptions(false).get()), int(QDialog::Rejected));
        QVERIFY(stayedOpen);
        QCOMPARE(kept, QStringLiteral("Typed Name"));
        QCOMPARE(sink.count(), 1);
        QVERIFY(sink.last().standardBox);
        QCOMPARE(sink.last().title, QStringLiteral("Rallymark Error"));
        QVERIFY(stored("Options_Name").toString() != QStringLiteral("Typed Name"));
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "options_dialog_test.moc"
