#pragma once

#include "comms/MailMessage.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslError>
#include <QString>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>

class QEventLoop;
class QSslSocket;

namespace rm {

// One complete server reply: its code and every line of it (without line ends).
struct SmtpReply {
    int code = 0;
    QList<QByteArray> lines;
};

// Splits what the server sends into replies. A reply may arrive in pieces or several in one read,
// and a multi-line reply ("250-..." lines up to the final "250 ...") counts once, by its final line.
class SmtpReplyReader {
public:
    // Takes the bytes of one read; returns the replies completed by them, in order.
    QList<SmtpReply> feedReplies(const QByteArray& bytes);
    // The same, the codes only.
    QList<int> feed(const QByteArray& bytes);
    void clear() {
        m_pending.clear();
        m_lines.clear();
    }

    // The number at the start of the first three characters of a line (digits up to the first
    // non-digit; none gives 0).
    static int replyCode(const QByteArray& line);

private:
    QByteArray m_pending;
    QList<QByteArray> m_lines;
};

// Results of a send.
enum SendResult : int { SendFailed = -1, SendTimedOut = 0, SendAccepted = 1 };

// How the connection to the server is secured.
enum SmtpSecurity : int { SecurityNone = 0, SecurityStartTls = 1, SecuritySslTls = 2 };
// Why a certificate was refused, in plain words ("it has expired"), and the whole sentence that
// tells the user: "The certificate of <host> was refused: <reasons>."
QString CertificateReason(const QSslError& error);
QString CertificateRefusal(const QString& host, const QList<QSslError>& errors);

// The usual port of each kind: 25, 587 and 465.
int UsualSmtpPort(int security);

// Where and how to deliver.
struct SmtpServerSettings {
    QString host;
    int port = 25;
    int security = SecurityNone;
    bool useLogin = false;
    bool allowPlainLogin = false; // send the password over a connection without TLS
    QString userName;
    QString password;
};

// Delivers one plain-text message to one recipient through an SMTP server. The call waits for the
// server while the event loop keeps running, so the window stays responsive. One deadline bounds
// everything from opening the connection and the TLS handshake to the reply to QUIT.
class SmtpMailer final : public QObject {
public:
    SmtpMailer();
    ~SmtpMailer() override;

    // 1 accepted, 0 no answer before the deadline (connection closed), -1 an error (the connection
    // could not be opened or secured, a refused certificate or login, an error reply, the server hung
    // up). failureText() then tells what failed, with the server's last reply line.
    int send(const SmtpServerSettings& server, const MailMessage& message);

    // A plain connection without login.
    int sendMailMessage(const QString& serverHost, int serverPort, const QString& senderAddress,
                        const QString& recipientAddress, const QString& senderName,
                        const QString& recipientName, const QString& unused, const QString& subject,
                        const QString& body);

    // What made the last send fail, in plain words; empty after a success.
    QString failureText() const { return m_failure; }
    // The last line the server sent (the password, should a server echo it, masked).
    QString lastReplyLine() const { return m_lastReply; }

    // Closes the connection, whatever it holds.
    void closeConnection();

    void setDeadline(std::chrono::milliseconds deadline) { m_deadline = deadline; }
    std::chrono::milliseconds deadline() const { return m_deadline; }
    // The authorities that certificates must come from; empty: the system's own store.
    void setCaCertificates(const QList<QSslCertificate>& certificates) { m_caCertificates = certificates; }

    bool isSending() const { return m_sending; }
    // The descriptor of the open connection; 0 when there is none.
    qintptr connectionHandle() const;

private:
    enum class Wait { Reached, Failed, TimedOut };
    int run(const SmtpServerSettings& server, const MailMessage& message);
    void openSocket(const SmtpServerSettings& server);
    Wait waitUntil(const std::function<bool()>& condition);
    void runEventsOnce();
    void wake();
    void readReplies();
    // Sends a line (unless empty) and waits for the next reply: 1 when one came (its code is the
    // caller's to judge), else the result of the send (the failure set).
    int exchange(const QByteArray& line, const QString& what, SmtpReply* reply);
    int fail(const QString& what);
    int refused(const QString& what, const SmtpReply& reply);
    int timedOut(const QString& what);
    int brokenOff(const QString& what);
    QString connectionProblem() const;
    int login(const SmtpServerSettings& server, const QList<QByteArray>& mechanisms);

    std::unique_ptr<QSslSocket> m_socket;
    QString m_host;
    QString m_password; // of the current send, to keep it out of every text
    bool m_closedByServer = false;
    bool m_socketError = false;
    bool m_hostNotFound = false;
    QString m_socketErrorText;
    QString m_certificateProblem;
    bool m_sending = false;
    SmtpReplyReader m_reader;
    std::deque<SmtpReply> m_replies;
    QString m_failure;
    QString m_lastReply;
    QList<QSslCertificate> m_caCertificates;
    std::chrono::milliseconds m_deadline{60000};
    qint64 m_deadlineAt = 0; // msecs on the monotonic clock
    QEventLoop* m_loop = nullptr;
};

// The one mailer of the application.
SmtpMailer& Mailer();

// The send call of the e-mail window: Mailer().sendMailMessage with the nine arguments.
int SendMailMessage(const QString& serverHost, int serverPort, const QString& senderAddress,
                    const QString& recipientAddress, const QString& senderName, const QString& recipientName,
                    const QString& unused, const QString& subject, const QString& body);

// How long a send may take (60 seconds unless changed; tests shorten it).
void SetMailDeadline(std::chrono::milliseconds deadline);

} // namespace rm
