#include "comms/widgets/frmSMTP.h"

#include "comms/EmailSending.h"
#include "comms/SmtpMailer.h"
#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/Options.h"
#include "ui/Maintenance.h"
#include "ui/NumericEntry.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace rm {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The hourglass while a send runs; the default pointer comes back once, however the send ends.
class BusyPointer {
public:
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { release(); }
    void release() {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
        m_active = false;
    }

private:
    bool m_active = true;
};

} // namespace

frmSMTP::frmSMTP(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSMTP"));
    setWindowTitle(QStringLiteral("Send E-Mails"));
    setWindowIcon(AppIcon(QStringLiteral("email_send")));

    auto* layout = new QVBoxLayout(this);

    auto* lblSubject = new QLabel(QStringLiteral("E-Mail Subject:"), this);
    lblSubject->setObjectName(QStringLiteral("lblSubject"));
    txtSubject = new QLineEdit(this);
    txtSubject->setObjectName(QStringLiteral("txtSubject"));
    lblSubject->setBuddy(txtSubject);
    SelectAllOnFocus(txtSubject);
    layout->addWidget(lblSubject);
    layout->addWidget(txtSubject);

    auto* fmeMessage = new QGroupBox(QStringLiteral("Message"), this);
    fmeMessage->setObjectName(QStringLiteral("fmeMessage"));
    auto* messageLayout = new QVBoxLayout(fmeMessage);
    txtMessage = new QPlainTextEdit(fmeMessage);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtMessage->setTabChangesFocus(true);
    SelectAllOnFocus(txtMessage);
    messageLayout->addWidget(txtMessage);
    layout->addWidget(fmeMessage, 1);
    // Who the mail goes to, before Send.
    lblRecipients = new QLabel(this);
    lblRecipients->setObjectName(QStringLiteral("lblRecipients"));
    lblRecipients->setWordWrap(true);
    lblRecipients->setHidden(true);
    layout->addWidget(lblRecipients);
    lblAttachment = new QLabel(tr("Attached: the match as a calendar event (match.ics)"), this);
    lblAttachment->setObjectName(QStringLiteral("lblAttachment"));
    lblAttachment->setHidden(true);
    layout->addWidget(lblAttachment);

    auto* bottom = new QHBoxLayout;
    lblStatus = new QLabel(QStringLiteral("Status Area"), this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setFrameShape(QFrame::StyledPanel);
    lblStatus->setFrameShadow(QFrame::Sunken);
    bottom->addWidget(lblStatus, 1);
    imgSend = MakePictureButton(this, QStringLiteral("imgSend"), QStringLiteral("email_send"),
                                QStringLiteral("Send"), QStringLiteral("Send the e-mail"));
    imgCancel = MakePictureButton(this, QStringLiteral("imgCancel"), QStringLiteral("email_cancel"),
                                  QStringLiteral("Cancel"), QStringLiteral("Close without sending"));
    bottom->addWidget(imgSend);
    bottom->addWidget(imgCancel);
    layout->addLayout(bottom);

    connect(imgSend, &QToolButton::clicked, this, &frmSMTP::pressSend);
    connect(imgCancel, &QToolButton::clicked, this, &frmSMTP::pressCancel);

    resize(TwipsToPixels(7200, this), TwipsToPixels(5400, this));
}

frmSMTP::~frmSMTP() {
    unload();
}

void frmSMTP::applyRequest(const EmailRequest& request) {
    SendMode = request.sendMode;
    RecipientKey = request.recipientKey;
    Selection = request.selection;
    txtSubject->setText(request.subject);
    txtMessage->setPlainText(request.message);
    m_calendarEvent = request.calendarEvent;
    m_matchUtc = request.matchUtc;
    m_leaderZone = request.leaderZone;
    lblAttachment->setHidden(m_calendarEvent.isEmpty());
    lblRecipients->setHidden(!Selection);
    if (Selection)
        RunTrapped([this] { lblRecipients->setText(RecipientsText(SelectionRecipients(*Selection))); });
}

QString frmSMTP::statusText() const {
    return lblStatus->text();
}

void frmSMTP::setStatus(const QString& text) {
    lblStatus->setText(text);
}

void frmSMTP::setSending(bool sending) {
    m_sending = sending;
    imgSend->setEnabled(!sending);
    imgCancel->setEnabled(!sending);
}

bool frmSMTP::activate() {
    if (m_activated)
        return true;
    m_activated = true;
    bool keepOpen = true;
    if (SendMode == QLatin1String("Q")) {
        QuickRecipient recipient;
        if (!RunTrapped([&] { recipient = LookUpQuickRecipient(RecipientKey); })) {
            keepOpen = false;
        } else if (recipient.status == QuickRecipient::NotFound) {
            ShowMessage(QStringLiteral("Player Could Not Be Found!"), AlignCenterText, vbOKOnly, vbCritical,
                        QStringLiteral("Error!"));
            keepOpen = false;
        } else if (recipient.status == QuickRecipient::NoAddress) {
            ShowMessage(recipient.onlineName + QStringLiteral(" has no e-mail addresses defined!"),
                        AlignCenterText, vbOKOnly, vbExclamation, QStringLiteral("E-Mail Address Missing"));
            keepOpen = false;
        } else {
            setWindowTitle(QStringLiteral("Sending E-Mail to ") + recipient.onlineName);
            m_address = recipient.address;
        }
    }
    setStatus(QStringLiteral("Composing E-Mail..."));
    if (!keepOpen)
        reject();
    return keepOpen;
}

void frmSMTP::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_activated)
        QTimer::singleShot(0, this, [this] { activate(); });
}

void frmSMTP::pressSend() {
    if (m_sending)
        return;
    const QString warnings = MissingInformationWarnings(txtSubject->text(), txtMessage->toPlainText());
    if (!warnings.isEmpty()) {
        const int answer =
            ShowMessage(warnings + kCrLf + kCrLf + QStringLiteral("Send Anyway?"), AlignCenterText, vbYesNo,
                        vbQuestion, QStringLiteral("Missing E-Mail Information"));
        if (answer == vbNo)
            return;
    }

    setSending(true);
    BusyPointer pointer;
    const QString subject = txtSubject->text().trimmed();
    const QString body = txtMessage->toPlainText().trimmed();
    const DeliveryCall deliver = OptionsDelivery(subject, body, m_calendarEvent);
    QString report;
    try {
        if (SendMode == QLatin1String("Q")) {
            setStatus(QStringLiteral("Sending E-Mail..."));
            QString failure;
            const int result = deliver(m_address, &failure);
            if (result != SendAccepted) {
                pointer.release();
                setStatus(QStringLiteral("Errors encountered"));
                ShowMessage(QuickSendErrorText(result, failure), AlignLeftText, vbOKOnly, vbInformation,
                            QStringLiteral("SMTP Error(s)"));
                setSending(false);
                accept();
                return;
            }
        } else if ((SendMode == QLatin1String("S") || SendMode == QLatin1String("M")) && Selection) {
            const auto status = [this](const QString& text) { setStatus(text); };
            if (m_matchUtc.isValid()) {
                // Each recipient reads the match on their own clock beside the leader's.
                const QHash<qint32, ZoneClock> clocks = LoadZoneClocks();
                const ZoneClock leader = clocks.value(m_leaderZone);
                const bool h24 = CurrentOptions().TimeFormat;
                report = SendToSelection(
                    *Selection,
                    [&](const SelectionRecipient& r) {
                        return OptionsDelivery(
                            subject,
                            PersonalMatchMessage(
                                body, MatchTimeLine(m_matchUtc, leader, clocks.value(r.zone), h24)),
                            m_calendarEvent);
                    },
                    status);
            } else {
                report = SendToSelection(*Selection, deliver, status);
            }
        }
    } catch (const DbError& e) {
        // The window stays open with its entries, so the user can try again.
        pointer.release();
        setStatus(QStringLiteral("Errors encountered"));
        ShowErrorReport(e.description());
        setSending(false);
        return;
    }

    setStatus(QStringLiteral("Sending completed"));
    if (!report.isEmpty()) {
        pointer.release();
        ShowMessage(report, AlignLeftText, vbOKOnly, vbInformation, QStringLiteral("E-Mail Summary"));
    }
    pointer.release();
    setSending(false);
    accept();
}

void frmSMTP::pressCancel() {
    if (m_sending)
        return;
    reject();
}

void frmSMTP::done(int result) {
    // Escape or the close box must not end the window in the middle of a send.
    if (m_sending)
        return;
    unload();
    QDialog::done(result);
}

void frmSMTP::closeEvent(QCloseEvent* event) {
    if (m_sending) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmSMTP::unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    Mailer().closeConnection();
    RecipientKey.clear();
}

} // namespace rm
