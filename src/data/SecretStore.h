#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace rm {

// Where secrets are kept: never the database, the settings store or a message. The program uses the
// desktop's secret store; tests install one in memory.
class SecretStore {
public:
    virtual ~SecretStore() = default;
    // The secret kept under key; nullopt when there is none or the store cannot be reached.
    virtual std::optional<QString> read(const QString& key) = 0;
    // false when the store cannot keep it (no secret store on this desktop).
    virtual bool write(const QString& key, const QString& secret) = 0;
};

// Secrets for as long as the object lives.
class MemorySecretStore final : public SecretStore {
public:
    std::optional<QString> read(const QString& key) override;
    bool write(const QString& key, const QString& secret) override;
    bool available = true; // false: behaves like a desktop without a secret store

private:
    QHash<QString, QString> m_secrets;
};

// The store in use: the desktop's secret store unless another is installed.
SecretStore& Secrets();
void SetSecretStore(SecretStore* store); // not owned; nullptr restores the desktop's store

// The SMTP password: the one kept for this session, else the stored one, else empty.
QString SmtpPassword();
// Keeps the SMTP password in the secret store; where there is none, for this session only, and the
// user is told so (once per session).
void KeepSmtpPassword(const QString& password);
// The Discord webhook address of the clan's channel (division 0) or of a division's channel: the one
// kept for this session, else the stored one, else empty. A webhook address lets anyone post to the
// channel, so it is kept like the SMTP password and shown nowhere.
QString DiscordWebhookAddress(qint32 division);
// Keeps a webhook address in the secret store; where there is none, for this session only, and the
// user is told so (once per session). An empty address forgets the one kept.
void KeepDiscordWebhookAddress(qint32 division, const QString& address);

// Forgets the password kept for the session and lets the notice be shown again (tests).
void ResetSessionSecrets();

} // namespace rm
