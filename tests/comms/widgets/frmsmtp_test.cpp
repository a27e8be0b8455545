#include "comms/EmailSending.h"
#include "comms/SmtpMailer.h"
#include "comms/widgets/CommsWindows.h"
#include "comms/widgets/frmSMTP.h"
#include "support/RosterRows.h"
#include "support/SmtpSink.h"
#include "support/TestKit.h"
#include "ui/EmailWindow.h"

using namespace rm;
using namespace std::chrono_literals;

namespace {

class FakeSelection final : public RecipientSelection {
public:
    bool players = true;
    QList<QPair<qint32, QString>> selectedPlayerItems;
    QList<qint32> selectedDivisionItems;

    bool playersListVisible() const override { return players; }
    QList<QPair<qint32, QString>> selectedPlayers() const override { return selectedPlayerItems; }
    QList<qint32> selectedDivisions() const override { return selectedDivisionItems; }
};

qint32 AddPlayer(const QString& name, const QString& primary, const QString& secondary = QString(),
                 bool active = true) {
    const qint32 id = test::InsertPlayerRow(name, active);
    Db().execute(QStringLiteral("Update Players Set Player_EmailPrimary = '%1', Player_EmailSecondary = '%2' "
                                "Where Player_ID = %3")
                     .arg(primary, secondary)
                     .arg(id));
    return id;
}

void Open(const QString& mode, const QString& to, const QString& subject, const QString& message,
          const RecipientSelection* selection = nullptr) {
    OpenEmailWindow({mode, to, subject, message, selection}, nullptr);
}

// Opens the quick window for one player and clicks Send; returns the status shown afterwards.
QString QuickSend(qint32 id) {
    test::ModalDriver driver;
    QString status;
    driver.then([&](QDialog* d) {
        test::Click(d, "imgSend");
        status = test::child<QLabel>(d, "lblStatus")->text();
        QVERIFY(!d->isVisible());
    });
    Open("Q", QString::number(id), "  Practice  ", "Tonight.\n");
    return status;
}

} // namespace

class FrmSmtpTest : public QObject {
    Q_OBJECT

    test::SmtpSink m_sink;

    void useSink(int port = 0) {
        OptionsRecord& o = CurrentOptions();
        o.SMTPServer = QStringLiteral("127.0.0.1");
        o.SMTPPort = port ? port : m_sink.port();
        o.ReplyAddress = QStringLiteral("leader@example.org");
        o.ReplyToName = QStringLiteral("Clan Leader");
    }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(m_sink.start(&error), qPrintable(error));
        RegisterCommsWindows();
        QVERIFY(HasEmailWindow());
    }
    void init() {
        m_sink.clear();
        SetMailDeadline(60s);
    }

    // Only a secondary address: the mail goes there; a successful send shows no summary.
    void quickSendToSecondaryAddress() {
        test::TestDatabase db;
        test::RecordingSink sink;
        useSink();
        const qint32 id = AddPlayer("Sniper", QStringLiteral("  "), QStringLiteral(" second@example.net "));
        QCOMPARE(QuickSend(id), QStringLiteral("Sending completed"));
        QCOMPARE(sink.count(), 0);
        const auto messages = m_sink.messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].recipients, QStringList{"second@example.net"});
        QCOMPARE(messages[0].decoded.value(QStringLiteral("subject")).toString(), QStringLiteral("Practice"));
        QVERIFY(messages[0].data.contains(
            "FROM: Clan Leader <leader@example.org>\r\nTO:  <second@example.net>\r\n"));
        QVERIFY(messages[0].data.endsWith("\r\n\r\nTonight.\r\n\r\n"));
    }

    void blankSubjectAndMessageAskOnce() {
        test::TestDatabase db;
        test::RecordingSink sink;
        useSink();
        const qint32 id = AddPlayer("Medic", QStringLiteral("medic@example.net"));
        test::ModalDriver driver;
        sink.answer(vbNo);
        sink.answer(vbYes);
        driver.then([&](QDialog* d) {
            test::Click(d, "imgSend");
            QVERIFY(d->isVisible()); // No: nothing sent, the window stays
            QCOMPARE(m_sink.messages().size(), 0);
            test::Click(d, "imgSend");
        });
        Open("Q", QString::number(id), QStringLiteral("  "), QString());
        QCOMPARE(sink.count(), 2);
        for (const auto& m : sink.messages) {
            QCOMPARE(m.text,
                     QStringLiteral("The Subject is blank\r\nThe Message Content Area is blank\r\n\r\n\r\n"
                                    "Send Anyway?"));
            QCOMPARE(m.buttons, int(vbYesNo));
        }
        QCOMPARE(m_sink.messages().size(), 1);
        QCOMPARE(m_sink.messages()[0].decoded.value(QStringLiteral("subject")).toString(), QString());
    }

    void quickSendActivationFailures() {
        test::TestDatabase db;
        test::RecordingSink sink;
        useSink();
        const qint32 ghost = AddPlayer(" Ghost ", QString(), QStringLiteral(" "));
        for (const qint32 id : {ghost, 9999}) {
            test::ModalDriver driver;
            bool closed = false;
            driver.then([&](QDialog* d) { closed = !d->isVisible(); });
            Open("Q", QString::number(id), QStringLiteral("s"), QStringLiteral("m"));
            QVERIFY(closed);
        }
        QCOMPARE(sink.titles(), (QStringList{"E-Mail Address Missing", "Error!"}));
        QCOMPARE(sink.messages[0].text, QStringLiteral("Ghost has no e-mail addresses defined!"));
        QCOMPARE(sink.messages[1].text, QStringLiteral("Player Could Not Be Found!"));
        QCOMPARE(m_sink.messages().size(), 0);
    }

    void quickSendErrorsAndTimeouts() {
        test::TestDatabase db;
        test::RecordingSink sink;
        const qint32 id = AddPlayer("Medic", QStringLiteral("medic@example.net"));
        QTcpServer silent; // accepts, never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        SetMailDeadline(200ms);
        const quint16 closedPort = test::ClosedLocalPort();
        for (const quint16 port : {closedPort, silent.serverPort()}) {
            useSink(port);
            QCOMPARE(QuickSend(id), QStringLiteral("Errors encountered"));
        }
        QCOMPARE(sink.titles(), (QStringList{"SMTP Error(s)", "SMTP Error(s)"}));
        // The usual words, then what failed.
        QCOMPARE(sink.messages[0].text,
                 QStringLiteral("While Sending the E-mail(s), Rallymark encountered an error. "
                                "\r\nPlease check your settings and retry.\r\n\r\nCould not connect to "
                                "127.0.0.1 on port %1: Connection refused.")
                     .arg(closedPort));
        QCOMPARE(sink.messages[1].text,
                 QStringLiteral("Rallymark has received a timeout from your SMTP Server\r\n"
                                "Please check your settings and retry.\r\n\r\nThe server 127.0.0.1 did not "
                                "answer within 0.2 seconds while Rallymark waited for the greeting."));
    }

    // A player in two selected divisions gets one message; inactive members get none.
    void divisionsMailEachMemberOnce() {
        test::TestDatabase db;
        test::RecordingSink sink;
        useSink();
        const qint32 red = test::InsertDivision(QStringLiteral("Red"));
        const qint32 blue = test::InsertDivision(QStringLiteral("Blue"));
        const qint32 ace = AddPlayer("Ace", QStringLiteral("ace@example.net"));
        const qint32 idle = AddPlayer("Idle", QStringLiteral("idle@example.net"), QString(), false);
        const qint32 mute = AddPlayer("Mute", QString());
        const qint32 zed = AddPlayer("Zed", QString(), QStringLiteral("zed@example.net"));
        for (const auto& [player, division] : QList<QPair<qint32, qint32>>{
                 {ace, red}, {idle, red}, {ace, blue}, {mute, blue}, {zed, blue}, {idle, blue}})
            test::InsertMember(player, division);
        FakeSelection selection;
        selection.players = false;
        selection.selectedDivisionItems = {red, blue};
        selection.selectedPlayerItems = {{idle, QStringLiteral("Idle")}}; // hidden list: not used
        test::ModalDriver driver;
        driver.then([&](QDialog* d) { test::Click(d, "imgSend"); });
        Open("S", QString(), QStringLiteral("Match"), QStringLiteral("Be there."), &selection);
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.last().text, QStringLiteral("E-mail to Ace successful\r\n"
                                                  "Mute has no e-mail addresses defined!\r\n"
                                                  "E-mail to Zed successful\r\n"));
        QStringList recipients;
        for (const auto& m : m_sink.messages())
            recipients += m.recipients;
        QCOMPARE(recipients, (QStringList{"ace@example.net", "zed@example.net"}));
    }

    // A batch from a players list: vanished players and refused recipients are reported, the rest
    // delivered; Send and Cancel do nothing while the batch runs.
    void batchOfFiftyFromThePlayersList() {
        test::TestDatabase db;
        test::RecordingSink sink;
        useSink();
        FakeSelection selection;
        for (int i = 1; i <= 50; ++i) {
            const QString name = QStringLiteral("Player%1").arg(i, 2, 10, QLatin1Char('0'));
            const QString address = QStringLiteral("%1%2@example.net").arg(i == 17 ? "reject" : "p").arg(i);
            selection.selectedPlayerItems << qMakePair(AddPlayer(name, address), name);
        }
        selection.selectedPlayerItems.insert(3, qMakePair(qint32(99999), QStringLiteral(" Gone ")));

        test::ModalDriver driver;
        int probes = 0, busyAndInert = 0;
        driver.then([&](QDialog* d) {
            auto* window = static_cast<frmSMTP*>(d);
            QTimer probe;
            connect(&probe, &QTimer::timeout, this, [&] {
                if (!window->isSending())
                    return;
                ++probes;
                const bool inert = !test::child<QToolButton>(d, "imgSend")->isEnabled() &&
                                   !test::child<QToolButton>(d, "imgCancel")->isEnabled();
                window->pressSend();
                window->pressCancel();
                window->reject();
                busyAndInert += inert && window->isVisible();
            });
            probe.start(5);
            test::Click(d, "imgSend");
        });
        Open("M", QString(), QStringLiteral("Roster"), QStringLiteral("Hello all"), &selection);
        QVERIFY(probes > 0);
        QCOMPARE(busyAndInert, probes);
        QCOMPARE(sink.count(), 1);
        const QStringList lines = sink.last().text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 52);
        QCOMPARE(lines.mid(2, 3), (QStringList{"E-mail to Player03 successful",
                                               "Gone's email information could not be retrieved",
                                               "E-mail to Player04 successful"}));
        QCOMPARE(lines.at(17),
                 QStringLiteral("Error received while sending mail to Player17: The server refused "
                                "the recipient address <reject17@example.net>. Last reply from "
                                "the server: 550 No such user here"));
        QCOMPARE(lines.filter(QStringLiteral(" successful")).size(), 49);
        QCOMPARE(m_sink.messages().size(), 49);
    }
};

QTEST_MAIN(FrmSmtpTest)
#include "frmsmtp_test.moc"
