// The windows that send e-mail reach the e-mail window with their request, through the registry
// the main window uses.

#include "data/DbConnection.h"
#include "data/Options.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"
#include "ui/EmailWindow.h"
#include "ui/WindowRegistry.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace rm;

class OpenersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { RegisterAllWindows(); }

    void playersListSendsToOnePlayer() {
        test::TestDatabase db;
        test::RecordingSink sink;
        QVERIFY(HasEmailWindow());
        Db().execute(
            QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                           "Player_EmailPrimary, Player_EmailSecondary, Player_ICQ) VALUES(%1, 'Ann', 1, '', "
                           "'ann@example.org', 0)")
                .arg(db.zoneId(QStringLiteral("GMT"))));
        std::unique_ptr<QWidget> players(CreateTaskWindow(QStringLiteral("frmPlayers")));
        QVERIFY(players);
        auto* list = test::child<QTreeWidget>(players.get(), QStringLiteral("lsvPlayers"));
        QCOMPARE(list->topLevelItemCount(), 1);
        list->topLevelItem(0)->setSelected(true);

        test::ModalDriver driver;
        QString title;
        driver.then([&](QDialog* d) {
            QTRY_COMPARE(d->windowTitle(), QStringLiteral("Sending E-Mail to Ann"));
            title = d->windowTitle();
            QCOMPARE(test::child<QLabel>(d, QStringLiteral("lblStatus"))->text(),
                     QStringLiteral("Composing E-Mail..."));
            d->reject();
        });
        test::child<QToolButton>(players.get(), QStringLiteral("imgEmail"))->click();
        QCOMPARE(driver.shown, QStringList{QStringLiteral("frmSMTP")});
        QCOMPARE(title, QStringLiteral("Sending E-Mail to Ann"));
    }

    void communicationsCentreHandsOverTheTemplate() {
        test::TestDatabase db;
        test::RecordingSink sink;
        Db().execute(
            QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                           "Player_EmailPrimary, Player_ICQ) VALUES(%1, 'Bob', 1, 'bob@example.org', 0)")
                .arg(db.zoneId(QStringLiteral("GMT"))));
        Db().execute(QStringLiteral("Insert Into Templates (Template_Name, Template_Content) "
                                    "VALUES('Match', 'See you at eight.')"));
        std::unique_ptr<QWidget> centre(CreateTaskWindow(QStringLiteral("frmCommCenter")));
        QVERIFY(centre);
        auto* players = test::child<QListWidget>(centre.get(), QStringLiteral("lstPlayers"));
        auto* templates = test::child<QListWidget>(centre.get(), QStringLiteral("lstTemplates"));
        QCOMPARE(players->count(), 1);
        QCOMPARE(templates->count(), 1);
        players->item(0)->setSelected(true);
        templates->setCurrentRow(0);
        templates->item(0)->setSelected(true);

        test::ModalDriver driver;
        QString message;
        driver.then([&](QDialog* d) {
            message = test::child<QPlainTextEdit>(d, QStringLiteral("txtMessage"))->toPlainText();
            d->reject();
        });
        test::child<QToolButton>(centre.get(), QStringLiteral("imgUseTemplate"))->click();
        QCOMPARE(sink.count(), 0);
        QCOMPARE(driver.shown, QStringList{QStringLiteral("frmSMTP")});
        QCOMPARE(message, QStringLiteral("See you at eight."));
    }

    void schedulingScreenSendsItsResults() {
        test::TestDatabase db;
        test::RecordingSink sink;
        Db().execute(
            QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                           "Player_EmailPrimary, Player_ICQ) VALUES(%1, 'Cy', 1, 'cy@example.org', 0)")
                .arg(CurrentOptions().UserTimeZone));
        const qint32 cy = db.scalar(QStringLiteral("Select MAX(Player_ID) From Players")).toInt();
        // Tuesday 20:00 to 21:00 GMT.
        Db().execute(QStringLiteral("Insert Into Schedules VALUES(%1, 3, '20:00', '21:00')").arg(cy));
        std::unique_ptr<QWidget> screen(CreateTaskWindow(QStringLiteral("frmScheduling")));
        QVERIFY(screen);
        auto* players = test::child<QListWidget>(screen.get(), QStringLiteral("lstPlayers"));
        QCOMPARE(players->count(), 1);
        players->item(0)->setSelected(true);
        test::child<QLineEdit>(screen.get(), QStringLiteral("txtMatchDate"))
            ->setText(QStringLiteral("12/06/2005"));
        test::child<QLineEdit>(screen.get(), QStringLiteral("txtMatchTime"))
            ->setText(QStringLiteral("20:30"));
        test::child<QToolButton>(screen.get(), QStringLiteral("imgShowAvailable"))->click();
        QCOMPARE(test::child<QListWidget>(screen.get(), QStringLiteral("lstAvailable"))->count(), 1);

        test::ModalDriver driver;
        QString subject;
        driver.then([&](QDialog* d) {
            subject = test::child<QLineEdit>(d, QStringLiteral("txtSubject"))->text();
            d->reject();
        });
        test::child<QToolButton>(screen.get(), QStringLiteral("imgEmailAvailable"))->click();
        QCOMPARE(driver.shown, QStringList{QStringLiteral("frmSMTP")});
        QCOMPARE(subject, QStringLiteral("Match Information"));
    }
};

QTEST_MAIN(OpenersTest)
#include "openers_test.moc"
