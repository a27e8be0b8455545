#include "support/SmtpSink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>

namespace rm::test {

namespace {

// CTest names the source tree; __FILE__ may be relative to a build folder (ccache's base_dir).
QString ScriptPath() {
    const QString root = qEnvironmentVariable("RALLYMARK_SOURCE_DIR");
    if (!root.isEmpty())
        return root + QStringLiteral("/tests/comms/smtp_sink.py");
    return QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../comms/smtp_sink.py"));
}

// The system's Python carries the distribution's aiosmtpd; a Python of the user's own may not.
QString PythonPath() {
    const QString system = QStringLiteral("/usr/bin/python3");
    return QFileInfo::exists(system) ? system : QStandardPaths::findExecutable(QStringLiteral("python3"));
}

} // namespace

SmtpSink::~SmtpSink() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.closeWriteChannel(); // the server's signal to stop
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
}

bool SmtpSink::MakeCertificates(const QString& folder, QString* error) {
    QProcess process;
    process.start(PythonPath(), {ScriptPath(), QStringLiteral("--make-certs"), folder});
    if (process.waitForFinished(30000) && process.exitCode() == 0)
        return true;
    *error = QStringLiteral("cannot make the test certificates: ") +
             QString::fromUtf8(process.readAllStandardError());
    return false;
}

bool SmtpSink::start(QString* error, const QStringList& options) {
    const QString python = PythonPath();
    if (python.isEmpty()) {
        *error = QStringLiteral("python3 not found");
        return false;
    }
    m_process.start(python, QStringList{ScriptPath(), m_dir.path()} + options);
    if (!m_process.waitForStarted(10000)) {
        *error = QStringLiteral("cannot start ") + python;
        return false;
    }
    QByteArray output;
    while (!output.contains('\n')) {
        if (!m_process.waitForReadyRead(20000)) {
            *error = QStringLiteral("the SMTP sink did not start: ") +
                     QString::fromUtf8(m_process.readAllStandardError());
            return false;
        }
        output += m_process.readAllStandardOutput();
    }
    const QByteArray line = output.left(output.indexOf('\n')).trimmed();
    if (!line.startsWith("PORT ")) {
        *error = QStringLiteral("unexpected output of the SMTP sink: ") + QString::fromUtf8(line);
        return false;
    }
    m_port = line.mid(5).toInt();
    return m_port > 0;
}

QList<SmtpSink::Received> SmtpSink::messages() const {
    QList<Received> result;
    const QDir dir(m_dir.path());
    for (const QString& name : dir.entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        Received r;
        file.readLine(); // the MAIL FROM address, as dialogue() has it
        r.recipients =
            QString::fromUtf8(file.readLine()).chopped(1).split(QLatin1Char(','), Qt::SkipEmptyParts);
        r.data = file.readAll();
        QFile json(dir.filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".json")));
        r.decoded =
            json.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(json.readAll()).object() : QJsonObject();
        result << r;
    }
    return result;
}

QStringList SmtpSink::dialogue() const {
    QFile file(QDir(m_dir.path()).filePath(QStringLiteral("dialogue.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void SmtpSink::clear() {
    const QDir dir(m_dir.path());
    for (const QString& name :
         dir.entryList({QStringLiteral("*.eml"), QStringLiteral("*.json")}, QDir::Files))
        QFile::remove(dir.filePath(name));
}

} // namespace rm::test
