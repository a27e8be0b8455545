// Keys of the dialogs: Return confirms, Escape cancels; a multi-line field keeps its line breaks.

#include "app/About.h"
#include "data/widgets/frmOptions.h"
#include "roster/widgets/frmConnections.h"
#include "support/TestKit.h"

using namespace rm;
using namespace rm::test;

class DialogKeysTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void returnConfirmsEscapeCancels_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("stored");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(QDialog::Accepted) << 1;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(QDialog::Accepted) << 1;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(QDialog::Rejected) << 0;
    }
    void returnConfirmsEscapeCancels() {
        QFETCH(int, key);
        QFETCH(int, stored);
        TestDatabase db;
        RecordingSink sink;
        frmMaintainConnection dialog;
        dialog.EditMode = QStringLiteral("Add");
        dialog.show();
        auto* field = child<QLineEdit>(&dialog, "txtConnection");
        field->setFocus();
        field->setText(QStringLiteral("Carrier Pigeon"));
        QTest::keyClick(field, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QTEST(dialog.result(), "result");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(db.count("ConnectionTypes", "Connection_Name = 'Carrier Pigeon'"), stored);
    }

    // About closes with Return; Escape leaves it open (it closes only through OK).
    void aboutClosesWithReturn() {
        frmAbout about;
        about.show();
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(about.isVisible());
        QTest::keyClick(&about, Qt::Key_Return);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    // The warning about logging in without encryption goes when SSL/TLS is chosen.
    void plainLoginWarningOnlyWithoutSsl() {
        TestDatabase db;
        RecordingSink sink;
        frmOptions options;
        options.show();
        auto* security = child<QComboBox>(&options, "cboSMTPSecurity");
        auto* warning = child<QLabel>(&options, "lblPlainLoginWarning");
        const QStringList choices{"None", "STARTTLS", "SSL/TLS"};
        for (int i : {2, 0, 1, 2}) {
            security->setCurrentIndex(i);
            QCOMPARE(warning->isVisibleTo(&options), choices.at(i) != "SSL/TLS");
        }
    }
};

QTEST_MAIN(DialogKeysTest)
#include "dialog_keys_test.moc"
