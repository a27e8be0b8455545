#pragma once

#include "comms/MailMessage.h"
#include "comms/Sockets.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <chrono>

class QEventLoop;

namespace rm {

// Splits what the server sends into replies. A reply may arrive in pieces or several in one read,
// and a multi-line reply ("250-..." lines up to the final "250 ...") counts once, by its final line.
class SmtpReplyReader {
public:
    // Takes the bytes of one read; returns the codes of the replies completed by them, in order.
    QList<int> feed(const QByteArray& bytes);
    void clear() { m_pending.clear(); }

    // The number at the start of the first three characters of a line (digits up to the first
    // non-digit; none gives 0).
    static int replyCode(const QByteArray& line);

private:
    QByteArray m_pending;
};

// Results of a send.
enum SendResult : int { SendFailed = -1, SendTimedOut = 0, SendAccepted = 1 };

// Delivers one plain-text message to one recipient through an SMTP server. The call waits for the
// server while the event loop keeps running, so the window stays responsive and the connection's
// events arrive. One deadline bounds everything from opening the connection to the reply to QUIT.
class SmtpMailer final : public QObject {
public:
    SmtpMailer();
    ~SmtpMailer() override;

    // 1 accepted, 0 no progress before the deadline (connection closed), -1 an error (the
    // connection could not be opened, a socket error, an error reply, the server hung up).
    int sendMailMessage(const QString& serverHost, int serverPort, const QString& senderAddress,
                        const QString& recipientAddress, const QString& senderName,
                        const QString& recipientName, const QString& unused, const QString& subject,
                        const QString& body);

    // Closes the connection, whatever it holds.
    void closeConnection();

    void setDeadline(std::chrono::milliseconds deadline) { m_deadline = deadline; }
    std::chrono::milliseconds deadline() const { return m_deadline; }

    bool isSending() const { return m_sending; }
    SocketHandle connectionHandle() const { return m_handle; }
    int progressStep() const { return m_progress; }
    int replyCode() const { return m_replyCode; }
    bool greetingReceived() const { return m_greeting; }
    bool errorFlagged() const { return m_error; }

private:
    void onSocketEvent(SocketHandle handle, qint32 eventWord);
    void takeReply(int code);
    void sendBytes(const QByteArray& bytes);
    void flush();
    enum class Wait { Reached, Failed, TimedOut };
    Wait waitUntil(const std::function<bool()>& condition);
    Wait waitForStep(int step);
    void runEventsOnce();
    void wake();
    int timedOut();

    SocketHandle m_handle = 0;
    bool m_connected = false;
    bool m_closedByServer = false;
    int m_progress = 0;
    bool m_greeting = false;
    bool m_error = false;
    int m_replyCode = 0;
    bool m_sending = false;
    SmtpReplyReader m_reader;
    QByteArray m_outbox;
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
