// The windows that send e-mail reach the e-mail window through the registry the main window uses.
// (What each window asks for is checked in its own tests with a recording opener; how the e-mail
// window shows each kind of request, in the e-mail window's tests.)

#include "support/TestKit.h"
#include "ui/EmailWindow.h"
#include "ui/WindowRegistry.h"

using namespace rm;
using test::child;

class OpenersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void playersListSendsToOnePlayer() {
        RegisterAllWindows();
        QVERIFY(HasEmailWindow());
        test::TestDatabase db;
        test::RecordingSink sink;
        db.exec(QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                               "Player_EmailPrimary, Player_EmailSecondary, Player_ICQ) VALUES(%1, 'Ann', 1, "
                               "'', 'ann@example.org', 0)")
                    .arg(CurrentOptions().UserTimeZone));
        std::unique_ptr<QWidget> players(CreateTaskWindow(QStringLiteral("frmPlayers")));
        test::SelectRow(child<QTreeWidget>(players.get(), QStringLiteral("lsvPlayers")),
                        QStringLiteral("Ann"));
        test::ModalDriver driver;
        QString seen;
        driver.then([&](QDialog* d) {
            (void)QTest::qWaitFor([d] { return d->windowTitle().endsWith(QLatin1String("Ann")); });
            seen =
                d->windowTitle() + QLatin1Char('|') + child<QLabel>(d, QStringLiteral("lblStatus"))->text();
            d->reject();
        });
        test::Click(players.get(), QStringLiteral("imgEmail"));
        QCOMPARE(driver.shown, QStringList{QStringLiteral("frmSMTP")});
        QCOMPARE(seen, QStringLiteral("Sending E-Mail to Ann|Composing E-Mail..."));
        QCOMPARE(sink.count(), 0);
    }
};

QTEST_MAIN(OpenersTest)
#include "openers_test.moc"
