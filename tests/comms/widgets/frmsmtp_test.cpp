#include "comms/EmailSending.h"
#include "comms/SmtpMailer.h"
#include "comms/widgets/CommsWindows.h"
#include "comms/widgets/frmSMTP.h"
#include "support/CaseRows.h"
#include "support/RosterRows.h"
#include "support/SmtpSink.h"
#include "support/TestKit.h"
#include "ui/EmailWindow.h"

using namespace rm;
using namespace std::chrono_literals;

namespace {

struct FakeSelection final : RecipientSelection {
    bool players = true;
    QList<QPair<qint32, QString>> selectedPlayerItems;
    QList<qint32> selectedDivisionItems;

    bool playersListVisible() const override { return players; }
    QList<QPair<qint32, QString>> selectedPlayers() const override { return selectedPlayerItems; }
    QList<qint32> selectedDivisions() const override { return selectedDivisionItems; }
};

qint32 AddPlayer(const QString& name, const QString& primary, const QString& secondary = QString(),
                 bool active = true, qint32 zone = 1) {
    const qint32 id = test::InsertPlayerRow(name, active, zone);
    Db().execute(QStringLiteral("Update Players Set Player_EmailPrimary = '%1', Player_EmailSecondary = '%2' "
                                "Where Player_ID = %3")
                     .arg(primary, secondary)
                     .arg(id));
    return id;
}

// Opens the quick window for one player and clicks Send unless the window closed itself; returns
// the status shown afterwards.
QString QuickSend(qint32 id) {
    test::ModalDriver driver;
    QString status;
    driver.then([&](QDialog* d) {
        if (d->isVisible())
            test::Click(d, "imgSend");
        status = test::child<QLabel>(d, "lblStatus")->text();
        QVERIFY(!d->isVisible());
    });
    OpenEmailWindow({"Q", QString::number(id), "  Practice  ", "Tonight.\n"}, nullptr);
    return status;
}

// One send from the quick window: the player's addresses (primary "-": no such player), the server
// (0 the sink, 1 a closed port, 2 one that never answers), the status shown afterwards, and the title
// and text of the one message shown (none after a success; %1: the closed port). Without an address
// or a player the window closes at once.
// clang-format off
struct Quick { const char *name, *primary, *secondary; int server; const char *status, *title, *text; };
constexpr Quick kQuick[] = {
    {"secondary only", "  ", " second@example.net ", 0, "Sending completed", "", ""},
    {"no address", "", " ", 0, "Composing E-Mail...", "E-Mail Address Missing", "Ghost has no e-mail addresses defined!"},
    {"no player", "-", "", 0, "Composing E-Mail...", "Error!", "Player Could Not Be Found!"},
    {"refused", "medic@example.net", "", 1, "Errors encountered", "SMTP Error(s)",
     "While Sending the E-mail(s), Rallymark encountered an error. \r\nPlease check your settings and retry.\r\n\r\n"
     "Could not connect to 127.0.0.1 on port %1: Connection refused."},
    {"silent", "medic@example.net", "", 2, "Errors encountered", "SMTP Error(s)",
     "Rallymark has received a timeout from your SMTP Server\r\nPlease check your settings and retry.\r\n\r\n"
     "The server 127.0.0.1 did not answer within 0.2 seconds while Rallymark waited for the greeting."}};
// clang-format on

} // namespace

class FrmSmtpTest : public QObject {
    Q_OBJECT

    test::SmtpSink m_sink;
    std::optional<test::TestDatabase> db;
    std::optional<test::RecordingSink> sink;

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
    }
    void init() {
        m_sink.clear();
        SetMailDeadline(60s);
        db.emplace();
        sink.emplace();
        useSink();
    }
    void cleanup() {
        sink.reset();
        db.reset();
    }

    void quickSend_data() { test::CaseRows(kQuick); }
    void quickSend() {
        QFETCH(int, row);
        const Quick& r = kQuick[row];
        QTcpServer silent; // accepts, never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        const quint16 closedPort = test::ClosedLocalPort();
        useSink(r.server == 1 ? closedPort : r.server == 2 ? silent.serverPort() : 0);
        SetMailDeadline(r.server == 2 ? 200ms : 60s);
        QCOMPARE(QuickSend(*r.primary == '-' ? 9999 : AddPlayer(" Ghost ", r.primary, r.secondary)),
                 QString::fromLatin1(r.status));
        QCOMPARE(sink->titles(), *r.title ? QStringList{r.title} : QStringList());
        QCOMPARE(sink->count() ? sink->last().text : QString(),
                 QString::fromLatin1(r.text).replace(QStringLiteral("%1"), QString::number(closedPort)));
        const auto messages = m_sink.messages();
        QCOMPARE(messages.size(), *r.title ? 0 : 1);
        if (messages.isEmpty())
            return;
        QCOMPARE(messages[0].recipients, QStringList{"second@example.net"});
        QCOMPARE(messages[0].decoded.value(QStringLiteral("subject")).toString(), QStringLiteral("Practice"));
        QVERIFY(messages[0].data.contains(
            "FROM: Clan Leader <leader@example.org>\r\nTO: <second@example.net>\r\n"));
        QVERIFY(messages[0].data.endsWith("\r\n\r\nTonight.\r\n\r\n"));
    }

    // A player in two selected divisions gets one message; inactive members get none. A blank subject
    // and message ask first; No sends nothing and keeps the window.
    void divisionsMailEachMemberOnce() {
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
        sink->answer(vbNo);
        sink->answer(vbYes);
        driver.then([&](QDialog* d) {
            QCOMPARE(test::child<QLabel>(d, "lblRecipients")->text(),
                     QStringLiteral("To: Ace, Mute (no address), Zed"));
            test::Click(d, "imgSend");
            QVERIFY(d->isVisible() && m_sink.messages().isEmpty());
            test::Click(d, "imgSend");
        });
        OpenEmailWindow({"S", QString(), "  ", QString(), &selection}, nullptr);
        QCOMPARE(sink->count(), 3);
        QCOMPARE(sink->messages[0].text, QStringLiteral("The Subject is blank\r\nThe Message Content Area is "
                                                        "blank\r\n\r\n\r\nSend Anyway?"));
        QCOMPARE(sink->messages[0].buttons, int(vbYesNo));
        QCOMPARE(sink->last().text, QStringLiteral("E-mail to Ace successful\r\n"
                                                   "Mute has no e-mail addresses defined!\r\n"
                                                   "E-mail to Zed successful\r\n"));
        QCOMPARE(m_sink.messages().size(), 2); // the report names whom
    }

    // A match mail gives each recipient the time on their own clock beside the leader's.
    void matchTimeInEachRecipientsZone() {
        FakeSelection selection;
        for (const char* zone : {"Eastern", "Tokyo"}) {
            const QString name = QString::fromLatin1(zone).left(3);
            selection.selectedPlayerItems << qMakePair(AddPlayer(name, name.toLower() + "@example.net", {},
                                                                 true, db->zoneId(QString::fromLatin1(zone))),
                                                       name);
        }
        EmailRequest request{"S", QString(), "Match Information",
                             "We have a match.\r\nWho can make it:", &selection};
        request.matchUtc = QDateTime(QDate(2026, 12, 15), QTime(19, 0), Qt::UTC);
        request.leaderZone = db->zoneId(QStringLiteral("Berlin"));
        test::ModalDriver driver;
        driver.then([](QDialog* d) { test::Click(d, "imgSend"); });
        OpenEmailWindow(request, nullptr);
        const auto body = [&](int i) {
            return m_sink.messages().value(i).decoded.value("body").toString().replace("\r\n", "\n");
        };
        QVERIFY2(
            body(0).contains(QStringLiteral("We have a match.\nTuesday 15 December 2026, 20:00 Berlin time — "
                                            "14:00 your time (Eastern)\nWho can make it:")),
            qPrintable(body(0)));
        QVERIFY2(body(1).contains(
                     QStringLiteral("Berlin time — Wednesday 16 December 2026, 04:00 your time (Tokyo)")),
                 qPrintable(body(1)));
    }

    // A batch from a players list: vanished players and refused recipients are reported, the rest
    // delivered; Send and Cancel do nothing while the batch runs.
    void batchOfFiftyFromThePlayersList() {
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
        OpenEmailWindow({"M", QString(), "Roster", "Hello all", &selection}, nullptr);
        QVERIFY(probes > 0);
        QCOMPARE(busyAndInert, probes);
        QCOMPARE(sink->count(), 1);
        const QStringList lines = sink->last().text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 52);
        QCOMPARE(lines.mid(2, 3), (QStringList{"E-mail to Player03 successful",
                                               "Gone's email information could not be retrieved",
                                               "E-mail to Player04 successful"}));
        QCOMPARE(lines.at(17),
                 QStringLiteral("Error received while sending mail to Player17: The server refused "
                                "the recipient address <reject17@example.net>. Last reply from "
                                "the server: 550 No such user here"));
        QCOMPARE(m_sink.messages().size(), 49);
    }
};

QTEST_MAIN(FrmSmtpTest)
#include "frmsmtp_test.moc"
