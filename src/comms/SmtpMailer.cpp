#include "comms/SmtpMailer.h"

#include "data/AppEnvironment.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

#ifdef Q_OS_WIN
#include <ws2tcpip.h>
#else
#include <netdb.h>
#endif

namespace rm {

namespace {

// Without a line end a server has no business sending this much.
constexpr qsizetype kLongestReplyLine = 64 * 1024;

const QString kCrLf = QStringLiteral("\r\n");

qint64 MonotonicMsecs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

// A name as a domain may hold it; empty when it has characters a domain may not.
QByteArray DomainName(const QString& text) {
    const QByteArray name = text.toLatin1();
    for (const char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
              c == '.'))
            return {};
    return name;
}

// The computer's fully qualified name: the host name when it has a domain, else the canonical name
// the resolver gives for it (from /etc/hosts or DNS). Empty when there is none.
QByteArray FullyQualifiedName() {
    static const QByteArray name = [] {
        const QString host = QHostInfo::localHostName();
        const auto qualified = [](const QByteArray& n) {
            return n.contains('.') && !n.startsWith('.') && !n.endsWith('.') &&
                   !n.toLower().startsWith("localhost");
        };
        if (const QByteArray own = DomainName(host); qualified(own))
            return own;
        addrinfo hints{};
        hints.ai_flags = AI_CANONNAME;
        addrinfo* found = nullptr;
        QByteArray canonical;
        if (!host.isEmpty() && getaddrinfo(host.toLatin1().constData(), nullptr, &hints, &found) == 0) {
            if (found && found->ai_canonname)
                canonical = DomainName(QString::fromLatin1(found->ai_canonname));
            freeaddrinfo(found);
        }
        return qualified(canonical) ? canonical : QByteArray();
    }();
    return name;
}

// The name given in EHLO: the fully qualified name, or else the address literal of this end of the
// connection ("[192.0.2.1]", "[IPv6:2001:db8::1]"), as servers that check the name accept.
QByteArray EhloName(const QHostAddress& local) {
    if (const QByteArray name = FullyQualifiedName(); !name.isEmpty())
        return name;
    QHostAddress address = local;
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    if (mapped)
        address = QHostAddress(v4);
    if (address.protocol() == QAbstractSocket::IPv6Protocol)
        return "[IPv6:" + address.toString().toLatin1() + ']';
    return '[' + address.toString().toLatin1() + ']';
}

// The extension keywords of an EHLO reply (the lines after the first), upper case.
QList<QByteArray> Extensions(const SmtpReply& reply) {
    QList<QByteArray> result;
    for (qsizetype i = 1; i < reply.lines.size(); ++i)
        result << reply.lines.at(i).mid(4).trimmed().toUpper();
    return result;
}

bool Offers(const QList<QByteArray>& extensions, const QByteArray& keyword) {
    for (const QByteArray& e : extensions) {
        if (e == keyword || e.startsWith(keyword + ' '))
            return true;
    }
    return false;
}

// The mechanisms of "AUTH PLAIN LOGIN" (and of the older "AUTH=PLAIN LOGIN").
QList<QByteArray> AuthMechanisms(const QList<QByteArray>& extensions) {
    QList<QByteArray> result;
    for (const QByteArray& e : extensions) {
        if (e.startsWith("AUTH ") || e.startsWith("AUTH="))
            result += e.mid(5).simplified().split(' ');
    }
    return result;
}

const QString kPlainLoginRefused =
    QStringLiteral("The password was not sent: the connection is not encrypted. Choose STARTTLS or "
                   "SSL/TLS, or allow login without encryption.");

} // namespace

QString CertificateReason(const QSslError& error) {
    switch (error.error()) {
    case QSslError::CertificateExpired:
        return QStringLiteral("it has expired");
    case QSslError::CertificateNotYetValid:
        return QStringLiteral("it is not valid yet");
    case QSslError::HostNameMismatch:
        return QStringLiteral("it was issued for another host name");
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::CertificateUntrusted:
        return QStringLiteral("it is not signed by a trusted certificate authority");
    default:
        return error.errorString();
    }
}

QString CertificateRefusal(const QString& host, const QList<QSslError>& errors) {
    QStringList reasons;
    for (const QSslError& e : errors) {
        const QString reason = CertificateReason(e);
        if (!reasons.contains(reason))
            reasons << reason;
    }
    return QStringLiteral("The certificate of %1 was refused: %2.")
        .arg(host, reasons.join(QStringLiteral("; ")));
}

int UsualSmtpPort(int security) {
    return security == SecurityStartTls ? 587 : security == SecuritySslTls ? 465 : 25;
}

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

QList<SmtpReply> SmtpReplyReader::feedReplies(const QByteArray& bytes) {
    QList<SmtpReply> replies;
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
        m_lines << line;
        // "250-..." continues a reply; the line without the hyphen ends it.
        if (line.size() >= 4 && line.at(3) == '-')
            continue;
        replies << SmtpReply{replyCode(line), m_lines};
        m_lines.clear();
    }
    m_pending.remove(0, start);
    if (m_pending.size() > kLongestReplyLine)
        m_pending.clear();
    return replies;
}

QList<int> SmtpReplyReader::feed(const QByteArray& bytes) {
    QList<int> codes;
    for (const SmtpReply& reply : feedReplies(bytes))
        codes << reply.code;
    return codes;
}

SmtpMailer::SmtpMailer() = default;

SmtpMailer::~SmtpMailer() {
    closeConnection();
}

qintptr SmtpMailer::connectionHandle() const {
    const qintptr handle = m_socket ? m_socket->socketDescriptor() : -1;
    return handle < 0 ? 0 : handle;
}

void SmtpMailer::closeConnection() {
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket.release()->deleteLater(); // may be inside one of its own signals
    }
    m_reader.clear();
    m_replies.clear();
}

void SmtpMailer::wake() {
    if (m_loop)
        m_loop->quit();
}

void SmtpMailer::readReplies() {
    if (!m_socket)
        return;
    for (SmtpReply& reply : m_reader.feedReplies(m_socket->readAll()))
        m_replies.push_back(std::move(reply));
    wake();
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
        if (m_socketError || m_closedByServer || !m_certificateProblem.isEmpty())
            return Wait::Failed;
        runEventsOnce();
        if (MonotonicMsecs() >= m_deadlineAt)
            return condition() ? Wait::Reached : Wait::TimedOut;
    }
}

int SmtpMailer::fail(const QString& what) {
    m_failure = what;
    if (!m_lastReply.isEmpty())
        m_failure += kCrLf + QStringLiteral("Last reply from the server: ") + m_lastReply;
    return SendFailed;
}

int SmtpMailer::refused(const QString& what, const SmtpReply& reply) {
    Q_UNUSED(reply); // its last line is the last reply already
    return fail(what);
}

int SmtpMailer::timedOut(const QString& what) {
    const QString seconds = QString::number(static_cast<double>(m_deadline.count()) / 1000.0, 'g', 3);
    fail(QStringLiteral("The server %1 did not answer within %2 seconds while Rallymark waited for %3.")
             .arg(m_host, seconds, what));
    closeConnection();
    return SendTimedOut;
}

QString SmtpMailer::connectionProblem() const {
    if (!m_certificateProblem.isEmpty())
        return m_certificateProblem;
    if (m_closedByServer && !m_socketError)
        return QStringLiteral("the server closed the connection");
    QString text = m_socketErrorText;
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1); // the caller ends the sentence
    return text;
}

int SmtpMailer::brokenOff(const QString& what) {
    if (!m_certificateProblem.isEmpty())
        return fail(m_certificateProblem);
    return fail(QStringLiteral("The connection to %1 broke off while Rallymark waited for %2: %3.")
                    .arg(m_host, what, connectionProblem()));
}

int SmtpMailer::exchange(const QByteArray& line, const QString& what, SmtpReply* reply) {
    if (!line.isEmpty() && m_socket)
        m_socket->write(line + QByteArrayLiteral("\r\n"));
    switch (waitUntil([this] { return !m_replies.empty(); })) {
    case Wait::Reached:
        *reply = std::move(m_replies.front());
        m_replies.pop_front();
        m_lastReply = QString::fromUtf8(reply->lines.isEmpty() ? QByteArray() : reply->lines.last());
        if (!m_password.isEmpty())
            m_lastReply.replace(m_password, QStringLiteral("********"));
        return SendAccepted;
    case Wait::Failed:
        return brokenOff(what);
    case Wait::TimedOut:
        break;
    }
    return timedOut(what);
}

void SmtpMailer::openSocket(const SmtpServerSettings& server) {
    m_socket = std::make_unique<QSslSocket>();
    QSslSocket* socket = m_socket.get();
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setProtocol(QSsl::TlsV1_2OrLater);
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!m_caCertificates.isEmpty())
        config.setCaCertificates(m_caCertificates);
    socket->setSslConfiguration(config);
    socket->setPeerVerifyName(server.host);

    connect(socket, &QSslSocket::readyRead, this, &SmtpMailer::readReplies);
    connect(socket, &QSslSocket::connected, this, &SmtpMailer::wake);
    connect(socket, &QSslSocket::encrypted, this, &SmtpMailer::wake);
    connect(socket, &QSslSocket::disconnected, this, [this] {
        m_closedByServer = true;
        wake();
    });
    connect(socket, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
        // Never ignored: the handshake fails after this, and the mail is not sent.
        m_certificateProblem = CertificateRefusal(m_host, errors);
        wake();
    });
    connect(socket, &QSslSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (m_socketError)
            return; // the first error tells what happened
        m_socketError = true;
        m_hostNotFound = error == QAbstractSocket::HostNotFoundError;
        if (error == QAbstractSocket::ConnectionRefusedError)
            m_socketErrorText = QStringLiteral("Connection refused.");
        else if (error == QAbstractSocket::RemoteHostClosedError)
            m_socketErrorText = QStringLiteral("the server closed the connection");
        else if (error == QAbstractSocket::SslHandshakeFailedError)
            m_socketErrorText = QStringLiteral("the secure connection could not be set up (") +
                                m_socket->errorString() + QLatin1Char(')');
        else
            m_socketErrorText = m_socket->errorString();
        wake();
    });

    // The socket looks the name up without blocking and tries each of its addresses, IPv6 and IPv4.
    if (server.security == SecuritySslTls)
        socket->connectToHostEncrypted(server.host, static_cast<quint16>(server.port));
    else
        socket->connectToHost(server.host, static_cast<quint16>(server.port));
}

int SmtpMailer::login(const SmtpServerSettings& server, const QList<QByteArray>& mechanisms) {
    if (!m_socket->isEncrypted() && !server.allowPlainLogin)
        return fail(kPlainLoginRefused);
    const QString refusedLogin = QStringLiteral("The server did not accept the user name and password.");
    const QByteArray user = server.userName.toUtf8();
    const QByteArray password = server.password.toUtf8();
    SmtpReply reply;
    if (mechanisms.contains("PLAIN")) {
        const QByteArray token = (QByteArray(1, '\0') + user + QByteArray(1, '\0') + password).toBase64();
        if (const int r = exchange("AUTH PLAIN " + token, QStringLiteral("the reply to AUTH PLAIN"), &reply);
            r != SendAccepted)
            return r;
        return reply.code == 235 ? SendAccepted : refused(refusedLogin, reply);
    }
    if (mechanisms.contains("LOGIN")) {
        const QList<QPair<QByteArray, int>> steps = {
            {"AUTH LOGIN", 334}, {user.toBase64(), 334}, {password.toBase64(), 235}};
        for (const auto& [line, expected] : steps) {
            if (const int r = exchange(line, QStringLiteral("the reply to AUTH LOGIN"), &reply);
                r != SendAccepted)
                return r;
            if (reply.code != expected)
                return refused(refusedLogin, reply);
        }
        return SendAccepted;
    }
    return fail(QStringLiteral("The server offers no login method that Rallymark can use (PLAIN or LOGIN)."));
}

int SmtpMailer::run(const SmtpServerSettings& server, const MailMessage& message) {
    m_host = server.host;
    if (server.port <= 0 || server.port >= 65535)
        return fail(QStringLiteral("The port number %1 cannot be used.").arg(server.port));
    if (server.security != SecurityNone && !QSslSocket::supportsSsl())
        return fail(
            QStringLiteral("Secure connections are not available: the TLS library could not be loaded."));
    if (server.useLogin && server.security == SecurityNone && !server.allowPlainLogin)
        return fail(kPlainLoginRefused);
    m_deadlineAt = MonotonicMsecs() + m_deadline.count();
    openSocket(server);
    const bool implicitTls = server.security == SecuritySslTls;
    const QString connecting = implicitTls ? QStringLiteral("the secure connection (TLS handshake)")
                                           : QStringLiteral("the connection");
    switch (waitUntil([this, implicitTls] {
        return m_socket->state() == QAbstractSocket::ConnectedState &&
               (!implicitTls || m_socket->isEncrypted());
    })) {
    case Wait::Reached:
        break;
    case Wait::Failed:
        if (!m_certificateProblem.isEmpty())
            return fail(m_certificateProblem);
        if (m_hostNotFound)
            return fail(QStringLiteral("The server name \"%1\" could not be found.").arg(server.host));
        return fail(QStringLiteral("Could not connect to %1 on port %2: %3.")
                        .arg(server.host)
                        .arg(server.port)
                        .arg(connectionProblem()));
    case Wait::TimedOut:
        return timedOut(connecting);
    }

    SmtpReply reply;
    if (const int r = exchange({}, QStringLiteral("the greeting"), &reply); r != SendAccepted)
        return r;
    if (reply.code != 220)
        return refused(QStringLiteral("The server did not greet with 220."), reply);

    const QByteArray ehloName = EhloName(m_socket->localAddress());
    const QByteArray ehlo = QByteArrayLiteral("EHLO ") + ehloName;
    if (const int r = exchange(ehlo, QStringLiteral("the reply to EHLO"), &reply); r != SendAccepted)
        return r;
    QList<QByteArray> extensions;
    if (reply.code == 500 || reply.code == 502) {
        if (const int r =
                exchange(QByteArrayLiteral("HELO ") + ehloName, QStringLiteral("the reply to HELO"), &reply);
            r != SendAccepted)
            return r;
        if (reply.code != 250)
            return refused(QStringLiteral("The server refused both EHLO and HELO."), reply);
    } else if (reply.code != 250) {
        return refused(QStringLiteral("The server refused EHLO."), reply);
    } else {
        extensions = Extensions(reply);
    }

    if (server.security == SecurityStartTls) {
        if (!Offers(extensions, "STARTTLS"))
            return fail(QStringLiteral("The server %1 does not offer STARTTLS, so the connection cannot be "
                                       "secured; nothing was sent.")
                            .arg(server.host));
        if (const int r = exchange("STARTTLS", QStringLiteral("the reply to STARTTLS"), &reply);
            r != SendAccepted)
            return r;
        if (reply.code != 220)
            return refused(QStringLiteral("The server refused STARTTLS."), reply);
        // Whatever came before the handshake is not to be trusted.
        m_socket->readAll();
        m_reader.clear();
        m_replies.clear();
        m_socket->startClientEncryption();
        switch (waitUntil([this] { return m_socket->isEncrypted(); })) {
        case Wait::Reached:
            break;
        case Wait::Failed:
            return brokenOff(QStringLiteral("the secure connection (TLS handshake)"));
        case Wait::TimedOut:
            return timedOut(QStringLiteral("the secure connection (TLS handshake)"));
        }
        if (const int r = exchange(ehlo, QStringLiteral("the reply to EHLO"), &reply); r != SendAccepted)
            return r;
        if (reply.code != 250)
            return refused(QStringLiteral("The server refused EHLO."), reply);
        extensions = Extensions(reply);
    }

    // An address with a non-ASCII part before the "@" needs SMTPUTF8; a non-ASCII domain alone
    // travels as IDNA.
    MailMessage sent = message;
    sent.senderAddress = SingleLine(message.senderAddress).trimmed();
    sent.recipientAddress = SingleLine(message.recipientAddress).trimmed();
    const std::optional<QString> asciiFrom = AsciiMailAddress(sent.senderAddress);
    const std::optional<QString> asciiTo = AsciiMailAddress(sent.recipientAddress);
    const bool utf8 = !asciiFrom || !asciiTo;
    if (utf8 && !Offers(extensions, "SMTPUTF8"))
        return fail(QStringLiteral("The address <%1> has characters outside ASCII before the \"@\", and the "
                                   "server %2 does not offer SMTPUTF8, which is needed to carry it; nothing "
                                   "was sent.")
                        .arg(asciiFrom ? sent.recipientAddress : sent.senderAddress, server.host));
    if (!utf8) {
        sent.senderAddress = *asciiFrom;
        sent.recipientAddress = *asciiTo;
    }

    if (server.useLogin) {
        if (const int r = login(server, AuthMechanisms(extensions)); r != SendAccepted)
            return r;
    }

    const QByteArray from = sent.senderAddress.toUtf8();
    if (const int r = exchange("MAIL FROM:<" + from + ">" + (utf8 ? " SMTPUTF8" : ""),
                               QStringLiteral("the reply to MAIL FROM"), &reply);
        r != SendAccepted)
        return r;
    if (reply.code != 250)
        return refused(
            QStringLiteral("The server refused the sender address <%1>.").arg(QString::fromUtf8(from)),
            reply);
    const QByteArray to = sent.recipientAddress.toUtf8();
    if (const int r = exchange("RCPT TO:<" + to + ">", QStringLiteral("the reply to RCPT TO"), &reply);
        r != SendAccepted)
        return r;
    if (reply.code != 250 && reply.code != 251)
        return refused(
            QStringLiteral("The server refused the recipient address <%1>.").arg(QString::fromUtf8(to)),
            reply);
    if (const int r = exchange("DATA", QStringLiteral("the reply to DATA"), &reply); r != SendAccepted)
        return r;
    if (reply.code != 354)
        return refused(QStringLiteral("The server refused to take the message (DATA)."), reply);

    const QString domain = MailDomain(sent.senderAddress);
    m_socket->write(BuildMessageLines(sent, MakeMessageId(domain), Now()).join());
    if (const int r = exchange({}, QStringLiteral("the reply to the message"), &reply); r != SendAccepted)
        return r;
    if (reply.code != 250)
        return refused(QStringLiteral("The server did not accept the message."), reply);

    // The message is accepted: how QUIT goes changes nothing about that.
    exchange("QUIT", QStringLiteral("the reply to QUIT"), &reply);
    m_failure.clear();
    return SendAccepted;
}

int SmtpMailer::send(const SmtpServerSettings& server, const MailMessage& message) {
    if (m_sending)
        return SendFailed;
    m_sending = true;
    closeConnection();
    m_closedByServer = false;
    m_socketError = false;
    m_hostNotFound = false;
    m_socketErrorText.clear();
    m_certificateProblem.clear();
    m_failure.clear();
    m_lastReply.clear();
    m_password = server.password;
    const int result = run(server, message);
    closeConnection();
    m_password.clear();
    m_sending = false;
    return result;
}

int SmtpMailer::sendMailMessage(const QString& serverHost, int serverPort, const QString& senderAddress,
                                const QString& recipientAddress, const QString& senderName,
                                const QString& recipientName, const QString& unused, const QString& subject,
                                const QString& body) {
    Q_UNUSED(unused);
    SmtpServerSettings server;
    server.host = serverHost;
    server.port = serverPort;
    return send(server, {senderAddress, recipientAddress, senderName, recipientName, subject, body});
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
