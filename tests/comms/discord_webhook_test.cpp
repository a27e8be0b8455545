// Posts to a webhook played by a local HTTPS server (tests/comms/webhook_server.py) that records
// every request: what arrives, how the post is split, who can be pinged, and every answer Discord
// gives. The Discord buttons of the scheduling screen and the communications centre: the preview
// shows what goes, Copy puts the same text on the clipboard, Post goes to the channels. Then the
// webhook address, a secret, is looked for where it must never be.

#include "comms/DiscordWebhook.h"
#include "comms/widgets/CommCenter.h"
#include "comms/widgets/DiscordPreview.h"
#include "data/OptionsForm.h"
#include "data/SecretStore.h"
#include "scheduling/widgets/frmScheduling.h"
#include "support/CaseRows.h"
#include "support/SchedulingFixtures.h"
#include "support/SmtpSink.h"
#include "support/TestKit.h"
#include "support/WebhookServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace rm;
using namespace rm::test;
using namespace std::chrono_literals;

namespace {

const QString kId = QStringLiteral("123456789012345678");
const QString kToken = QStringLiteral("Tok3n_secret-abcdefghijklmnopqrstuvwxyz0123456789");
const QString kAddress = QStringLiteral("https://discord.com/api/webhooks/") + kId + "/" + kToken;
const QDateTime kMatch(QDate(2026, 12, 8), QTime(19, 30), Qt::UTC); // 1796758200

QStringList MentionedIds(const QString& text) {
    QStringList ids;
    static const QRegularExpression mention(QStringLiteral("<@(\\d+)>"));
    for (const QRegularExpressionMatch& m : mention.globalMatch(text))
        ids << m.captured(1);
    return ids;
}

void select(QListWidget* list, const QStringList& names) {
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSelected(names.contains(list->item(i)->text()));
}

QString previewText(QDialog* d) {
    return child<QPlainTextEdit>(d, "txtPreview")->toPlainText();
}

enum Kind { Match, Long, Template };
const QList<DiscordMember> kMembers{
    {"Anvil", "234567890123456789"}, {"@everyone", ""}, {"Bolt", "bolt_77"}, {"<@&345678901234567890>", ""}};

DiscordPost MakePost(Kind kind) {
    if (kind == Match)
        return MatchPost({"Rifles (Arena)", kMatch, 90, kMembers});
    if (kind == Template)
        return TemplatePost("@everyone: practice", "Tonight <@&555555555555555555> and @here, 20:00.");
    MatchPostInput match{"", kMatch, 120, {}};
    for (int i = 0; i < 150; ++i)
        match.members << DiscordMember{QStringLiteral("Player%1").arg(i),
                                       QString::number(100000000000000000LL + i)};
    return MatchPost(match);
}

// One post: the server's certificate and replies, the post, whether a wait is allowed, the request
// deadline, and what comes of it.
// clang-format off
struct Case { const char *name, *cert, *replies; Kind kind; bool waitAllowed; int deadlineMs; int requests, sent; const char* outcome; };
constexpr Case kCases[] = {
    {"match: JSON, timestamps, mentions", "good", "ok", Match, true, 10000, 1, 1, "Posted to the clan's channel."},
    {"long list split in order", "good", "ok", Long, true, 10000, 2, 2, "Posted all 2 parts"},
    {"template pings nobody", "good", "ok", Template, true, 10000, 1, 1, "Posted to"},
    {"429 waits, then posted", "good", "429:0.25,ok", Match, true, 10000, 2, 1, "Posted to"},
    {"429, wait cancelled", "good", "429:0.25", Match, false, 10000, 1, 0, "Cancelled while waiting for Discord."},
    {"429 longer than the bound", "good", "429:300", Match, true, 10000, 1, 0, "asks to wait 300 seconds"},
    {"404 deleted webhook", "good", "404", Match, true, 10000, 1, 0, "(404): it was deleted, or its address is wrong. Copy the address again from the channel's settings (Integrations, Webhooks). Discord says: Unknown Webhook."},
    {"401 wrong token", "good", "401", Match, true, 10000, 1, 0, "(401): it was deleted, or its address is wrong. Copy the address again from the channel's settings (Integrations, Webhooks). Discord says: Invalid Webhook Token."},
    {"400 refused body", "good", "400", Match, true, 10000, 1, 0, "Discord refused the post (400). Discord says: Invalid Form Body; Must be 2000 or fewer in length."},
    {"second part refused", "good", "ok,404", Long, true, 10000, 2, 1, "Posted 1 of 2 parts to the clan's channel:\nPart 1: posted\nPart 2: not posted: Discord refused the webhook (404)"},
    {"server closes early", "good", "close", Match, true, 10000, 1, 0, "The connection to 127.0.0.1 broke off before it answered."},
    {"server never answers", "good", "stall", Match, true, 300, 1, 0, "127.0.0.1 did not answer within 0.3 seconds."},
    {"untrusted certificate", "untrusted", "ok", Match, true, 10000, 0, 0, "The certificate of 127.0.0.1 was refused: it is not signed by a trusted certificate authority."}};
// clang-format on

} // namespace

class DiscordWebhookTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_certs;
    FixedClock m_clock{QDateTime(QDate(2005, 1, 12), QTime(12, 0))};
    MemorySecretStore m_secrets;

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(SmtpSink::MakeCertificates(m_certs.path(), &error), qPrintable(error));
    }
    void init() {
        m_secrets = MemorySecretStore();
        SetClock(&m_clock);
        SetSecretStore(&m_secrets);
        ResetSessionSecrets();
    }
    void cleanup() {
        SetClock(nullptr);
        SetSecretStore(nullptr);
        SetDiscordBaseAddress({});
    }

    void posts_data() { test::CaseRows(kCases); }
    void posts() {
        QFETCH(int, row);
        const Case& c = kCases[row];
        WebhookServer server;
        QVERIFY(server.start(m_certs.path(), c.cert, c.replies));
        SetDiscordBaseAddress(QUrl(server.baseAddress()));
        DiscordWebhook poster;
        poster.setDeadline(std::chrono::milliseconds(c.deadlineMs));
        poster.setLongestTotalWait(60s);
        poster.setCaCertificates(QSslCertificate::fromPath(m_certs.filePath("ca.pem")));
        QList<int> waits;
        poster.setRetryWaiter([&](int msecs, const QString&) {
            waits << msecs;
            return c.waitAllowed;
        });
        const DiscordPost post = MakePost(c.kind);
        const QList<DiscordMessage> messages = SplitDiscordPost(post);
        QElapsedTimer t;
        t.start();
        const WebhookOutcome outcome = poster.post("the clan's channel", kAddress, messages);
        QVERIFY(t.elapsed() < 5000);
        const QString text = OutcomeText(outcome);
        QVERIFY2(text.contains(QLatin1String(c.outcome)), qPrintable(text));
        QVERIFY(!text.contains(kToken) && !text.contains(kId));
        QCOMPARE(outcome.sentCount(), c.sent);
        QCOMPARE(waits, QString::fromLatin1(c.replies).startsWith(QLatin1String("429:0")) ? QList<int>{250}
                                                                                          : QList<int>{});

        const QList<QJsonObject> requests = server.requests();
        QCOMPARE(requests.size(), c.requests);
        QString joined;
        for (qsizetype i = 0; i < requests.size(); ++i) {
            const QJsonObject body =
                QJsonDocument::fromJson(requests[i].value("body").toString().toUtf8()).object();
            const QJsonObject allowed = body.value("allowed_mentions").toObject();
            const QString content = body.value("content").toString();
            QCOMPARE(requests[i].value("path").toString(), "/api/webhooks/" + kId + "/" + kToken);
            QCOMPARE(requests[i].value("query").toString(), "wait=true");
            QCOMPARE(requests[i].value("content_type").toString(), "application/json");
            QCOMPARE(content, messages.at(qMax<qsizetype>(0, i - waits.size())).content); // a retry repeats
            QVERIFY(content.size() <= kDiscordMessageLimit);
            // Nobody but the users mentioned in this very message can be pinged.
            QCOMPARE(allowed.value("parse").toArray(), QJsonArray());
            QCOMPARE(allowed.value("users").toArray(), QJsonArray::fromStringList(MentionedIds(content)));
            QVERIFY(!content.contains("@everyone") && !content.contains("@here") && !content.contains("<@&"));
            if (i >= waits.size() || i == requests.size() - 1)
                joined += (joined.isEmpty() ? "" : "\n") + content;
        }
        if (c.kind == Match && c.requests > 0)
            QCOMPARE(joined, QString("**Match: Rifles (Arena)**\n"
                                     "When: <t:1796758200:F> (<t:1796758200:R>)\n"
                                     "Length: 1 hour 30 minutes\n"
                                     "Available (4): <@234567890123456789>, @\u200Beveryone, Bolt (bolt_77), "
                                     "<\u200B@\u200B&345678901234567890>"));
        if (c.kind == Long && c.sent == 2) {
            // In order, nothing lost or cut: the same words, and every mention whole, once.
            QCOMPARE(joined.split(QRegularExpression("\\s+")),
                     post.content.split(QRegularExpression("\\s+")));
            QCOMPARE(MentionedIds(joined), post.userIds);
        }
        if (c.kind == Template)
            QCOMPARE(joined, QString("**@\u200Beveryone: practice**\n\n"
                                     "Tonight <@\u200B&555555555555555555> and @\u200Bhere, 20:00."));
    }

    // The match and the best times with mentions and timestamps; without a webhook only Copy.
    void schedulingScreen() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        const qint32 zone = CurrentOptions().UserTimeZone;
        const qint32 able = InsertPlayerRow("Able", true, zone);
        const qint32 bolt = InsertPlayerRow("Bolt", true, zone);
        db.exec("Update Players Set Player_Discord = '234567890123456789' Where Player_OnlineName = 'Able'");
        db.exec("Update Players Set Player_Discord = 'bolt_77' Where Player_OnlineName = 'Bolt'");
        for (const qint32 p : {able, bolt})
            AddScheduleRow(p, 4, 18 * 60, 22 * 60); // Wednesdays
        frmScheduling screen;
        Click(&screen, "imgDiscordAvailable");
        QCOMPARE(sink.last().text, QStringLiteral("There are no results to post !"));
        select(child<QListWidget>(&screen, "lstPlayers"), {"Able", "Bolt"});
        child<QLineEdit>(&screen, "txtMatchDate")->setText("01/12/2005");
        child<QLineEdit>(&screen, "txtMatchTime")->setText("8:00 PM");
        Click(&screen, "imgShowAvailable");
        Click(&screen, "imgShowbestTimes");

        driver.then([](QDialog* d) {
            QCOMPARE(previewText(d), QStringLiteral("**Match**\nWhen: <t:1105560000:F> (<t:1105560000:R>)\n"
                                                    "Length: 2 hours\n"
                                                    "Available (2): <@234567890123456789>, Bolt (bolt_77)"));
            QVERIFY(!child<QToolButton>(d, "imgPost")->isEnabled());
            QVERIFY(child<QLabel>(d, "lblChannels")->text().contains("No webhook address is set"));
            Click(d, "imgCopy");
            QCOMPARE(QGuiApplication::clipboard()->text(), previewText(d));
        });
        Click(&screen, "imgDiscordAvailable");
        driver.then([](QDialog* d) {
            QVERIFY2(previewText(d).startsWith("**Best times**\n<t:"), qPrintable(previewText(d)));
            QVERIFY(previewText(d).contains(":R>) - 2 player(s)"));
        });
        Click(&screen, "imgDiscordBestTimes");
        QCOMPARE(driver.shown, (QStringList{"frmDiscordPreview", "frmDiscordPreview"}));
        QVERIFY(driver.unexpected.isEmpty());
    }

    // A template to two divisions: one with its own channel, one without (the clan's, not set).
    void templateToDivisions() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        WebhookServer server;
        QVERIFY(server.start(m_certs.path(), "good", "ok"));
        SetDiscordBaseAddress(QUrl(server.baseAddress()));
        const qint32 rifles = InsertDivision("Rifles");
        InsertDivision("Pistols");
        KeepDiscordWebhookAddress(rifles, kAddress);
        db.exec(
            "Insert Into Templates (Template_Name, Template_Content) Values('Practice', '@everyone at 8')");

        frmCommCenter centre;
        Click(&centre, "imgClickDivision");
        select(child<QListWidget>(&centre, "lstDivisions"), {"Rifles", "Pistols"});
        select(child<QListWidget>(&centre, "lstTemplates"), {"Practice"});
        driver.then([&](QDialog* d) {
            QCOMPARE(previewText(d), QStringLiteral("**Practice**\n\n@\u200Beveryone at 8"));
            const QString channels = child<QLabel>(d, "lblChannels")->text();
            QVERIFY2(channels.startsWith("To the channel of Rifles. No webhook address is set for the clan's "
                                         "channel:"),
                     qPrintable(channels));
            static_cast<frmDiscordPreview*>(d)->poster().setCaCertificates(
                QSslCertificate::fromPath(m_certs.filePath("ca.pem")));
            Click(d, "imgPost");
        });
        Click(&centre, "imgDiscordTemplate");
        QCOMPARE(sink.last().text, QStringLiteral("Posted to the channel of Rifles."));
        QCOMPARE(server.requests().size(), 1);
        QVERIFY(driver.unexpected.isEmpty());
    }
    // The address lives in the secret store (or the session) only: not in the database file, the
    // settings file or any message, also when it is refused (a failed post: posts).
    void addressStaysSecret() {
        TestDatabase db;
        const QString ini = db.folder() + "/settings.ini";
        SetSettingsFile(ini);
        OpenSettings()->setValue("ShowToolBar", true);
        m_secrets.available = false;
        RecordingSink sink;

        OptionsEntries entries = *ReadOptionsEntries();
        entries.discordWebhook = "https://example.org/api/webhooks/" + kId + "/" + kToken;
        QVERIFY(!SaveOptions(entries)); // not a Discord address
        QVERIFY(sink.contains("not a webhook address"));
        entries.discordWebhook = kAddress;
        QVERIFY(SaveOptions(entries));
        QVERIFY(sink.contains("keeps the Discord webhook address only until it is closed"));
        QCOMPARE(DiscordWebhookAddress(0), kAddress);
        const QString rifles = QString(kAddress).replace(kToken, kToken.toUpper());
        const qint32 own = InsertDivision("Rifles");
        KeepDiscordWebhookAddress(own, rifles);
        const QList<DiscordTarget> targets = DivisionDiscordTargets({own, InsertDivision("Pistols")});
        QCOMPARE(targets.size(), 2);
        QCOMPARE(targets[0].channel + "|" + targets[1].channel, "the channel of Rifles|the clan's channel");
        QVERIFY(targets[0].address == rifles && targets[1].address == kAddress);

        // With a store, the address goes there and the session forgets it.
        m_secrets.available = true;
        KeepDiscordWebhookAddress(0, kAddress);
        QCOMPARE(m_secrets.read("Discord webhook").value_or(QString()), kAddress);

        OpenSettings()->sync();
        Db().close();
        QByteArray files;
        for (const QString& path : {db.path(), db.path() + "-wal", db.path() + "-journal", ini})
            files += FileBytes(path);
        QVERIFY(files.size() > 1000);
        for (const QString& secret : {kToken, kToken.toUpper()}) {
            QVERIFY(!files.contains(secret.toUtf8()));
            for (const RecordingSink::Message& m : sink.messages)
                QVERIFY2(!m.text.contains(secret) && !m.title.contains(secret), qPrintable(m.text));
        }
        SetSettingsFile({});
    }
};

QTEST_MAIN(DiscordWebhookTest)
#include "discord_webhook_test.moc"
