// The program as it runs: start-up shows the splash, then checks the database, and every failure
// ends in the standard error report and a non-zero exit status without a main window. The windows
// that send e-mail reach the e-mail window (what each window asks for is checked in its own tests
// with a recording opener, how the e-mail window shows each kind of request in the e-mail window's
// tests; every window's pictures in fit_sweep_test). The About window's ways out.

#include "app/About.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "data/InstanceLock.h"
#include "data/StarterDatabase.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"
#include "ui/DesktopServices.h"
#include "ui/Maintenance.h"
#include "ui/WidgetMessageSink.h"
#include "ui/WindowRegistry.h"

using namespace rm;
using test::child;

class ProgramTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void initTestCase() { RegisterAllWindows(); }
    void init() {
        InstallWidgetMessageSink();
        m_dir = std::make_unique<QTemporaryDir>();
        SetApplicationFolder(m_dir->path());
        SetSettingsFile(QDir(m_dir->path()).filePath(QStringLiteral("settings.ini")));
    }
    void cleanup() {
        Db().close();
        SetApplicationFolder(QString());
        SetSettingsFile(QString());
    }

    void failures_data() {
        QTest::addColumn<QByteArray>("content"); // what ClanRoster.mdb holds; null: there is none
        QTest::addColumn<QString>("description");
        QTest::newRow("missing file") << QByteArray() << "The Rallymark database file appears to be missing!";
        QTest::newRow("not a database") << QByteArray(2048, 'R') << "file is not a database";
        QTest::newRow("damaged Options row") << QByteArray("options") << "integer overflow";
    }
    void failures() {
        QFETCH(QByteArray, content);
        QFETCH(QString, description);
        if (content == "options") { // a value the store cannot compute when the row is read
            QVERIFY(CreateStarterDatabase(DatabasePath(), nullptr));
            QVERIFY(Db().open(DatabasePath()));
            Db().execute(QStringLiteral("Alter Table Options Add Column Options_Damaged Integer Generated "
                                        "Always As (abs(-9223372036854775807 - 1)) Virtual"));
            Db().close();
        } else {
            QVERIFY(content.isNull() || test::WriteFile(DatabasePath(), content));
        }
        test::ModalDriver driver;
        driver.then([](QDialog* splash) { splash->accept(); });
        QString box; // title, icon and text of the report
        driver.then([&](QDialog* d) {
            if (auto* b = qobject_cast<QMessageBox*>(d))
                box = QStringLiteral("%1|%2|%3").arg(b->windowTitle()).arg(b->icon()).arg(b->text());
            d->accept();
        });
        frmMain main;
        QCOMPARE(StartUp(main, 0), 1);
        QVERIFY(driver.shown.first() == QLatin1String("frmSplash") && driver.pending() == 0);
        const auto head = QStringLiteral("Rallymark Error|%1|Rallymark encountered the following error:\n\n");
        QVERIFY2(
            box.startsWith(head.arg(QMessageBox::Critical)) &&
                box.endsWith(description + "\n\nDatabase file: " + QDir::toNativeSeparators(DatabasePath())),
            qPrintable(box));
        QVERIFY(!main.isVisible() && !Db().isOpen());
        QVERIFY(!content.isNull() || !QFile::exists(DatabasePath())); // start-up never creates the file
    }

    // A second copy on the same database file brings the first one forward and does not open; a
    // lock left by a copy that died does not stand in the way.
    void secondCopyOnTheSameFile() {
        QVERIFY(CreateStarterDatabase(DatabasePath(), nullptr));
        test::RecordingSink sink;
        test::ModalDriver driver;
        driver.then([](QDialog* splash) { splash->accept(); });
        bool raised = false;
        {
            InstanceLock first, second;
            first.onRaiseRequested = [&raised] { raised = true; };
            QVERIFY(first.claim(DatabasePath()));
            frmMain main;
            QCOMPARE(StartUp(main, 0, &second), kAlreadyRunning);
            QVERIFY(sink.last().text.contains(DatabasePath()) && !Db().isOpen());
            QTRY_VERIFY(raised);
        }
        // A lock file like this process's own, with the id of a process that has ended.
        QProcess gone;
        gone.start("/bin/true");
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QLockFile model(m_dir->filePath("model.lock"));
        QVERIFY(model.lock());
        const QByteArray own = test::FileBytes(m_dir->filePath("model.lock"));
        QVERIFY(test::WriteFile(InstanceLock::LockFilePath(DatabasePath()),
                                QByteArray::number(pid) + own.mid(own.indexOf('\n'))));
        QVERIFY(InstanceLock().claim(DatabasePath()));
    }

    void starterDatabaseOpens() {
        QVERIFY(CreateStarterDatabase(DatabasePath(), nullptr));
        test::ModalDriver driver;
        driver.then([](QDialog* splash) {
            splash->reject(); // only its timer closes the splash
            QVERIFY(splash->isVisible());
            QTRY_VERIFY(!splash->isVisible());
        });
        frmMain main;
        QCOMPARE(StartUp(main, 10), 0);
        QCOMPARE(driver.shown, QStringList{QStringLiteral("frmSplash")});
        QVERIFY(Db().isOpen());
        QCOMPARE(CurrentOptions().MaxResults, qint16(20));
    }

    void playersListSendsToOnePlayer() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::InsertPlayerRow("Ann", true, CurrentOptions().UserTimeZone);
        db.exec("Update Players Set Player_EmailSecondary = 'ann@example.org'");
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
            QTest::keyClick(d, Qt::Key_Return); // presses OK
        });
        frmAbout about;
        QCOMPARE(RunModal(&about), int(QDialog::Accepted));
        QCOMPARE(opened, (QList<QUrl>{QUrl(kMakerSiteAddress), QUrl(kMakerForumsAddress)}));
        SetDesktopOpener({});
    }

    // The first program of the list found on PATH is started; none there, or one that does not
    // start, is said in the standard box.
    void systemInformation() {
        test::RecordingSink sink;
        QStringList started;
        bool startWorks = true;
        SetProgramStarter([&](const QString& program) { return started << program, startWorks; });
        QTemporaryDir bin;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        frmAbout about;
        test::Click(&about, QStringLiteral("imgSysInfo"));
        for (const QString name : {"gnome-system-monitor", "kinfocenter"})
            QVERIFY(test::WriteFile(bin.filePath(name), {}) &&
                    QFile::setPermissions(bin.filePath(name), QFile::ReadOwner | QFile::ExeOwner));
        StartSystemInformation();
        QCOMPARE(started, QStringList{bin.filePath(QStringLiteral("kinfocenter"))});
        startWorks = false;
        StartSystemInformation();
        qputenv("PATH", oldPath);
        SetProgramStarter({});
        QCOMPARE(sink.count(), 2); // none there, and the start that failed
        for (const auto& m : sink.messages)
            QVERIFY(m.standardBox &&
                    m.text == QLatin1String("System Information Is Unavailable At This Time"));
    }
};

QTEST_MAIN(ProgramTest)
#include "program_test.moc"
