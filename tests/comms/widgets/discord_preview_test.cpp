// The Discord buttons of the scheduling screen and the communications centre: the preview shows
// what goes, Copy puts the same text on the clipboard, Post goes to the channels (a local server).

#include "comms/widgets/CommCenter.h"
#include "comms/widgets/DiscordPreview.h"
#include "data/SecretStore.h"
#include "scheduling/widgets/frmScheduling.h"
#include "support/SchedulingFixtures.h"
#include "support/SmtpSink.h"
#include "support/TestKit.h"
#include "support/WebhookServer.h"

using namespace rm;
using namespace rm::test;

namespace {

const QString kRifles = QStringLiteral(
    "https://discord.com/api/webhooks/123456789012345678/Rifles_token-abcdefghijklmnopqrstuvwxyz");

void select(QListWidget* list, const QStringList& names) {
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSelected(names.contains(list->item(i)->text()));
}

QString previewText(QDialog* d) {
    return child<QPlainTextEdit>(d, "txtPreview")->toPlainText();
}

} // namespace

class DiscordPreviewTest : public QObject {
    Q_OBJECT

    FixedClock m_clock{QDateTime(QDate(2005, 1, 12), QTime(12, 0))};
    MemorySecretStore m_secrets;

private Q_SLOTS:
    void init() {
        SetClock(&m_clock);
        SetSecretStore(&m_secrets);
        ResetSessionSecrets();
    }
    void cleanup() {
        SetClock(nullptr);
        SetSecretStore(nullptr);
        SetDiscordBaseAddress({});
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
        QTemporaryDir certs;
        QString error;
        QVERIFY2(SmtpSink::MakeCertificates(certs.path(), &error), qPrintable(error));
        WebhookServer server;
        QVERIFY(server.start(certs.path(), "good", "ok"));
        SetDiscordBaseAddress(QUrl(server.baseAddress()));
        const qint32 rifles = InsertDivision("Rifles");
        InsertDivision("Pistols");
        KeepDiscordWebhookAddress(rifles, kRifles);
        db.exec(
            "Insert Into Templates (Template_Name, Template_Content) Values('Practice', '@everyone at 8')");

        frmCommCenter centre;
        Click(&centre, "imgClickDivision");
        select(child<QListWidget>(&centre, "lstDivisions"), {"Rifles", "Pistols"});
        select(child<QListWidget>(&centre, "lstTemplates"), {"Practice"});
        driver.then([&](QDialog* d) {
            QCOMPARE(previewText(d), QStringLiteral("**Practice**\n\n@\u200Beveryone at 8"));
            QVERIFY(child<QLabel>(d, "lblChannels")
                        ->text()
                        .startsWith(
                            "To the channel of Rifles. No webhook address is set for the clan's channel:"));
            static_cast<frmDiscordPreview*>(d)->poster().setCaCertificates(
                QSslCertificate::fromPath(certs.filePath("ca.pem")));
            Click(d, "imgPost");
        });
        Click(&centre, "imgDiscordTemplate");
        QCOMPARE(sink.last().text, QStringLiteral("Posted to the channel of Rifles."));
        QCOMPARE(server.requests().size(), 1);
        QVERIFY(driver.unexpected.isEmpty());
    }
};

QTEST_MAIN(DiscordPreviewTest)
#include "discord_preview_test.moc"
