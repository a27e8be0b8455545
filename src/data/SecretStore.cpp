#include "data/SecretStore.h"

#include "data/MessageSink.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <qt6keychain/keychain.h>

namespace rm {

namespace {

const QString kService = QStringLiteral("Rallymark");
const QString kSmtpPasswordKey = QStringLiteral("SMTP password");
// A secret store that does not answer within this time counts as absent.
constexpr int kStoreWaitMsecs = 5000;

// Runs a job of the desktop's secret store to its end (or the time limit); false when it did not
// succeed. The job deletes itself when it finishes.
bool RunJob(QKeychain::Job* job) {
    job->setAutoDelete(true);
    job->setInsecureFallback(false); // never a plain-text copy in the settings
    QEventLoop loop;
    bool finished = false;
    bool ok = false;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* done) {
        finished = true;
        ok = done->error() == QKeychain::NoError;
        loop.quit();
    });
    QTimer::singleShot(kStoreWaitMsecs, &loop, &QEventLoop::quit);
    job->start();
    if (!finished)
        loop.exec();
    return finished && ok;
}

class DesktopSecretStore final : public SecretStore {
public:
    std::optional<QString> read(const QString& key) override {
        auto* job = new QKeychain::ReadPasswordJob(kService);
        job->setKey(key);
        QString secret;
        QObject::connect(job, &QKeychain::Job::finished, job, [&secret](QKeychain::Job* done) {
            secret = static_cast<QKeychain::ReadPasswordJob*>(done)->textData();
        });
        QPointer<QKeychain::Job> guard(job);
        if (!RunJob(job)) {
            if (guard)
                guard->disconnect(); // may still finish later, after secret is gone
            return std::nullopt;
        }
        return secret;
    }
    bool write(const QString& key, const QString& secret) override {
        auto* job = new QKeychain::WritePasswordJob(kService);
        job->setKey(key);
        job->setTextData(secret);
        return RunJob(job);
    }
};

SecretStore* g_store = nullptr;
std::optional<QString> g_sessionPassword;
bool g_toldSessionOnly = false;
QHash<qint32, QString> g_sessionWebhooks;
bool g_toldWebhookSessionOnly = false;

QString WebhookKey(qint32 division) {
    return division == 0 ? QStringLiteral("Discord webhook")
                         : QStringLiteral("Discord webhook, division %1").arg(division);
}

} // namespace

std::optional<QString> MemorySecretStore::read(const QString& key) {
    if (!available || !m_secrets.contains(key))
        return std::nullopt;
    return m_secrets.value(key);
}

bool MemorySecretStore::write(const QString& key, const QString& secret) {
    if (!available)
        return false;
    m_secrets.insert(key, secret);
    return true;
}

SecretStore& Secrets() {
    static DesktopSecretStore desktop;
    return g_store ? *g_store : desktop;
}

void SetSecretStore(SecretStore* store) {
    g_store = store;
}

QString SmtpPassword() {
    if (g_sessionPassword)
        return *g_sessionPassword;
    return Secrets().read(kSmtpPasswordKey).value_or(QString());
}

void KeepSmtpPassword(const QString& password) {
    if (Secrets().write(kSmtpPasswordKey, password)) {
        g_sessionPassword.reset();
        return;
    }
    g_sessionPassword = password;
    if (g_toldSessionOnly)
        return;
    g_toldSessionOnly = true;
    ShowMessage(QStringLiteral("No secret store is available on this desktop, so Rallymark keeps the SMTP "
                               "password only until it is closed. Enter it again in the Options after the "
                               "next start."),
                AlignLeftText, vbOKOnly, vbInformation, QStringLiteral("SMTP Password"));
}

QString DiscordWebhookAddress(qint32 division) {
    if (const auto it = g_sessionWebhooks.constFind(division); it != g_sessionWebhooks.cend())
        return *it;
    return Secrets().read(WebhookKey(division)).value_or(QString()).trimmed();
}

void KeepDiscordWebhookAddress(qint32 division, const QString& address) {
    const QString trimmed = address.trimmed();
    if (Secrets().write(WebhookKey(division), trimmed)) {
        g_sessionWebhooks.remove(division);
        return;
    }
    g_sessionWebhooks.insert(division, trimmed);
    if (g_toldWebhookSessionOnly || trimmed.isEmpty())
        return;
    g_toldWebhookSessionOnly = true;
    ShowMessage(QStringLiteral("No secret store is available on this desktop, so Rallymark keeps the Discord "
                               "webhook address only until it is closed. Enter it again after the next "
                               "start."),
                AlignLeftText, vbOKOnly, vbInformation, QStringLiteral("Discord Webhook"));
}

void ResetSessionSecrets() {
    g_sessionPassword.reset();
    g_toldSessionOnly = false;
    g_sessionWebhooks.clear();
    g_toldWebhookSessionOnly = false;
}

} // namespace rm
