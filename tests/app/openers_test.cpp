// The windows that send e-mail reach the e-mail window with their request, through the registry
// the main window uses. (What each window asks for is checked in its own tests with a recording
// opener; how the e-mail window shows each kind of request, in the e-mail window's tests.)

#include "support/TestKit.h"
#include "ui/EmailWindow.h"
#include "ui/WindowRegistry.h"

using namespace rm;
using test::child;

namespace {

qint32 addPlayer(const QString& name, const QString& primary, const QString& secondary = QString()) {
    Db().execute(QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                                "Player_EmailPrimary, Player_EmailSecondary, Player_ICQ) VALUES(%1, '%2', 1, "
                                "'%3', '%4', 0)")
                     .arg(CurrentOptions().UserTimeZone)
                     .arg(name, primary, secondary));
    return Db().scalar(QStringLiteral("Select MAX(Player_ID) From Players")).toInt();
}

// Presses `button` in `window` and returns what `read` took from the e-mail window it opened.
QString sendFrom(QWidget* window, const char* button, const std::function<QString(QDialog*)>& read) {
    test::ModalDriver driver;
    QString seen;
    driver.then([&](QDialog* d) {
        seen = read(d);
        d->reject();
    });
    test::Click(window, QString::fromLatin1(button));
    if (driver.shown != QStringList{QStringLiteral("frmSMTP")})
        qFatal("no e-mail window from %s", button);
    return seen;
}

} // namespace

class OpenersTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<test::RecordingSink> m_sink;

private Q_SLOTS:
    void initTestCase() {
        RegisterAllWindows();
        QVERIFY(HasEmailWindow());
    }
    void init() {
        m_db = std::make_unique<test::TestDatabase>();
        m_sink = std::make_unique<test::RecordingSink>();
    }
    void cleanup() {
        QCOMPARE(m_sink->count(), 0);
        m_sink.reset();
        m_db.reset();
    }

    void playersListSendsToOnePlayer() {
        addPlayer(QStringLiteral("Ann"), QString(), QStringLiteral("ann@example.org"));
        std::unique_ptr<QWidget> players(CreateTaskWindow(QStringLiteral("frmPlayers")));
        test::SelectRow(child<QTreeWidget>(players.get(), QStringLiteral("lsvPlayers")),
                        QStringLiteral("Ann"));
        QCOMPARE(sendFrom(players.get(), "imgEmail",
                          [](QDialog* d) {
                              (void)QTest::qWaitFor(
                                  [d] { return d->windowTitle().endsWith(QLatin1String("Ann")); });
                              return d->windowTitle() + QLatin1Char('|') +
                                     child<QLabel>(d, QStringLiteral("lblStatus"))->text();
                          }),
                 QStringLiteral("Sending E-Mail to Ann|Composing E-Mail..."));
    }

    void communicationsCentreHandsOverTheTemplate() {
        addPlayer(QStringLiteral("Bob"), QStringLiteral("bob@example.org"));
        Db().execute(QStringLiteral(
            "Insert Into Templates (Template_Name, Template_Content) VALUES('Match', 'See you at eight.')"));
        std::unique_ptr<QWidget> centre(CreateTaskWindow(QStringLiteral("frmCommCenter")));
        test::SelectItem(child<QListWidget>(centre.get(), QStringLiteral("lstPlayers")),
                         QStringLiteral("Bob"));
        test::SelectItem(child<QListWidget>(centre.get(), QStringLiteral("lstTemplates")),
                         QStringLiteral("Match"));
        QCOMPARE(sendFrom(centre.get(), "imgUseTemplate",
                          [](QDialog* d) {
                              return child<QPlainTextEdit>(d, QStringLiteral("txtMessage"))->toPlainText();
                          }),
                 QStringLiteral("See you at eight."));
    }
};

QTEST_MAIN(OpenersTest)
#include "openers_test.moc"
