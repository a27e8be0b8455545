#include "data/OptionsForm.h"
#include "data/widgets/frmOptions.h"
#include "support/TestKit.h"
#include "ui/WindowRegistry.h"

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

QVariant stored(const char* column) {
    return Db().scalar(
        QStringLiteral("Select %1 From Options Where Options_ID = 1").arg(QLatin1String(column)));
}

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every missing entry is listed in one message, and nothing is written.
    void validationMessages() {
        test::TestDatabase db;
        test::RecordingSink sink;
        auto d = openOptions();
        QCOMPARE(d->windowTitle(), QStringLiteral("Rallymark Options"));
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
        QCOMPARE(sink.last().title, QStringLiteral("Data Validation"));
        QCOMPARE(QList<int>({sink.last().align, sink.last().icon}),
                 QList<int>({AlignLeftText, vbExclamation}));
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QCOMPARE(stored("Options_EnableEmails").toInt(), 0);
    }

    // Numbers are checked before anything is written; blank titles count once per field number
    // (text field 1 and pick list 1 enabled together give one message).
    void numbersAndTitles_data() {
        QTest::addColumn<QString>("maxResults");
        QTest::addColumn<bool>("mail");
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("blankTitles");
        QTest::addColumn<QString>("expected");
        const QString port = QStringLiteral("SMTP Port Number must be a number from 1 to 65535\n");
        QTest::newRow("blank titles")
            << "10" << false << "26" << true
            << QStringLiteral("Custom field enabled without a title!\n").repeated(2);
        QTest::newRow("no results") << "0" << false << "26" << false
                                    << "Maximum Results field must be a number greater than zero\n";
        QTest::newRow("too many") << "1000" << false << "26" << false
                                  << "Maximum Results field must not be greater than 999\n";
        QTest::newRow("port 0") << "999" << true << "0" << false << port;
        QTest::newRow("port 65536") << "999" << true << "65536" << false << port;
        QTest::newRow("port 99999") << "999" << true << "99999" << false << port;
        QTest::newRow("port 65535") << "999" << true << "65535" << false << QString();
        QTest::newRow("port without mail") << "999" << false << "70000" << false << port;
    }
    void numbersAndTitles() {
        QFETCH(QString, maxResults);
        QFETCH(bool, mail);
        QFETCH(QString, port);
        QFETCH(bool, blankTitles);
        QFETCH(QString, expected);
        OptionsEntries e;
        e.name = QStringLiteral("N");
        e.email = QStringLiteral("e@x");
        e.maxResults = maxResults;
        e.enableEmails = mail;
        e.smtpServer = QStringLiteral("127.0.0.1");
        e.smtpPort = port;
        e.replyToName = QStringLiteral("Me");
        e.replyAddress = QStringLiteral("me@example.com");
        if (blankTitles) {
            e.customTextEnabled = {true, false, false, false};
            e.customDropEnabled = {true, false, true, false};
        }
        QCOMPARE(ValidateOptions(e), expected);
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
        QVERIFY(field(d.get(), "txtCustomDrop3")->isEnabled() &&
                !field(d.get(), "txtCustomText3")->isEnabled());
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
        QCOMPARE(field(d.get(), "txtSMTPPort")->text() + field(d.get(), "txtMaxResults")->text(),
                 QStringLiteral("2620"));
        test::ClickOK(d.get());
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(QList<int>({stored("Options_BestTimesGranularity").toInt(),
                             stored("Options_SMTPPort").toInt(), stored("Options_MaxResults").toInt()}),
                 QList<int>({30, 26, 20}));
        // An empty port while mail is off is stored as 0 (and shows as 26 again, as above).
        auto again = openOptions();
        field(again.get(), "txtSMTPPort")->clear();
        test::ClickOK(again.get());
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
            auto* zones = child<QComboBox>(d.get(), QStringLiteral("cboTimeZone"));
            zones->setCurrentIndex(zones->findData(tokyo));
            test::Check(d.get(), {"optDSTEU", "optTime12", "opt15Min", "chkCustomDrop2", "chkEnableEmails"});
            test::Type(d.get(), {"txtName", " Ann O'Hara ", "txtCustomDrop2", "Squad's Role", "txtMaxResults",
                                 "007", "txtSMTPServer", "127.0.0.1", "txtSMTPPort", "40000",
                                 "txtReplyToName", "Clan", "txtReplyAddress", "clan@example.com"});
            test::ClickOK(d.get());
            QCOMPARE(d->result(), int(QDialog::Accepted));
        }
        QCOMPARE(sink.count(), 0);
        QCOMPARE(stored("Options_Name").toString(), QStringLiteral("Ann O'Hara"));
        QCOMPARE(stored("Options_MaxResults").toInt(), 7);
        // CurrentOptions follows the save.
        const OptionsRecord& o = CurrentOptions();
        QVERIFY(!o.TimeFormat && o.UserTimeZone == tokyo && o.SMTPPort == 40000);
        QCOMPARE(o.CustomDropTitle[1], QStringLiteral("Squad's Role"));

        auto d = openOptions();
        for (const char* name : {"optDSTEU", "optTime12", "opt15Min"})
            QVERIFY2(option(d.get(), name)->isChecked(), name);
        QCOMPARE(child<QComboBox>(d.get(), QStringLiteral("cboTimeZone"))->currentData().toInt(), tokyo);
        QCOMPARE(field(d.get(), "txtName")->text(), QStringLiteral("Ann O'Hara"));
        QCOMPARE(field(d.get(), "txtSMTPPort")->text(), QStringLiteral("40000"));
        QVERIFY(field(d.get(), "txtCustomDrop2")->isEnabled() &&
                field(d.get(), "txtSMTPServer")->isEnabled());
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
            db.scalar(QStringLiteral("Select TZ_Name From TimeZones Order By TZ_Name")).toString();
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
            test::ClickOK(d);
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
