#include "comms/DiscordWebhook.h"

#include "comms/SmtpMailer.h"
#include "data/DbConnection.h"
#include "data/SecretStore.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSslConfiguration>
#include <QTimer>

#include <cmath>
#include <cstring>

namespace rm {

namespace {

const QUrl kDiscord(QStringLiteral("https://discord.com"));
QUrl g_base;

// However often Discord asks to wait, a message is tried at most this many times.
constexpr int kMostAttempts = 5;

QString Seconds(qint64 msecs) {
    return QString::number(static_cast<double>(msecs) / 1000.0, 'g', 3);
}

// Discord's own words: the message of an error answer and those of its field errors.
void CollectMessages(const QJsonValue& value, QStringList* out) {
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (it.key() == QLatin1String("message") && it.value().isString()) {
                const QString text = it.value().toString().trimmed();
                if (!text.isEmpty() && !out->contains(text))
                    out->append(text);
            } else {
                CollectMessages(it.value(), out);
            }
        }
    } else if (value.isArray()) {
        for (const QJsonValue& item : value.toArray())
            CollectMessages(item, out);
    }
}

QString DiscordMessageOf(const QByteArray& body) {
    const QJsonObject answer = QJsonDocument::fromJson(body).object();
    QStringList messages;
    const QString first = answer.value(QStringLiteral("message")).toString().trimmed();
    if (!first.isEmpty())
        messages << first;
    CollectMessages(answer.value(QStringLiteral("errors")), &messages);
    return messages.join(QStringLiteral("; "));
}

// The body of one request, readable once: a connection that breaks off is not silently tried again
// with it, so a post that Discord may have saved is never sent twice.
class OnceReadable final : public QIODevice {
public:
    explicit OnceReadable(const QByteArray& data, QObject* parent) : QIODevice(parent), m_data(data) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    bool reset() override { return false; }
    qint64 bytesAvailable() const override { return m_data.size() - m_pos + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* out, qint64 most) override {
        const qint64 n = qMin<qint64>(most, m_data.size() - m_pos);
        memcpy(out, m_data.constData() + m_pos, static_cast<size_t>(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_pos = 0;
};

QString NetworkProblem(QNetworkReply::NetworkError error, const QString& host) {
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("%1 refused the connection.").arg(host);
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ContentReSendError: // closed, and the post is not sent a second time
        return QStringLiteral("The connection to %1 broke off before it answered.").arg(host);
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("The server name %1 could not be found.").arg(host);
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("The secure connection to %1 could not be set up.").arg(host);
    default:
        // Qt's own texts can hold the address the request went to, so they are not shown.
        return QStringLiteral("The connection to %1 failed (network error %2).").arg(host).arg(int(error));
    }
}

} // namespace

std::optional<WebhookAddress> ParseWebhookAddress(const QString& address) {
    static const QRegularExpression pattern(
        QStringLiteral("^https://(?:(?:ptb|canary)\\.)?discord(?:app)?\\.com/api(?:/v\\d+)?/webhooks/"
                       "([0-9]{15,21})/([A-Za-z0-9_\\-]{20,100})/?$"));
    const QRegularExpressionMatch m = pattern.match(address.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    return WebhookAddress{m.captured(1), m.captured(2)};
}

QUrl DiscordBaseAddress() {
    return g_base.isEmpty() ? kDiscord : g_base;
}

void SetDiscordBaseAddress(const QUrl& base) {
    g_base = base;
}

int WebhookOutcome::sentCount() const {
    int sent = 0;
    for (const PostedPart& p : parts)
        sent += p.sent ? 1 : 0;
    return sent;
}

QString OutcomeText(const WebhookOutcome& outcome) {
    const int total = static_cast<int>(outcome.parts.size());
    const int sent = outcome.sentCount();
    if (total == 0)
        return QStringLiteral("Nothing was posted to %1: there was nothing to post.").arg(outcome.channel);
    if (sent == total)
        return total == 1 ? QStringLiteral("Posted to %1.").arg(outcome.channel)
                          : QStringLiteral("Posted all %1 parts to %2.").arg(total).arg(outcome.channel);
    if (total == 1)
        return QStringLiteral("Nothing was posted to %1: %2")
            .arg(outcome.channel, outcome.parts.first().problem);
    QStringList lines;
    lines << QStringLiteral("Posted %1 of %2 parts to %3:").arg(sent).arg(total).arg(outcome.channel);
    bool failed = false;
    for (int i = 0; i < total; ++i) {
        const PostedPart& part = outcome.parts.at(i);
        QString line = QStringLiteral("Part %1: ").arg(i + 1);
        if (part.sent)
            line += QStringLiteral("posted");
        else if (!failed)
            line += QStringLiteral("not posted: ") + part.problem;
        else
            line += QStringLiteral("not posted (it comes after a part that failed)");
        failed = failed || !part.sent;
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

QString OutcomesText(const QList<WebhookOutcome>& outcomes) {
    QStringList texts;
    for (const WebhookOutcome& o : outcomes)
        texts << OutcomeText(o);
    return texts.join(QStringLiteral("\n\n"));
}

DiscordWebhook::DiscordWebhook()
    : m_network(new QNetworkAccessManager(this)), m_deadline(Mailer().deadline()) {}

DiscordWebhook::~DiscordWebhook() = default;

DiscordWebhook::Reply DiscordWebhook::send(const QUrl& url, const QByteArray& payload) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Rallymark/%1").arg(QStringLiteral(RALLYMARK_VERSION)));
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setProtocol(QSsl::TlsV1_2OrLater);
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!m_caCertificates.isEmpty())
        config.setCaCertificates(m_caCertificates);
    request.setSslConfiguration(config);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    // HTTP/1.1, whose handling of a connection that breaks off (no second sending) is the tested one.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);

    const QString host = url.host();
    Reply result;
    QString certificateProblem;
    request.setHeader(QNetworkRequest::ContentLengthHeader, payload.size());
    request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
    auto* body = new OnceReadable(payload, this);
    QNetworkReply* reply = m_network->post(request, body);
    body->setParent(reply);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    bool timedOut = false;
    connect(reply, &QNetworkReply::sslErrors, &loop, [&](const QList<QSslError>& errors) {
        // Never ignored: the request fails after this.
        certificateProblem = CertificateRefusal(host, errors);
    });
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
        loop.quit();
    });
    deadline.start(static_cast<int>(m_deadline.count()));
    if (!reply->isFinished())
        loop.exec();
    deadline.stop();

    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isOpen())
        result.body = reply->readAll();
    result.retryAfter = QString::fromLatin1(reply->rawHeader("Retry-After"));
    if (timedOut)
        result.problem =
            QStringLiteral("%1 did not answer within %2 seconds.").arg(host, Seconds(m_deadline.count()));
    else if (!certificateProblem.isEmpty())
        result.problem = certificateProblem;
    else if (result.status == 0)
        result.problem = NetworkProblem(reply->error(), host);
    reply->disconnect(&loop);
    reply->deleteLater();
    if (timedOut || !certificateProblem.isEmpty())
        result.status = 0;
    return result;
}

PostedPart DiscordWebhook::postOne(const QUrl& url, const DiscordMessage& message, qint64* waitedMsecs) {
    const QByteArray payload = WebhookPayload(message);
    for (int attempt = 1;; ++attempt) {
        const Reply reply = send(url, payload);
        if (reply.status == 0)
            return {false, reply.problem};
        if (reply.status >= 200 && reply.status < 300)
            return {true, QString()};
        const QString said = DiscordMessageOf(reply.body);
        QString saying = said.isEmpty() ? QString() : QStringLiteral(" Discord says: ") + said;
        if (!saying.isEmpty() && !saying.endsWith(QLatin1Char('.')))
            saying += QLatin1Char('.');
        if (reply.status == 404 || reply.status == 401)
            return {false, QStringLiteral("Discord refused the webhook (%1): it was deleted, or its address "
                                          "is wrong. Copy the address again from the channel's settings "
                                          "(Integrations, Webhooks).")
                                   .arg(reply.status) +
                               saying};
        if (reply.status == 400)
            return {false, QStringLiteral("Discord refused the post (400).") + saying};
        if (reply.status != 429)
            return {false, QStringLiteral("Discord answered %1.").arg(reply.status) + saying};

        // Too many posts: Discord says how long to wait, in seconds, in the body or the header.
        double seconds =
            QJsonDocument::fromJson(reply.body).object().value(QStringLiteral("retry_after")).toDouble(-1);
        if (seconds < 0)
            seconds = reply.retryAfter.toDouble();
        const qint64 wait = qMax<qint64>(0, static_cast<qint64>(std::ceil(seconds * 1000.0)));
        if (attempt >= kMostAttempts || *waitedMsecs + wait > m_longestTotalWait.count())
            return {false, QStringLiteral("Discord asks to wait %1 seconds before the next post, longer than "
                                          "Rallymark waits. Try again later.")
                               .arg(Seconds(wait))};
        *waitedMsecs += wait;
        const QString what =
            QStringLiteral("Discord asks to wait %1 seconds before the next post.").arg(Seconds(wait));
        bool go = true;
        if (m_waiter) {
            go = m_waiter(static_cast<int>(wait), what);
        } else {
            QEventLoop pause;
            QTimer::singleShot(static_cast<int>(wait), &pause, &QEventLoop::quit);
            pause.exec();
        }
        if (!go)
            return {false, QStringLiteral("Cancelled while waiting for Discord.")};
    }
}

WebhookOutcome DiscordWebhook::post(const QString& channel, const QString& address,
                                    const QList<DiscordMessage>& messages) {
    WebhookOutcome outcome;
    outcome.channel = channel;
    for (qsizetype i = 0; i < messages.size(); ++i)
        outcome.parts << PostedPart{};
    const std::optional<WebhookAddress> webhook = ParseWebhookAddress(address);
    if (!webhook) {
        const QString problem = address.trimmed().isEmpty()
                                    ? QStringLiteral("No webhook address is set for it.")
                                    : kWebhookAddressProblem.trimmed();
        if (!outcome.parts.isEmpty())
            outcome.parts.first().problem = problem;
        return outcome;
    }
    QUrl url = DiscordBaseAddress();
    url.setPath(QStringLiteral("/api/webhooks/%1/%2").arg(webhook->id, webhook->token));
    url.setQuery(QStringLiteral("wait=true"));
    qint64 waited = 0;
    for (qsizetype i = 0; i < messages.size(); ++i) {
        PostedPart part = postOne(url, messages.at(i), &waited);
        // Whatever went wrong, the text never carries the address.
        part.problem.replace(webhook->token, QStringLiteral("********"));
        outcome.parts[i] = part;
        if (!part.sent)
            break;
    }
    return outcome;
}

QList<WebhookOutcome> DiscordWebhook::post(const QList<DiscordTarget>& targets,
                                           const QList<DiscordMessage>& messages) {
    QList<WebhookOutcome> outcomes;
    for (const DiscordTarget& t : targets)
        outcomes << post(t.channel, t.address, messages);
    return outcomes;
}

DiscordTarget ClanDiscordTarget() {
    return {QStringLiteral("the clan's channel"), DiscordWebhookAddress(0)};
}

QList<DiscordTarget> DivisionDiscordTargets(const QList<qint32>& divisions) {
    QList<DiscordTarget> targets;
    bool clan = false;
    for (const qint32 division : divisions) {
        const QString address = DiscordWebhookAddress(division);
        if (address.isEmpty()) {
            if (!clan)
                targets << ClanDiscordTarget();
            clan = true;
            continue;
        }
        const QString name =
            Db().scalar(QStringLiteral("Select Division_Name From Divisions Where Division_ID = ") +
                        QString::number(division))
                .toString()
                .trimmed();
        targets << DiscordTarget{QStringLiteral("the channel of %1").arg(name), address};
    }
    return targets;
}

} // namespace rm
