#pragma once

#include "comms/EmailRequest.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace rm {

// "Send E-Mails": one subject and plain-text message, sent to the people its opener chose, one SMTP
// delivery per person. Mode "Q" one player (RecipientKey), "S" the scheduling screen's selection,
// "M" the communications centre's selection; any other mode sends nothing. The window closes itself
// when the sending is over.
class frmSMTP : public QDialog {
    Q_OBJECT

public:
    explicit frmSMTP(QWidget* parent = nullptr);
    ~frmSMTP() override;

    QString SendMode;
    QString RecipientKey;
    const RecipientSelection* Selection = nullptr; // modes "S" and "M"; the opener stays open

    // Takes what an opener hands over.
    void applyRequest(const EmailRequest& request);

    // Checks the recipient of mode "Q" and sets the status line; false when the window is to close.
    // Runs once, right after the window is first shown.
    bool activate();

    bool isSending() const { return m_sending; }
    QString statusText() const;

public Q_SLOTS:
    void pressSend();
    void pressCancel();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setStatus(const QString& text);
    void setSending(bool sending);
    void unload();

    QLineEdit* txtSubject = nullptr;
    QPlainTextEdit* txtMessage = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblAttachment = nullptr;
    QLabel* lblRecipients = nullptr;
    QToolButton* imgSend = nullptr;
    QToolButton* imgCancel = nullptr;

    QString m_address;          // mode "Q"
    QByteArray m_calendarEvent; // sent with every message when not empty
    QDateTime m_matchUtc;       // the match the message announces, when it does
    qint32 m_leaderZone = 0;
    bool m_activated = false;
    bool m_sending = false;
    bool m_unloaded = false;
};

} // namespace rm
