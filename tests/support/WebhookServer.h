#pragma once

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace rm::test {

// A Discord webhook played on 127.0.0.1 over HTTPS (tests/comms/webhook_server.py, run by Python):
// it answers with the given replies in order ("ok", "429:SECS", "404", "401", "400", "close",
// "stall"; the last one for every further request) and keeps every request. The certificate is one
// of SmtpSink::MakeCertificates. The server stops with this object, or by itself when the test
// program dies. Header-only.
class WebhookServer {
public:
    ~WebhookServer() {
        m_process.closeWriteChannel(); // the server's signal to stop; later QProcess kills it
        m_process.waitForFinished(5000);
    }

    bool start(const QString& certificateFolder, const QString& certificate, const QString& replies) {
        const QDir certs(certificateFolder);
        m_process.start(QStringLiteral("python3"),
                        {qEnvironmentVariable("RALLYMARK_SOURCE_DIR") + "/tests/comms/webhook_server.py",
                         m_dir.path(), "--cert", certs.filePath(certificate + ".pem"), "--key",
                         certs.filePath(certificate + ".key"), "--replies", replies});
        QByteArray out;
        while (!out.contains('\n') && m_process.waitForReadyRead(20000))
            out += m_process.readAllStandardOutput();
        m_port = out.startsWith("PORT ") ? out.mid(5).trimmed().toInt() : 0;
        return m_port > 0;
    }

    // "https://127.0.0.1:<port>", for SetDiscordBaseAddress.
    QString baseAddress() const { return QStringLiteral("https://127.0.0.1:%1").arg(m_port); }

    // The requests so far, in order: method, path, query, content_type, body.
    QList<QJsonObject> requests() const {
        QList<QJsonObject> list;
        const QDir dir(m_dir.path());
        for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::ReadOnly))
                list << QJsonDocument::fromJson(f.readAll()).object();
        }
        return list;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};

} // namespace rm::test
