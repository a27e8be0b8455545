// Keys of the dialogs: Return confirms, Escape cancels (the About window: program_test).

#include "data/widgets/frmOptions.h"
#include "roster/widgets/frmConnections.h"
#include "support/TestKit.h"

using namespace rm;
using namespace rm::test;

class DialogKeysTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void returnConfirmsEscapeCancels() {
        TestDatabase db;
        RecordingSink sink;
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            frmMaintainConnection dialog;
            dialog.EditMode = QStringLiteral("Add");
            dialog.show();
            auto* field = child<QLineEdit>(&dialog, "txtConnection");
            field->setText(QStringLiteral("Carrier Pigeon"));
            QTest::keyClick(field, key);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(db.count("ConnectionTypes", "Connection_Name = 'Carrier Pigeon'"),
                     key == Qt::Key_Return);
        }
    }

    // The warning about logging in without encryption goes when SSL/TLS is chosen.
    void plainLoginWarningOnlyWithoutSsl() {
        TestDatabase db;
        RecordingSink sink;
        frmOptions options;
        options.show();
        auto* security = child<QComboBox>(&options, "cboSMTPSecurity");
        for (int i : {2, 0, 1, 2}) {
            security->setCurrentIndex(i);
            QCOMPARE(child<QLabel>(&options, "lblPlainLoginWarning")->isVisibleTo(&options),
                     security->currentText() != "SSL/TLS");
        }
    }
};

QTEST_MAIN(DialogKeysTest)
#include "dialog_keys_test.moc"
