#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>

namespace rm::test {

// A loopback port nobody listens on (it was free a moment ago).
inline quint16 ClosedLocalPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// A real SMTP server on a free loopback port (tests/comms/smtp_sink.py, run by the system's Python
// with aiosmtpd) that stores every message it accepts. Recipients starting with "reject" get 550.
// The server stops with this object, or by itself when the test program dies. Options of the script
// (STARTTLS or implicit TLS with a certificate, a login it accepts) go to start().
class SmtpSink {
public:
    struct Received {
        QStringList recipients;
        QByteArray data; // the message as received after DATA, transparency dots removed
        // subject, from, to, message_id, date, charset, body as a mail parser reads them; from_mailboxes
        // and to_mailboxes ([name, address] pairs) and the parser's defects
        QJsonObject decoded;
    };

    ~SmtpSink();

    // Starts the server; false with error set when it cannot.
    bool start(QString* error, const QStringList& options = {});
    // Writes the test authority ca.pem and the server certificates good, wronghost, untrusted and
    // expired (.pem and .key) into folder.
    static bool MakeCertificates(const QString& folder, QString* error);
    int port() const { return m_port; }

    // The messages stored so far, in the order they arrived.
    QList<Received> messages() const;
    // The EHLO, HELO, MAIL and RCPT commands as the server read them, in order.
    QStringList dialogue() const;
    // Forgets the messages stored so far.
    void clear();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};

} // namespace rm::test
