#include "data/widgets/frmOptions.h"

#include "comms/EmailSending.h"
#include "data/MessageSink.h"
#include "ui/Maintenance.h"
#include "ui/NumericEntry.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace rm {

namespace {

template <typename T> T* named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QLineEdit* textField(QWidget* parent, const QString& name, int maxLength) {
    auto* edit = named(new QLineEdit(parent), name);
    edit->setMaxLength(maxLength);
    return edit;
}

QRadioButton* option(QWidget* parent, const QString& name, const QString& caption) {
    return named(new QRadioButton(caption, parent), name);
}

} // namespace

frmOptions::frmOptions(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(tr("Rallymark Options"));
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    layout->addLayout(columns);

    // General Settings
    auto* fmeGeneral = named(new QGroupBox(tr("General Settings"), this), QStringLiteral("fmeGeneral"));
    auto* general = new QFormLayout(fmeGeneral);
    txtName = textField(fmeGeneral, QStringLiteral("txtName"), 75);
    txtEmail = textField(fmeGeneral, QStringLiteral("txtEmail"), 75);
    cboTimeZone = named(new QComboBox(fmeGeneral), QStringLiteral("cboTimeZone"));
    cboTimeZone->setSizeAdjustPolicy(QComboBox::AdjustToContents); // zone descriptions are long
    general->addRow(tr("Name:"), txtName);
    general->addRow(tr("EMail:"), txtEmail);
    general->addRow(tr("Your Time Zone:"), cboTimeZone);
    auto* fmeDaylight = named(new QGroupBox(tr("Daylight Savings / Summer Time?"), fmeGeneral),
                              QStringLiteral("fmeDaylight"));
    auto* daylight = new QHBoxLayout(fmeDaylight);
    optDSTNone = option(fmeDaylight, QStringLiteral("optDSTNone"), tr("Do Not Adjust"));
    optDSTUSA = option(fmeDaylight, QStringLiteral("optDSTUSA"), tr("USA DST"));
    optDSTEU = option(fmeDaylight, QStringLiteral("optDSTEU"), tr("EU DST"));
    daylight->addWidget(optDSTNone);
    daylight->addWidget(optDSTUSA);
    daylight->addWidget(optDSTEU);
    optDSTNone->setChecked(true);
    general->addRow(fmeDaylight);
    left->addWidget(fmeGeneral);

    // Program Preferences
    auto* fmePreferences =
        named(new QGroupBox(tr("Program Preferences"), this), QStringLiteral("fmePreferences"));
    auto* preferences = new QFormLayout(fmePreferences);
    auto* timeFormat = new QWidget(fmePreferences);
    auto* timeFormatRow = new QHBoxLayout(timeFormat);
    timeFormatRow->setContentsMargins(0, 0, 0, 0);
    optTime24 = option(timeFormat, QStringLiteral("optTime24"), tr("HH:MM"));
    optTime12 = option(timeFormat, QStringLiteral("optTime12"), tr("HH:MM AMPM"));
    timeFormatRow->addWidget(optTime24);
    timeFormatRow->addWidget(optTime12);
    optTime24->setChecked(true);
    preferences->addRow(tr("Time Format:"), timeFormat);
    txtMaxResults = textField(fmePreferences, QStringLiteral("txtMaxResults"), 3);
    AttachNumericFilter(txtMaxResults, false, false, 0);
    preferences->addRow(tr("Max Return on Show Best Times:"), txtMaxResults);
    txtMatchLength = textField(fmePreferences, QStringLiteral("txtMatchLength"), 4);
    AttachNumericFilter(txtMatchLength, false, false, 0);
    txtMatchLength->setToolTip(tr("How long a match lasts, in minutes, for calendar events"));
    preferences->addRow(tr("Match Length (minutes):"), txtMatchLength);
    chkDisableConfirmations = named(new QCheckBox(tr("Disable Message Box Verifications"), fmePreferences),
                                    QStringLiteral("chkDisableConfirmations"));
    preferences->addRow(chkDisableConfirmations);
    auto* fmeGranularity =
        named(new QGroupBox(tr("Best Times Granularity"), fmePreferences), QStringLiteral("fmeGranularity"));
    auto* granularity = new QHBoxLayout(fmeGranularity);
    opt15Min = option(fmeGranularity, QStringLiteral("opt15Min"), tr("15 Min"));
    opt30Min = option(fmeGranularity, QStringLiteral("opt30Min"), tr("30 Min"));
    opt60Min = option(fmeGranularity, QStringLiteral("opt60Min"), tr("60 Min"));
    granularity->addWidget(opt15Min);
    granularity->addWidget(opt30Min);
    granularity->addWidget(opt60Min);
    opt30Min->setChecked(true);
    preferences->addRow(fmeGranularity);
    chkEnableICQ =
        named(new QCheckBox(tr("Enable ICQ Status"), fmePreferences), QStringLiteral("chkEnableICQ"));
    preferences->addRow(chkEnableICQ);
    left->addWidget(fmePreferences);

    // E-Mail Settings
    auto* fmeEmail = named(new QGroupBox(tr("E-Mail Settings"), this), QStringLiteral("fmeEmail"));
    auto* email = new QFormLayout(fmeEmail);
    chkEnableEmails =
        named(new QCheckBox(tr("Enable SMTP E-Mails"), fmeEmail), QStringLiteral("chkEnableEmails"));
    email->addRow(chkEnableEmails);
    txtSMTPServer = textField(fmeEmail, QStringLiteral("txtSMTPServer"), 75);
    txtSMTPPort = textField(fmeEmail, QStringLiteral("txtSMTPPort"), 5);
    AttachNumericFilter(txtSMTPPort, false, false, 0);
    txtReplyToName = textField(fmeEmail, QStringLiteral("txtReplyToName"), 50);
    txtReplyAddress = textField(fmeEmail, QStringLiteral("txtReplyAddress"), 75);
    for (QLineEdit* field : {txtSMTPServer, txtReplyToName, txtReplyAddress})
        WidenForText(field, QStringLiteral("firstname.lastname@example.com"));
    cboSMTPSecurity = named(new QComboBox(fmeEmail), QStringLiteral("cboSMTPSecurity"));
    cboSMTPSecurity->addItems({tr("None"), tr("STARTTLS"), tr("SSL/TLS")});
    chkSMTPUseLogin = named(new QCheckBox(tr("Use login"), fmeEmail), QStringLiteral("chkSMTPUseLogin"));
    txtSMTPUserName = textField(fmeEmail, QStringLiteral("txtSMTPUserName"), 128);
    txtSMTPPassword = textField(fmeEmail, QStringLiteral("txtSMTPPassword"), 256);
    txtSMTPPassword->setEchoMode(QLineEdit::Password);
    txtSMTPPassword->setPlaceholderText(tr("empty: keep the stored password"));
    chkSMTPAllowPlainLogin = named(new QCheckBox(tr("Allow login without encryption"), fmeEmail),
                                   QStringLiteral("chkSMTPAllowPlainLogin"));
    lblPlainLoginWarning = named(new QLabel(tr("Warning: without STARTTLS or SSL/TLS the password travels "
                                               "unencrypted and can be read on the way. Only for a relay "
                                               "on your own machine or network."),
                                            fmeEmail),
                                 QStringLiteral("lblPlainLoginWarning"));
    lblPlainLoginWarning->setWordWrap(true);
    lblSenderWarning = named(new QLabel(fmeEmail), QStringLiteral("lblSenderWarning"));
    lblSenderWarning->setWordWrap(true);
    lblSenderWarning->hide();
    imgTestMail = MakePictureButton(fmeEmail, QStringLiteral("imgTestMail"), QStringLiteral("email_send"),
                                    tr("Send a test mail"),
                                    tr("Send a short mail to the reply-to address with these settings"));
    email->addRow(tr("SMTP Server Name:"), txtSMTPServer);
    email->addRow(tr("SMTP Port Number:"), txtSMTPPort);
    email->addRow(tr("Connection Security:"), cboSMTPSecurity);
    email->addRow(tr("E-Mail Reply to Name:"), txtReplyToName);
    email->addRow(tr("E-Mail Reply to Address:"), txtReplyAddress);
    email->addRow(chkSMTPUseLogin);
    email->addRow(tr("SMTP User Name:"), txtSMTPUserName);
    email->addRow(lblSenderWarning);
    email->addRow(tr("SMTP Password:"), txtSMTPPassword);
    email->addRow(chkSMTPAllowPlainLogin);
    email->addRow(lblPlainLoginWarning);
    email->addRow(imgTestMail);
    connect(txtSMTPPort, &QLineEdit::textEdited, this, [this] { m_portTyped = true; });
    connect(cboSMTPSecurity, &QComboBox::currentIndexChanged, this, &frmOptions::securityChanged);
    connect(chkSMTPUseLogin, &QCheckBox::toggled, this,
            [this] { emailsToggled(chkEnableEmails->isChecked()); });
    connect(imgTestMail, &QToolButton::clicked, this, &frmOptions::pressTestMail);
    connect(txtReplyAddress, &QLineEdit::textChanged, this, &frmOptions::updateSenderWarning);
    connect(txtSMTPUserName, &QLineEdit::textChanged, this, &frmOptions::updateSenderWarning);
    connect(chkSMTPUseLogin, &QCheckBox::toggled, this, &frmOptions::updateSenderWarning);
    connect(chkEnableEmails, &QCheckBox::toggled, this, &frmOptions::emailsToggled);
    emailsToggled(false);
    right->addWidget(fmeEmail);

    // Discord: the clan channel's webhook, kept in the secret store and never shown.
    auto* fmeDiscord = named(new QGroupBox(tr("Discord"), this), QStringLiteral("fmeDiscord"));
    auto* discord = new QFormLayout(fmeDiscord);
    txtDiscordWebhook = textField(fmeDiscord, QStringLiteral("txtDiscordWebhook"), 512);
    txtDiscordWebhook->setEchoMode(QLineEdit::Password);
    txtDiscordWebhook->setPlaceholderText(tr("empty: keep the stored address"));
    txtDiscordWebhook->setToolTip(
        tr("The clan channel's settings: Integrations, Webhooks, Copy Webhook URL"));
    discord->addRow(tr("Clan Webhook Address:"), txtDiscordWebhook);
    right->addWidget(fmeDiscord);

    // Custom Text Fields and Custom Drop Down Fields
    const auto customFrame = [this](const QString& caption, const QString& frameName, const QString& kind,
                                    std::array<QCheckBox*, kCustomFieldCount>& checks,
                                    std::array<QLineEdit*, kCustomFieldCount>& titles) {
        auto* frame = named(new QGroupBox(caption, this), frameName);
        auto* grid = new QGridLayout(frame);
        grid->addWidget(new QLabel(tr("Custom Field Title"), frame), 0, 1);
        for (int n = 1; n <= kCustomFieldCount; ++n) {
            checks[n - 1] = named(new QCheckBox(tr("Custom Field %1").arg(n), frame),
                                  QStringLiteral("chkCustom%1%2").arg(kind).arg(n));
            titles[n - 1] = textField(frame, QStringLiteral("txtCustom%1%2").arg(kind).arg(n), 20);
            titles[n - 1]->setEnabled(false);
            grid->addWidget(checks[n - 1], n, 0);
            grid->addWidget(titles[n - 1], n, 1);
            QLineEdit* title = titles[n - 1];
            connect(checks[n - 1], &QCheckBox::toggled, title, &QWidget::setEnabled);
        }
        return frame;
    };
    right->addWidget(customFrame(tr("Custom Text Fields"), QStringLiteral("fmeCustomText"),
                                 QStringLiteral("Text"), chkCustomText, txtCustomText));
    right->addWidget(customFrame(tr("Custom Drop Down Fields"), QStringLiteral("fmeCustomDrop"),
                                 QStringLiteral("Drop"), chkCustomDrop, txtCustomDrop));

    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    layout->addLayout(buttons);
}

void frmOptions::emailsToggled(bool on) {
    for (QWidget* field :
         std::initializer_list<QWidget*>{txtSMTPServer, txtSMTPPort, txtReplyToName, txtReplyAddress,
                                         cboSMTPSecurity, chkSMTPUseLogin, imgTestMail})
        field->setEnabled(on);
    const bool login = on && chkSMTPUseLogin->isChecked();
    for (QWidget* field :
         std::initializer_list<QWidget*>{txtSMTPUserName, txtSMTPPassword, chkSMTPAllowPlainLogin})
        field->setEnabled(login);
}

void frmOptions::updateSenderWarning() {
    const QString warning = SenderMismatchWarning(entries());
    lblSenderWarning->setText(warning);
    lblSenderWarning->setVisible(!warning.isEmpty());
}

void frmOptions::securityChanged(int security) {
    txtSMTPPort->setText(ProposedPort(txtSMTPPort->text(), m_portTyped, security));
    // Over SSL/TLS nothing travels unencrypted: the warning would only worry.
    lblPlainLoginWarning->setVisible(security != SecuritySslTls);
}

void frmOptions::pressTestMail() {
    imgTestMail->setEnabled(false);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const TestMailOutcome outcome = SendTestMail(entries());
    QGuiApplication::restoreOverrideCursor();
    imgTestMail->setEnabled(chkEnableEmails->isChecked());
    ShowMessage(outcome.text, AlignLeftText, vbOKOnly, outcome.accepted ? vbInformation : vbExclamation,
                tr("Test Mail"));
}

void frmOptions::loadDialog() {
    cboTimeZone->clear();
    for (const ZoneChoice& zone : ReadZoneChoices())
        cboTimeZone->addItem(zone.text, zone.key);
    if (cboTimeZone->count() > 0)
        cboTimeZone->setCurrentIndex(0);
    if (const std::optional<OptionsEntries> stored = ReadOptionsEntries())
        showEntries(*stored);
}

void frmOptions::showEntries(const OptionsEntries& e) {
    txtName->setText(e.name);
    txtEmail->setText(e.email);
    if (e.timeZone > 0) {
        const int index = cboTimeZone->findData(e.timeZone);
        if (index >= 0)
            cboTimeZone->setCurrentIndex(index);
    }
    (e.daylightCode == QLatin1String("U")   ? optDSTUSA
     : e.daylightCode == QLatin1String("E") ? optDSTEU
                                            : optDSTNone)
        ->setChecked(true);
    txtMaxResults->setText(e.maxResults);
    txtMatchLength->setText(e.matchLength);
    (e.granularity == 15 ? opt15Min : e.granularity == 60 ? opt60Min : opt30Min)->setChecked(true);
    chkDisableConfirmations->setChecked(e.disableConfirmations);
    chkEnableICQ->setChecked(e.enableICQStatus);
    (e.timeFormat24 ? optTime24 : optTime12)->setChecked(true);
    for (int i = 0; i < kCustomFieldCount; ++i) {
        txtCustomText[i]->setText(e.customTextTitle[i]);
        chkCustomText[i]->setChecked(e.customTextEnabled[i]);
        txtCustomText[i]->setEnabled(e.customTextEnabled[i]);
        txtCustomDrop[i]->setText(e.customDropTitle[i]);
        chkCustomDrop[i]->setChecked(e.customDropEnabled[i]);
        txtCustomDrop[i]->setEnabled(e.customDropEnabled[i]);
    }
    chkEnableEmails->setChecked(e.enableEmails);
    emailsToggled(e.enableEmails);
    {
        const QSignalBlocker quiet(cboSMTPSecurity); // the stored port stays as it is
        cboSMTPSecurity->setCurrentIndex(e.smtpSecurity);
    }
    chkSMTPUseLogin->setChecked(e.smtpUseLogin);
    txtSMTPUserName->setText(e.smtpUserName);
    chkSMTPAllowPlainLogin->setChecked(e.smtpAllowPlainLogin);
    emailsToggled(e.enableEmails);
    txtSMTPServer->setText(e.smtpServer);
    txtSMTPPort->setText(e.smtpPort);
    m_portTyped = false;
    txtReplyToName->setText(e.replyToName);
    txtReplyAddress->setText(e.replyAddress);
}

OptionsEntries frmOptions::entries() const {
    OptionsEntries e;
    e.name = txtName->text();
    e.email = txtEmail->text();
    e.timeZone = cboTimeZone->currentIndex() >= 0 ? cboTimeZone->currentData().toInt() : 0;
    e.daylightCode = optDSTUSA->isChecked()  ? QStringLiteral("U")
                     : optDSTEU->isChecked() ? QStringLiteral("E")
                                             : QStringLiteral("N");
    e.maxResults = txtMaxResults->text();
    e.matchLength = txtMatchLength->text();
    e.granularity = opt15Min->isChecked() ? 15 : opt60Min->isChecked() ? 60 : 30;
    e.disableConfirmations = chkDisableConfirmations->isChecked();
    e.enableICQStatus = chkEnableICQ->isChecked();
    e.timeFormat24 = optTime24->isChecked();
    for (int i = 0; i < kCustomFieldCount; ++i) {
        e.customTextTitle[i] = txtCustomText[i]->text();
        e.customTextEnabled[i] = chkCustomText[i]->isChecked();
        e.customDropTitle[i] = txtCustomDrop[i]->text();
        e.customDropEnabled[i] = chkCustomDrop[i]->isChecked();
    }
    e.enableEmails = chkEnableEmails->isChecked();
    e.smtpServer = txtSMTPServer->text();
    e.smtpPort = txtSMTPPort->text();
    e.replyToName = txtReplyToName->text();
    e.replyAddress = txtReplyAddress->text();
    e.smtpSecurity = qMax(0, cboSMTPSecurity->currentIndex());
    e.smtpUseLogin = chkSMTPUseLogin->isChecked();
    e.smtpUserName = txtSMTPUserName->text();
    e.smtpPassword = txtSMTPPassword->text();
    e.smtpAllowPlainLogin = chkSMTPAllowPlainLogin->isChecked();
    e.discordWebhook = txtDiscordWebhook->text();
    return e;
}

bool frmOptions::save() {
    return SaveOptions(entries());
}

} // namespace rm
