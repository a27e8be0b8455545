#include "comms/EmailSending.h"
#include "comms/SmtpMailer.h"
#include "comms/widgets/CommsWindows.h"
#include "comms/widgets/frmSMTP.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/SmtpSink.h"
#include "support/TestDatabase.h"
#include "ui/EmailWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QToolButton>
#include <QtTest>

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
    Db().execute(QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                                "Player_EmailPrimary, Player_EmailSecondary) Values(1, '%1', %2, '%3', '%4')")
                     .arg(name, active ? QStringLiteral("1") : QStringLiteral("0"), primary, secondary));
    return Db().scalar(QStringLiteral("Select MAX(Player_ID) From Players")).toInt();
}

qint32 AddDivision(const QString& name) {
    Db().execute(
        QStringLiteral("Insert Into Divisions (Division_Name, Division_Active) Values('%1', 1)").arg(name));
    return Db().scalar(QStringLiteral("Select MAX(Division_ID) From Divisions")).toInt();
}

void Join(qint32 player, qint32 division) {
    Db().execute(QStringLiteral("Insert Into Members (Member_Player_ID, Member_Division_ID, Member_Title) "
                                "Values(%1, %2, 0)")
                     .arg(player)
                     .arg(division));
}

void Click(QDialog* d, const char* name) {
    test::child<QToolButton>(d, QString::fromLatin1(name))->click();
}
QString Status(QDialog* d) {
    return test::child<QLabel>(d, QStringLiteral("lblStatus"))->text();
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
        const qint32 id = AddPlayer(QStringLiteral(" Sniper "), QStringLiteral("  "),
                                    QStringLiteral(" second@example.net "));
        test::ModalDriver driver;
        QString caption, status;
        driver.then([&](QDialog* d) {
            QCOMPARE(Status(d), QStringLiteral("Composing E-Mail..."));
            caption = d->windowTitle();
            Click(d, "imgSend");
            status = Status(d);
            QVERIFY(!d->isVisible());
        });
        OpenEmailWindow({QStringLiteral("Q"), QString::number(id), QStringLiteral("  Practice  "),
                         QStringLiteral("Tonight at nine.\n"), nullptr},
                        nullptr);
        QCOMPARE(driver.pending(), 0);
        QCOMPARE(caption, QStringLiteral("Sending E-Mail to Sniper"));
        QCOMPARE(status, QStringLiteral("Sending completed"));
        QCOMPARE(sink.count(), 0);
        const auto messages = m_sink.messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].recipients, QStringList{QStringLiteral("second@example.net")});
        QCOMPARE(messages[0].decoded.value(QStringLiteral("subject")).toString(), QStringLiteral("Practice"));
        QCOMPARE(messages[0].decoded.value(QStringLiteral("to")).toString(),
                 QStringLiteral("second@example.net"));
        QVERIFY(messages[0].data.contains(
            "FROM: Clan Leader <leader@example.org>\r\nTO:  <second@example.net>\r\n"));
        QVERIFY(messages[0].data.endsWith("\r\n\r\nTonight at nine.\r\n\r\n"));
    }

    void blankSubjectAndMessageAskOnce() {
        test::TestDatabase db;
        test::RecordingSink sink;
        useSink();
        const qint32 id = AddPlayer(QStringLiteral("Medic"), QStringLiteral("medic@example.net"));
        test::ModalDriver driver;
        sink.answer(vbNo);
        sink.answer(vbYes);
        driver.then([&](QDialog* d) {
            Click(d, "imgSend");
            QVERIFY(d->isVisible()); // No: nothing sent, the window stays
            QCOMPARE(m_sink.messages().size(), 0);
            Click(d, "imgSend");
        });
        OpenEmailWindow({QStringLiteral("Q"), QString::number(id), QStringLiteral("  "), QString(), nullptr},
                        nullptr);
        QCOMPARE(sink.count(), 2);
        for (const auto& m : sink.messages) {
            QCOMPARE(m.title, QStringLiteral("Missing E-Mail Information"));
            QCOMPARE(m.text,
                     QStringLiteral("The Subject is blank\r\nThe Message Content Area is blank\r\n\r\n\r\n"
                                    "Send Anyway?"));
            QCOMPARE(m.buttons, int(vbYesNo));
            QCOMPARE(m.icon, int(vbQuestion));
        }
        QCOMPARE(m_sink.messages().size(), 1);
        QCOMPARE(m_sink.messages()[0].decoded.value(QStringLiteral("subject")).toString(), QString());
    }

    void quickSendActivationFailures() {
        test::TestDatabase db;
        test::RecordingSink sink;
        useSink();
        const qint32 id = AddPlayer(QStringLiteral(" Ghost "), QString(), QStringLiteral(" "));
        test::ModalDriver driver;
        bool closed = false;
        driver.then([&](QDialog* d) { closed = !d->isVisible(); });
        OpenEmailWindow(
            {QStringLiteral("Q"), QString::number(id), QStringLiteral("s"), QStringLiteral("m"), nullptr},
            nullptr);
        QVERIFY(closed);
        QCOMPARE(sink.last().title, QStringLiteral("E-Mail Address Missing"));
        QCOMPARE(sink.last().text, QStringLiteral("Ghost has no e-mail addresses defined!"));
        QCOMPARE(sink.last().icon, int(vbExclamation));

        driver.then([&](QDialog* d) { closed = !d->isVisible(); });
        OpenEmailWindow(
            {QStringLiteral("Q"), QStringLiteral("9999"), QStringLiteral("s"), QStringLiteral("m"), nullptr},
            nullptr);
        QVERIFY(closed);
        QCOMPARE(sink.last().title, QStringLiteral("Error!"));
        QCOMPARE(sink.last().text, QStringLiteral("Player Could Not Be Found!"));
        QCOMPARE(sink.last().icon, int(vbCritical));
        QCOMPARE(sink.count(), 2);
    }

    void quickSendErrorsAndTimeouts() {
        test::TestDatabase db;
        test::RecordingSink sink;
        const qint32 id = AddPlayer(QStringLiteral("Medic"), QStringLiteral("medic@example.net"));
        QTcpServer silent; // accepts, never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        quint16 closedPort = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            closedPort = probe.serverPort();
        }
        SetMailDeadline(200ms);
        for (const quint16 port : {closedPort, silent.serverPort()}) {
            useSink(port);
            test::ModalDriver driver;
            QString status;
            driver.then([&](QDialog* d) {
                Click(d, "imgSend");
                status = Status(d);
                QVERIFY(!d->isVisible());
            });
            OpenEmailWindow(
                {QStringLiteral("Q"), QString::number(id), QStringLiteral("s"), QStringLiteral("m"), nullptr},
                nullptr);
            QCOMPARE(status, QStringLiteral("Errors encountered"));
        }
        QCOMPARE(sink.count(), 2);
        QCOMPARE(sink.titles(),
                 (QStringList{QStringLiteral("SMTP Error(s)"), QStringLiteral("SMTP Error(s)")}));
        QCOMPARE(sink.messages[0].text,
                 QStringLiteral("While Sending the E-mail(s), Rallymark encountered an error. "
                                "\r\nPlease check your settings and retry."));
        QCOMPARE(sink.messages[1].text,
                 QStringLiteral("Rallymark has received a timeout from your SMTP Server\r\n"
                                "Please check your settings and retry."));
        QCOMPARE(sink.messages[1].align, int(AlignLeftText));
        QCOMPARE(sink.messages[1].icon, int(vbInformation));
    }

    // A player in two selected divisions gets one message; inactive members get none.
    void divisionsMailEachMemberOnce() {
        test::TestDatabase db;
        test::RecordingSink sink;
        useSink();
        const qint32 red = AddDivision(QStringLiteral("Red"));
        const qint32 blue = AddDivision(QStringLiteral("Blue"));
        const qint32 ace = AddPlayer(QStringLiteral("Ace"), QStringLiteral("ace@example.net"));
        const qint32 idle =
            AddPlayer(QStringLiteral("Idle"), QStringLiteral("idle@example.net"), QString(), false);
        const qint32 mute = AddPlayer(QStringLiteral("Mute"), QString());
        const qint32 zed = AddPlayer(QStringLiteral("Zed"), QString(), QStringLiteral("zed@example.net"));
        Join(ace, red);
        Join(idle, red);
        Join(ace, blue);
        Join(mute, blue);
        Join(zed, blue);
        Join(idle, blue);
        FakeSelection selection;
        selection.players = false;
        selection.selectedDivisionItems = {red, blue};
        selection.selectedPlayerItems = {{idle, QStringLiteral("Idle")}}; // hidden list: not used
        test::ModalDriver driver;
        driver.then([&](QDialog* d) { Click(d, "imgSend"); });
        OpenEmailWindow({QStringLiteral("S"), QString(), QStringLiteral("Match"), QStringLiteral("Be there."),
                         &selection},
                        nullptr);
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.last().title, QStringLiteral("E-Mail Summary"));
        QCOMPARE(sink.last().text, QStringLiteral("E-mail to Ace successful\r\n"
                                                  "Mute has no e-mail addresses defined!\r\n"
                                                  "E-mail to Zed successful\r\n"));
        QStringList recipients;
        for (const auto& m : m_sink.messages())
            recipients += m.recipients;
        QCOMPARE(recipients,
                 (QStringList{QStringLiteral("ace@example.net"), QStringLiteral("zed@example.net")}));
        QCOMPARE(DivisionRecipientsStatement(blue, {ace, mute}),
                 QStringLiteral(
                     "Select Player_ID, Player_EmailPrimary, Player_EmailSecondary, Player_OnlineName "
                     "From Players, Members Where Member_Division_ID = %1 And Member_Player_ID = Player_ID "
                     "And Player_Active = True And Player_ID <> %2 And Player_ID <> %3 ")
                     .arg(blue)
                     .arg(ace)
                     .arg(mute));
    }

    // A batch from a players list: vanished players and refused recipients are reported, the rest
    // delivered; Send and Cancel do nothing while the batch runs.
    void batchOfFiftyFromThePlayersList() {
        test::TestDatabase db;
        test::RecordingSink sink;
        useSink();
        FakeSelection selection;
        QString expected;
        for (int i = 1; i <= 50; ++i) {
            const QString name = QStringLiteral("Player%1").arg(i, 2, 10, QLatin1Char('0'));
            const QString address =
                (i == 17 ? QStringLiteral("reject%1@example.net") : QStringLiteral("p%1@example.net")).arg(i);
            selection.selectedPlayerItems << qMakePair(AddPlayer(name, address), name);
            expected += (i == 17 ? QStringLiteral("Error received while sending mail to ")
                                 : QStringLiteral("E-mail to ")) +
                        name + (i == 17 ? QStringLiteral("\r\n") : QStringLiteral(" successful\r\n"));
        }
        selection.selectedPlayerItems.insert(3, qMakePair(qint32(99999), QStringLiteral(" Gone ")));
        expected.insert(expected.indexOf(QStringLiteral("E-mail to Player04")),
                        QStringLiteral("Gone's email information could not be retrieved\r\n"));

        test::ModalDriver driver;
        bool inertWhileSending = true;
        int probes = 0;
        driver.then([&](QDialog* d) {
            auto* window = static_cast<frmSMTP*>(d);
            QTimer probe;
            connect(&probe, &QTimer::timeout, this, [&] {
                if (!window->isSending())
                    return;
                ++probes;
                inertWhileSending = inertWhileSending &&
                                    !test::child<QToolButton>(d, QStringLiteral("imgSend"))->isEnabled() &&
                                    !test::child<QToolButton>(d, QStringLiteral("imgCancel"))->isEnabled();
                window->pressSend();
                window->pressCancel();
                window->reject();
                inertWhileSending = inertWhileSending && window->isVisible();
            });
            probe.start(5);
            Click(d, "imgSend");
        });
        OpenEmailWindow({QStringLiteral("M"), QString(), QStringLiteral("Roster"),
                         QStringLiteral("Hello all"), &selection},
                        nullptr);
        QVERIFY(probes > 0);
        QVERIFY(inertWhileSending);
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.last().title, QStringLiteral("E-Mail Summary"));
        QCOMPARE(sink.last().text, expected);
        QCOMPARE(m_sink.messages().size(), 49);
    }
};

QTEST_MAIN(FrmSmtpTest)
#include "frmsmtp_test.moc"
