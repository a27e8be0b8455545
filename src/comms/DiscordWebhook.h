#pragma once

// Posting to a Discord channel through its webhook: JSON over HTTPS, one request per message, in
// order. A message counts as posted only when Discord has saved it (?wait=true). The webhook address
// is a secret: no text made here ever holds it.

#include "comms/DiscordPost.h"

#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;

namespace rm {

// The webhook's id and token, from an address as Discord gives it
// ("https://discord.com/api/webhooks/<id>/<token>"; discordapp.com, ptb. and canary. too).
struct WebhookAddress {
    QString id;
    QString token;
};
std::optional<WebhookAddress> ParseWebhookAddress(const QString& address);

// The validation message for an address that is not a webhook address (it never repeats the
// address), followed by a line break.
inline const QString kWebhookAddressProblem =
    QStringLiteral("The Discord webhook address is not a webhook address: copy it from the channel's "
                   "settings (Integrations, Webhooks, Copy Webhook URL); it starts with "
                   "https://discord.com/api/webhooks/\n");

// Where webhook requests go: https://discord.com unless tests point them at a server of their own.
QUrl DiscordBaseAddress();
void SetDiscordBaseAddress(const QUrl& base); // an empty address restores Discord's

// Waits before a retry that Discord asked for: returns false when the user cancelled. `what` tells
// what is waited for; the wait is `msecs` long.
using RetryWaiter = std::function<bool(int msecs, const QString& what)>;

// What became of one message.
struct PostedPart {
    bool sent = false;
    QString problem; // empty when sent
};

// What became of the messages to one channel.
struct WebhookOutcome {
    QString channel; // as the user knows it ("the clan's channel", "the channel of Rifles")
    QList<PostedPart> parts;
    int sentCount() const;
    bool allSent() const { return sentCount() == parts.size(); }
};

// "Posted both messages to the clan's channel." or which went and which did not, and why.
QString OutcomeText(const WebhookOutcome& outcome);
QString OutcomesText(const QList<WebhookOutcome>& outcomes);

// A channel to post to: how the user knows it and its webhook address (empty when none is set).
struct DiscordTarget {
    QString channel;
    QString address;
};
// The clan's channel (the address of the Options).
DiscordTarget ClanDiscordTarget();
// The channels of the divisions, in the order given: each division with a webhook of its own to
// that one, the others to the clan's channel (once). Raises DbError.
QList<DiscordTarget> DivisionDiscordTargets(const QList<qint32>& divisions);

class DiscordWebhook final : public QObject {
public:
    DiscordWebhook();
    ~DiscordWebhook() override;

    // Posts the messages in order; stops at the first one that fails (the rest are not posted, so
    // that the channel never shows them out of order).
    WebhookOutcome post(const QString& channel, const QString& address,
                        const QList<DiscordMessage>& messages);
    // The same for every channel, in order.
    QList<WebhookOutcome> post(const QList<DiscordTarget>& targets, const QList<DiscordMessage>& messages);

    // How long one request may take: the mail deadline unless changed.
    void setDeadline(std::chrono::milliseconds deadline) { m_deadline = deadline; }
    // The most that all waits of one post together may take before Rallymark gives up.
    void setLongestTotalWait(std::chrono::milliseconds wait) { m_longestTotalWait = wait; }
    // The authorities that certificates must come from; empty: the system's own store.
    void setCaCertificates(const QList<QSslCertificate>& certificates) { m_caCertificates = certificates; }
    // Without one the wait runs in the event loop and cannot be cancelled.
    void setRetryWaiter(RetryWaiter waiter) { m_waiter = std::move(waiter); }

private:
    struct Reply {
        int status = 0;     // HTTP status; 0 when no answer came
        QByteArray body;    // Discord's answer
        QString retryAfter; // the Retry-After header
        QString problem;    // why no answer came
    };
    Reply send(const QUrl& url, const QByteArray& payload);
    PostedPart postOne(const QUrl& url, const DiscordMessage& message, qint64* waitedMsecs);

    QNetworkAccessManager* m_network = nullptr;
    std::chrono::milliseconds m_deadline;
    std::chrono::milliseconds m_longestTotalWait{60000};
    QList<QSslCertificate> m_caCertificates;
    RetryWaiter m_waiter;
};

} // namespace rm
