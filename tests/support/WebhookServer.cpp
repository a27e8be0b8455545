#include "support/WebhookServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

namespace rm::test {

WebhookServer::~WebhookServer() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel(); // the server's signal to stop
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

bool WebhookServer::start(const QString& certificateFolder, const QString& certificate,
                          const QString& replies) {
    const QString script =
        qEnvironmentVariable("RALLYMARK_SOURCE_DIR") + QStringLiteral("/tests/comms/webhook_server.py");
    const QString python = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStringLiteral("python3");
    const QDir certs(certificateFolder);
    m_process.start(python, {script, m_dir.path(), QStringLiteral("--cert"),
                             certs.filePath(certificate + ".pem"), QStringLiteral("--key"),
                             certs.filePath(certificate + ".key"), QStringLiteral("--replies"), replies});
    QByteArray out;
    while (!out.contains('\n') && m_process.waitForReadyRead(20000))
        out += m_process.readAllStandardOutput();
    m_port = out.startsWith("PORT ") ? out.mid(5).trimmed().toInt() : 0;
    return m_port > 0;
}

QString WebhookServer::baseAddress() const {
    return QStringLiteral("https://127.0.0.1:%1").arg(m_port);
}

QList<QJsonObject> WebhookServer::requests() const {
    QList<QJsonObject> list;
    const QDir dir(m_dir.path());
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            list << QJsonDocument::fromJson(f.readAll()).object();
    }
    return list;
}

} // namespace rm::test
