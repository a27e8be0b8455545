#include "comms/SmtpMailer.h"

#include "data/AppEnvironment.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace rm {

namespace {

constexpr int kReceiveBufferSize = 1000;
// Without a line end a server has no business sending this much.
constexpr qsizetype kLongestReplyLine = 64 * 1024;

bool IsErrorReply(int code) {
    switch (code) {
    case 451:
    case 452:
    case 500:
    case 550:
    case 551:
    case 552:
    case 553:
    case 554:
        return true;
    default:
        return false;
    }
}

qint64 MonotonicMsecs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

} // namespace

int SmtpReplyReader::replyCode(const QByteArray& line) {
    int code = 0;
    for (qsizetype i = 0; i < 3 && i < line.size(); ++i) {
        const char c = line.at(i);
        if (c < '0' || c > '9')
            break;
        code = code * 10 + (c - '0');
    }
    return code;
}

QList<int> SmtpReplyReader::feed(const QByteArray& bytes) {
    QList<int> codes;
    m_pending += bytes;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = m_pending.indexOf('\n', start);
        if (end < 0)
            break;
        QByteArray line = m_pending.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        start = end + 1;
        // "250-..." continues a reply; the line without the hyphen ends it.
        if (line.size() >= 4 && line.at(3) == '-')
            continue;
        codes << replyCode(line);
    }
    m_pending.remove(0, start);
    if (m_pending.size() > kLongestReplyLine)
        m_pending.clear();
    return codes;
}

SmtpMailer::SmtpMailer() = default;

SmtpMailer::~SmtpMailer() {
    closeConnection();
}

void SmtpMailer::closeConnection() {
    if (m_handle != 0)
        CloseConnection(m_handle);
    m_handle = 0;
    m_connected = false;
    m_outbox.clear();
    m_reader.clear();
}

void SmtpMailer::wake() {
    if (m_loop)
        m_loop->quit();
}

void SmtpMailer::takeReply(int code) {
    m_replyCode = code;
    if (code == 220)
        m_greeting = true;
    else if (code == 221 || code == 250 || code == 354)
        ++m_progress;
    else if (IsErrorReply(code))
        m_error = true;
}

void SmtpMailer::onSocketEvent(SocketHandle handle, qint32 eventWord) {
    // Events of a connection that has since been replaced are of no interest.
    if (handle != m_handle)
        return;
    if (NotifyErrorCode(eventWord) != 0)
        m_error = true;
    switch (eventWord & 0xFFFF) {
    case SocketRead:
        if (eventWord == SocketRead) {
            QByteArray bytes;
            if (ReceiveText(handle, &bytes, kReceiveBufferSize) > 0) {
                for (const int code : m_reader.feed(bytes))
                    takeReply(code);
            }
        }
        break;
    case SocketConnect:
        if (eventWord == SocketConnect)
            m_connected = true;
        break;
    case SocketWrite:
        flush();
        break;
    case SocketClose:
        // The server hung up: release the connection; no further reply can come.
        m_closedByServer = true;
        closeConnection();
        break;
    default:
        break;
    }
    wake();
}

void SmtpMailer::sendBytes(const QByteArray& bytes) {
    m_outbox += bytes;
    flush();
}

void SmtpMailer::flush() {
    while (!m_outbox.isEmpty() && m_handle != 0) {
        const int sent = SendText(m_handle, m_outbox);
        if (sent > 0) {
            m_outbox.remove(0, sent);
            continue;
        }
        if (sent < 0 && LastSocketError() != kWouldBlock)
            m_error = true;
        break; // the rest goes when the connection can take it (write event)
    }
}

void SmtpMailer::runEventsOnce() {
    const qint64 remaining = m_deadlineAt - MonotonicMsecs();
    if (remaining <= 0)
        return;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(qMin<qint64>(remaining, 1000)));
    QEventLoop* outer = m_loop;
    m_loop = &loop;
    loop.exec();
    m_loop = outer;
}

SmtpMailer::Wait SmtpMailer::waitUntil(const std::function<bool()>& condition) {
    for (;;) {
        if (condition())
            return Wait::Reached;
        if (m_closedByServer)
            return Wait::Failed;
        runEventsOnce();
        if (m_error)
            return Wait::Failed;
        if (MonotonicMsecs() >= m_deadlineAt)
            return Wait::TimedOut;
    }
}

SmtpMailer::Wait SmtpMailer::waitForStep(int step) {
    return waitUntil([this, step] { return m_progress >= step; });
}

int SmtpMailer::timedOut() {
    closeConnection();
    return SendTimedOut;
}

int SmtpMailer::sendMailMessage(const QString& serverHost, int serverPort, const QString& senderAddress,
                                const QString& recipientAddress, const QString& senderName,
                                const QString& recipientName, const QString& unused, const QString& subject,
                                const QString& body) {
    Q_UNUSED(unused);
    if (m_sending)
        return SendFailed;
    m_sending = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_sending};

    m_progress = 0;
    m_greeting = false;
    m_error = false;
    m_replyCode = 0;
    m_closedByServer = false;
    closeConnection();

    QString addressText;
    const SocketHandle handle = OpenConnection(
        serverHost, serverPort, &addressText, this,
        [this](SocketHandle h, qint32 eventWord) { onSocketEvent(h, eventWord); }, true);
    if (handle == -1)
        return SendFailed;
    m_handle = handle;
    m_deadlineAt = MonotonicMsecs() + m_deadline.count();

    auto step = [this](Wait wait) -> int {
        if (wait == Wait::Failed)
            return SendFailed;
        if (wait == Wait::TimedOut)
            return timedOut();
        return SendAccepted;
    };
    auto failedOrTimedOut = [](int result) { return result != SendAccepted; };

    int result = step(waitUntil([this] { return m_connected; }));
    if (failedOrTimedOut(result))
        return result;
    result = step(waitUntil([this] { return m_greeting; }));
    if (failedOrTimedOut(result))
        return result;

    const QString domain = SingleLine(MailDomain(senderAddress));
    sendBytes(QByteArrayLiteral("HELO ") + domain.toUtf8() + QByteArrayLiteral("\r\n"));
    if (failedOrTimedOut(result = step(waitForStep(1))))
        return result;
    sendBytes(QByteArrayLiteral("MAIL FROM: <") + SingleLine(senderAddress).toUtf8() +
              QByteArrayLiteral(">\r\n"));
    if (failedOrTimedOut(result = step(waitForStep(2))))
        return result;
    sendBytes(QByteArrayLiteral("RCPT TO: <") + SingleLine(recipientAddress).toUtf8() +
              QByteArrayLiteral(">\r\n"));
    if (failedOrTimedOut(result = step(waitForStep(3))))
        return result;
    sendBytes(QByteArrayLiteral("DATA\r\n"));
    if (failedOrTimedOut(result = step(waitForStep(4))))
        return result;

    MailMessage message{senderAddress, recipientAddress, senderName, recipientName, subject, body};
    for (const QByteArray& line : BuildMessageLines(message, MakeMessageId(domain), Now()))
        sendBytes(line);
    if (failedOrTimedOut(result = step(waitForStep(5))))
        return result;

    sendBytes(QByteArrayLiteral("QUIT\r\n"));
    if (failedOrTimedOut(result = step(waitForStep(6))))
        return result;
    return SendAccepted;
}

SmtpMailer& Mailer() {
    static SmtpMailer* mailer = new SmtpMailer; // lives for the whole run
    return *mailer;
}

int SendMailMessage(const QString& serverHost, int serverPort, const QString& senderAddress,
                    const QString& recipientAddress, const QString& senderName, const QString& recipientName,
                    const QString& unused, const QString& subject, const QString& body) {
    return Mailer().sendMailMessage(serverHost, serverPort, senderAddress, recipientAddress, senderName,
                                    recipientName, unused, subject, body);
}

void SetMailDeadline(std::chrono::milliseconds deadline) {
    Mailer().setDeadline(deadline);
}

} // namespace rm
