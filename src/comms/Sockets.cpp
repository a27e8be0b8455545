#include "comms/Sockets.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rm {

namespace {

bool g_started = false;
int g_lastError = 0;

int Fail(int code) {
    g_lastError = code;
    return -1;
}

// Watches one connection and turns the readiness of its descriptor into the layer's events.
class SocketWatcher final : public QObject {
public:
    SocketWatcher(SocketHandle handle, QObject* receiver, SocketEventHandler handler, bool connecting)
        : m_handle(handle), m_receiver(receiver), m_guarded(receiver != nullptr),
          m_handler(std::move(handler)), m_connecting(connecting), m_read(handle, QSocketNotifier::Read),
          m_write(handle, QSocketNotifier::Write) {
        m_read.setEnabled(!connecting);
        m_write.setEnabled(true); // connect outcome, or the first "ready to write"
        QObject::connect(&m_read, &QSocketNotifier::activated, this, [this] { readReady(); });
        QObject::connect(&m_write, &QSocketNotifier::activated, this, [this] { writeReady(); });
    }

    void stop() {
        m_stopped = true;
        m_read.setEnabled(false);
        m_write.setEnabled(false);
    }
    void wantWrite() {
        if (!m_stopped && !m_connecting)
            m_write.setEnabled(true);
    }

private:
    // Returns false when the connection was closed by the handler.
    bool deliver(int event, int error) {
        if (m_stopped || (m_guarded && !m_receiver) || !m_handler)
            return !m_stopped;
        SocketEventHandler handler = m_handler;
        handler(m_handle, MakeEventWord(event, error));
        return !m_stopped;
    }

    void writeReady() {
        m_write.setEnabled(false);
        if (m_connecting) {
            m_connecting = false;
            int error = 0;
            socklen_t length = sizeof(error);
            if (::getsockopt(m_handle, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
            if (error != 0) {
                deliver(SocketConnect, SocketErrorFromErrno(error));
                return;
            }
            m_read.setEnabled(true);
            if (!deliver(SocketConnect, 0))
                return;
        }
        deliver(SocketWrite, 0);
    }

    void readReady() {
        char probe = 0;
        const ssize_t n = ::recv(m_handle, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
        if (n > 0) {
            deliver(SocketRead, 0);
            return;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return;
        // The peer closed the connection (or it broke): one close event, then no more reads.
        m_read.setEnabled(false);
        deliver(SocketClose, n == 0 ? 0 : SocketErrorFromErrno(errno));
    }

    SocketHandle m_handle;
    QPointer<QObject> m_receiver;
    bool m_guarded;
    SocketEventHandler m_handler;
    bool m_connecting;
    bool m_stopped = false;
    QSocketNotifier m_read;
    QSocketNotifier m_write;
};

QHash<SocketHandle, SocketWatcher*>& Watchers() {
    static QHash<SocketHandle, SocketWatcher*> watchers;
    return watchers;
}

// Handle 0 means "no connection", so a descriptor that happens to be 0 (standard input closed) is
// moved elsewhere.
int AvoidZero(int fd) {
    if (fd != 0)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return moved;
}

int ResolverError(int code) {
    switch (code) {
    case EAI_NONAME:
        return 11001;
    case EAI_AGAIN:
        return 11002;
    case EAI_FAIL:
        return 11003;
#ifdef EAI_NODATA
    case EAI_NODATA:
        return 11004;
#endif
    case EAI_SYSTEM:
        return SocketErrorFromErrno(errno);
    default:
        return 11003;
    }
}

} // namespace

bool StartSockets() {
    g_started = true;
    return g_started;
}

HostAddress ResolveHost(const QString& host) {
    const QByteArray name = host.toLatin1();
    const in_addr_t dotted = ::inet_addr(name.constData());
    if (dotted != INADDR_NONE)
        return dotted;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* answer = nullptr;
    const int rc = ::getaddrinfo(name.constData(), nullptr, &hints, &answer);
    if (rc != 0 || !answer) {
        g_lastError = ResolverError(rc);
        return kNoAddress;
    }
    HostAddress result = kNoAddress;
    for (const addrinfo* a = answer; a; a = a->ai_next) {
        if (a->ai_family == AF_INET && a->ai_addr) {
            result = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr;
            break;
        }
    }
    ::freeaddrinfo(answer);
    if (result == kNoAddress)
        g_lastError = 11004;
    return result;
}

QString AddressToText(HostAddress address) {
    in_addr in{};
    in.s_addr = address;
    char text[INET_ADDRSTRLEN] = {};
    if (!::inet_ntop(AF_INET, &in, text, sizeof(text)))
        return QStringLiteral("255.255.255.255");
    return QString::fromLatin1(text).left(32);
}

int SetLinger(SocketHandle handle, int on, int seconds) {
    linger value{};
    value.l_onoff = on;
    value.l_linger = seconds;
    if (::setsockopt(handle, SOL_SOCKET, SO_LINGER, &value, sizeof(value)) != 0)
        return Fail(SocketErrorFromErrno(errno));
    linger check{};
    socklen_t length = sizeof(check);
    if (::getsockopt(handle, SOL_SOCKET, SO_LINGER, &check, &length) != 0)
        return Fail(SocketErrorFromErrno(errno));
    return 0;
}

SocketHandle OpenConnection(const QString& host, int port, QString* addressText, QObject* receiver,
                            SocketEventHandler handler, bool asynchronous) {
    if (port == 65535 || port < 0 || port > 65535)
        return Fail(10049);
    const HostAddress address = ResolveHost(host);
    if (address == kNoAddress)
        return -1;
    if (addressText)
        *addressText = AddressToText(address) + QLatin1Char(':') + QString::number(port);

    int type = SOCK_STREAM | SOCK_CLOEXEC;
    if (asynchronous)
        type |= SOCK_NONBLOCK;
    const int fd = AvoidZero(::socket(AF_INET, type, IPPROTO_TCP));
    if (fd < 0)
        return Fail(SocketErrorFromErrno(errno));
    if (SetLinger(fd, 1, 0) == -1) {
        ::close(fd);
        return -1;
    }

    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<quint16>(port));
    target.sin_addr.s_addr = address;
    const auto* targetAddress = reinterpret_cast<const sockaddr*>(&target);

    if (asynchronous) {
        if (::connect(fd, targetAddress, sizeof(target)) != 0 && errno != EINPROGRESS) {
            const int error = SocketErrorFromErrno(errno);
            ::close(fd);
            return Fail(error);
        }
        Watchers().insert(fd, new SocketWatcher(fd, receiver, std::move(handler), true));
        return fd;
    }

    if (::connect(fd, targetAddress, sizeof(target)) != 0) {
        const int error = SocketErrorFromErrno(errno);
        ::close(fd);
        return Fail(error);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        const int error = SocketErrorFromErrno(errno);
        ::close(fd);
        return Fail(error);
    }
    Watchers().insert(fd, new SocketWatcher(fd, receiver, std::move(handler), false));
    return fd;
}

int SendText(SocketHandle handle, const QByteArray& bytes) {
    if (bytes.isEmpty())
        return 0;
    const ssize_t sent = ::send(handle, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL);
    if (sent < 0) {
        const int error = SocketErrorFromErrno(errno);
        if (error == kWouldBlock) {
            if (SocketWatcher* watcher = Watchers().value(handle))
                watcher->wantWrite();
        }
        return Fail(error);
    }
    if (sent < bytes.size()) {
        if (SocketWatcher* watcher = Watchers().value(handle))
            watcher->wantWrite();
    }
    return static_cast<int>(sent);
}

int SendText(SocketHandle handle, const QString& text) {
    return SendText(handle, text.toLatin1());
}

int ReceiveText(SocketHandle handle, QByteArray* bytes, int maxBytes) {
    bytes->resize(maxBytes);
    const ssize_t n = ::recv(handle, bytes->data(), static_cast<size_t>(maxBytes), MSG_DONTWAIT);
    if (n < 0) {
        bytes->clear();
        const int error = SocketErrorFromErrno(errno);
        if (error == kWouldBlock)
            return 0;
        return Fail(error);
    }
    bytes->resize(static_cast<qsizetype>(n));
    return static_cast<int>(n);
}

void CloseConnection(SocketHandle handle) {
    if (handle <= 0)
        return;
    if (SocketWatcher* watcher = Watchers().take(handle)) {
        watcher->stop();
        watcher->deleteLater();
    }
    ::close(handle);
}

bool IsConnectionOpen(SocketHandle handle) {
    return Watchers().contains(handle);
}

int LastSocketError() {
    return g_lastError;
}

qint16 NotifyErrorCode(qint32 eventWord) {
    return static_cast<qint16>(static_cast<quint16>((static_cast<quint32>(eventWord) >> 16) & 0xFFFFu));
}

qint32 MakeEventWord(int event, int errorCode) {
    const quint32 word = (static_cast<quint32>(static_cast<quint16>(errorCode)) << 16) |
                         (static_cast<quint32>(event) & 0xFFFFu);
    return static_cast<qint32>(word);
}

int SocketErrorFromErrno(int error) {
    switch (error) {
    case 0:
        return 0;
    case EINTR:
        return 10004;
    case EBADF:
        return 10009;
    case EACCES:
    case EPERM:
        return 10013;
    case EFAULT:
        return 10014;
    case EINVAL:
        return 10022;
    case EMFILE:
    case ENFILE:
        return 10024;
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
        return 10035;
    case EINPROGRESS:
        return 10036;
    case EALREADY:
        return 10037;
    case ENOTSOCK:
        return 10038;
    case EDESTADDRREQ:
        return 10039;
    case EMSGSIZE:
        return 10040;
    case EPROTOTYPE:
        return 10041;
    case ENOPROTOOPT:
        return 10042;
    case EPROTONOSUPPORT:
        return 10043;
    case ESOCKTNOSUPPORT:
        return 10044;
    case EOPNOTSUPP:
        return 10045;
    case EPFNOSUPPORT:
        return 10046;
    case EAFNOSUPPORT:
        return 10047;
    case EADDRINUSE:
        return 10048;
    case EADDRNOTAVAIL:
        return 10049;
    case ENETDOWN:
        return 10050;
    case ENETUNREACH:
        return 10051;
    case ENETRESET:
        return 10052;
    case ECONNABORTED:
        return 10053;
    case ECONNRESET:
        return 10054;
    case ENOBUFS:
    case ENOMEM:
        return 10055;
    case EISCONN:
        return 10056;
    case ENOTCONN:
        return 10057;
    case ESHUTDOWN:
    case EPIPE:
        return 10058;
    case ETOOMANYREFS:
        return 10059;
    case ETIMEDOUT:
        return 10060;
    case ECONNREFUSED:
        return 10061;
    case ELOOP:
        return 10062;
    case ENAMETOOLONG:
        return 10063;
    case EHOSTDOWN:
        return 10064;
    case EHOSTUNREACH:
        return 10065;
    case ENOTEMPTY:
        return 10066;
    case EUSERS:
        return 10068;
    case EDQUOT:
        return 10069;
    case ESTALE:
        return 10070;
    case EREMOTE:
        return 10071;
    default:
        return 10000; // no text of its own
    }
}

QString SocketErrorText(int code) {
    static const QHash<int, QString> texts = {
        {10004, QStringLiteral("Interrupted system call.")},
        {10009, QStringLiteral("Bad file number.")},
        {10013, QStringLiteral("Permission Denied.")},
        {10014, QStringLiteral("Bad Address.")},
        {10022, QStringLiteral("Invalid Argument.")},
        {10024, QStringLiteral("Too many open files.")},
        {10035, QStringLiteral("Operation would block.")},
        {10036, QStringLiteral("Operation now in progress.")},
        {10037, QStringLiteral("Operation already in progress.")},
        {10038, QStringLiteral("Socket operation on nonsocket.")},
        {10039, QStringLiteral("Destination address required.")},
        {10040, QStringLiteral("Message too long.")},
        {10041, QStringLiteral("Protocol wrong type for socket.")},
        {10042, QStringLiteral("Protocol not available.")},
        {10043, QStringLiteral("Protocol not supported.")},
        {10044, QStringLiteral("Socket type not supported.")},
        {10045, QStringLiteral("Operation not supported on socket.")},
        {10046, QStringLiteral("Protocol family not supported.")},
        {10047, QStringLiteral("Address family not supported by protocol family.")},
        {10048, QStringLiteral("Address already in use.")},
        {10049, QStringLiteral("Can't assign requested address.")},
        {10050, QStringLiteral("Network is down.")},
        {10051, QStringLiteral("Network is unreachable.")},
        {10052, QStringLiteral("Network dropped connection.")},
        {10053, QStringLiteral("Software caused connection abort.")},
        {10054, QStringLiteral("Connection reset by peer.")},
        {10055, QStringLiteral("No buffer space available.")},
        {10056, QStringLiteral("Socket is already connected.")},
        {10057, QStringLiteral("Socket is not connected.")},
        {10058, QStringLiteral("Can't send after socket shutdown.")},
        {10059, QStringLiteral("Too many references: can't splice.")},
        {10060, QStringLiteral("Connection timed out.")},
        {10061, QStringLiteral("Connection refused.")},
        {10062, QStringLiteral("Too many levels of symbolic links.")},
        {10063, QStringLiteral("File name too long.")},
        {10064, QStringLiteral("Host is down.")},
        {10065, QStringLiteral("No route to host.")},
        {10066, QStringLiteral("Directory not empty.")},
        {10067, QStringLiteral("Too many processes.")},
        {10068, QStringLiteral("Too many users.")},
        {10069, QStringLiteral("Disk quota exceeded.")},
        {10070, QStringLiteral("Stale NFS file handle.")},
        {10071, QStringLiteral("Too many levels of remote in path.")},
        {10091, QStringLiteral("Network subsystem is unusable.")},
        {10092, QStringLiteral("Winsock DLL cannot support this application.")},
        {10093, QStringLiteral("Winsock not initialized.")},
        {10101, QStringLiteral("Disconnect.")},
        {11001, QStringLiteral("Host not found.")},
        {11002, QStringLiteral("Nonauthoritative host not found.")},
        {11003, QStringLiteral("Nonrecoverable error.")},
        {11004, QStringLiteral("Valid name, no data record of requested type.")},
    };
    return texts.value(code);
}

} // namespace rm
