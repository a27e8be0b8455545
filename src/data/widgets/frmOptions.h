#pragma once

#include "data/OptionsForm.h"
#include "ui/Maintenance.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;

namespace rm {

// "Rallymark Options": edits the single Options row. OK validates, writes the row with one update
// and reloads CurrentOptions; when the store refuses, the dialog stays open with the entries.
class frmOptions : public MaintainDialog {
    Q_OBJECT

public:
    explicit frmOptions(QWidget* parent = nullptr);

    // The fields as they stand.
    OptionsEntries entries() const;

public Q_SLOTS:
    // "Send a test mail": sends with the entries as they stand and shows the outcome.
    void pressTestMail();

protected:
    void loadDialog() override;
    bool save() override;

private:
    void showEntries(const OptionsEntries& e);
    void emailsToggled(bool on);
    void securityChanged(int security);
    void updateSenderWarning();

    QLineEdit* txtName = nullptr;
    QLineEdit* txtEmail = nullptr;
    QComboBox* cboTimeZone = nullptr;
    QRadioButton* optDSTNone = nullptr;
    QRadioButton* optDSTUSA = nullptr;
    QRadioButton* optDSTEU = nullptr;
    QRadioButton* optTime24 = nullptr;
    QRadioButton* optTime12 = nullptr;
    QLineEdit* txtMaxResults = nullptr;
    QLineEdit* txtMatchLength = nullptr;
    QCheckBox* chkDisableConfirmations = nullptr;
    QRadioButton* opt15Min = nullptr;
    QRadioButton* opt30Min = nullptr;
    QRadioButton* opt60Min = nullptr;
    QCheckBox* chkEnableICQ = nullptr;
    QCheckBox* chkEnableEmails = nullptr;
    QLineEdit* txtSMTPServer = nullptr;
    QLineEdit* txtSMTPPort = nullptr;
    QLineEdit* txtReplyToName = nullptr;
    QLineEdit* txtReplyAddress = nullptr;
    QComboBox* cboSMTPSecurity = nullptr;
    QCheckBox* chkSMTPUseLogin = nullptr;
    QLineEdit* txtSMTPUserName = nullptr;
    QLineEdit* txtSMTPPassword = nullptr;
    QCheckBox* chkSMTPAllowPlainLogin = nullptr;
    QLabel* lblPlainLoginWarning = nullptr;
    QLabel* lblSenderWarning = nullptr;
    QToolButton* imgTestMail = nullptr;
    QLineEdit* txtDiscordWebhook = nullptr;
    bool m_portTyped = false; // the user typed the port since the dialog opened
    std::array<QCheckBox*, kCustomFieldCount> chkCustomText{};
    std::array<QLineEdit*, kCustomFieldCount> txtCustomText{};
    std::array<QCheckBox*, kCustomFieldCount> chkCustomDrop{};
    std::array<QLineEdit*, kCustomFieldCount> txtCustomDrop{};
};

} // namespace rm
