#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace rm::test {

// A Discord webhook played on 127.0.0.1 over HTTPS (tests/comms/webhook_server.py, run by the
// system's Python): it answers with the given replies in order ("ok", "429:SECS", "404", "401",
// "400", "close", "stall"; the last one for every further request) and keeps every request. The
// certificate is one of SmtpSink::MakeCertificates. The server stops with this object, or by itself
// when the test program dies.
class WebhookServer {
public:
    WebhookServer() = default;
    ~WebhookServer();
    WebhookServer(const WebhookServer&) = delete;
    WebhookServer& operator=(const WebhookServer&) = delete;

    bool start(const QString& certificateFolder, const QString& certificate, const QString& replies);
    int port() const { return m_port; }
    // "https://127.0.0.1:<port>", for SetDiscordBaseAddress.
    QString baseAddress() const;
    // The requests so far, in order: method, path, query, content_type, body.
    QList<QJsonObject> requests() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};

} // namespace rm::test
