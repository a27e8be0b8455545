// Every window of the program, as the main window's registry makes it: each finds its pictures and
// every picture button says what it does; the windows that send e-mail reach the e-mail window.
// (What each window asks for is checked in its own tests with a recording opener; how the e-mail
// window shows each kind of request, in the e-mail window's tests.) The About window's ways out.

#include "app/About.h"
#include "app/MainWindow.h"
#include "support/TestKit.h"
#include "ui/DesktopServices.h"
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

    void aboutClosesOnlyThroughOK() {
        QList<QUrl> opened;
        SetDesktopOpener([&](const QUrl& url) { return opened << url, true; });
        test::ModalDriver driver;
        driver.then([&](QDialog* d) {
            d->close();
            QTest::keyClick(d, Qt::Key_Escape);
            QVERIFY(d->isVisible());
            test::Click(d, QStringLiteral("imgLogo"));
            emit test::child<QLabel>(d, "lblForums")->linkActivated(kMakerForumsAddress);
            test::ClickOK(d);
        });
        frmAbout about;
        QCOMPARE(RunModal(&about), int(QDialog::Accepted));
        QCOMPARE(opened, (QList<QUrl>{QUrl(kMakerSiteAddress), QUrl(kMakerForumsAddress)}));
        SetDesktopOpener({});
    }

    // The first program of the list found on PATH is started; none there, or one that does not
    // start, is said in the standard box.
    void systemInformation() {
        QStringList started;
        bool startWorks = true;
        SetProgramStarter([&](const QString& program) { return started << program, startWorks; });
        QTemporaryDir bin;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        frmAbout about;
        test::Click(&about, QStringLiteral("imgSysInfo"));
        for (const char* name : {"gnome-system-monitor", "kinfocenter"}) {
            QFile file(QDir(bin.path()).filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) &&
                    file.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        }
        StartSystemInformation();
        QCOMPARE(started, QStringList{QDir(bin.path()).filePath(QStringLiteral("kinfocenter"))});
        startWorks = false;
        StartSystemInformation();
        qputenv("PATH", oldPath);
        SetProgramStarter({});
        const auto said = std::exchange(m_sink->messages, {}); // none there, and the start that failed
        QCOMPARE(said.size(), 2);
        for (const auto& m : said)
            QVERIFY(m.standardBox &&
                    m.text == QLatin1String("System Information Is Unavailable At This Time"));
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
