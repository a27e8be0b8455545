// Every window of the program, as the main window's registry makes it: each finds its pictures and
// every picture button says what it does; the windows that send e-mail reach the e-mail window.
// (What each window asks for is checked in its own tests with a recording opener; how the e-mail
// window shows each kind of request, in the e-mail window's tests.)

#include "app/About.h"
#include "app/MainWindow.h"
#include "support/TestKit.h"
#include "ui/EmailWindow.h"
#include "ui/Maintenance.h"
#include "ui/MessageBox.h"
#include "ui/WindowRegistry.h"

using namespace rm;
using test::child;

class WindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<test::RecordingSink> m_sink;

private Q_SLOTS:
    void initTestCase() { RegisterAllWindows(); }
    void init() {
        m_db = std::make_unique<test::TestDatabase>();
        m_sink = std::make_unique<test::RecordingSink>();
    }
    void cleanup() {
        QCOMPARE(m_sink->count(), 0);
        m_sink.reset();
        m_db.reset();
    }

    void everyWindowHasItsPictures() {
        QList<std::shared_ptr<QWidget>> windows{std::make_shared<frmMain>(), std::make_shared<frmAbout>(),
                                                std::make_shared<frmMessageBox>()};
        for (const QString& name : RegisteredTaskWindows())
            windows << std::shared_ptr<QWidget>(CreateTaskWindow(name));
        QVERIFY(windows.size() >= 10);
        for (const auto& w : windows) {
            QVERIFY(w);
            for (QToolButton* button : w->findChildren<QToolButton*>(QRegularExpression("^(?!qt_)."))) {
                const QString where = w->objectName() + QLatin1Char('.') + button->objectName();
                // Click areas lie over a tab picture and have none of their own.
                QVERIFY2(!button->icon().isNull() ||
                             button->objectName().startsWith(QLatin1String("imgClick")),
                         qPrintable(where));
                QVERIFY2(!button->toolTip().isEmpty() && !button->accessibleName().isEmpty(),
                         qPrintable(where));
            }
        }
        // The dialogs' OK and Cancel pictures, in both modes.
        for (const char* name :
             {"ok", "cancel", "ok-delete", "cancel-delete", "info", "question", "exclamation", "critical",
              "slot-free", "slot-busy", "slot-start", "slot-end"})
            QVERIFY2(!AppIcon(QString::fromLatin1(name)).isNull(), name);
        QCOMPARE(MissingPictures(), QStringList());
    }

    void playersListSendsToOnePlayer() {
        QVERIFY(HasEmailWindow());
        m_db->exec(
            QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
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
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
