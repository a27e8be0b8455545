// Start-up as the program runs it: splash first, then the database checks; every failure ends in
// the standard error report and a non-zero exit status without a main window.

#include "app/Application.h"
#include "app/MainWindow.h"
#include "data/StarterDatabase.h"
#include "support/TestKit.h"
#include "ui/WidgetMessageSink.h"
#include "ui/WindowRegistry.h"

using namespace rm;

class StartupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void initTestCase() {
        InstallWidgetMessageSink();
        RegisterAllWindows();
    }
    void cleanupTestCase() { SetMessageSink(nullptr); }
    void init() {
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
        QTest::addColumn<QString>("content"); // what ClanRoster.mdb holds: "" none, "junk", "partial"
        QTest::addColumn<QString>("description");
        QTest::newRow("missing file") << QString() << "The Rallymark database file appears to be missing!";
        QTest::newRow("not a database") << "junk"
                                        << "file is not a database";
        QTest::newRow("missing table") << "partial"
                                       << "The Rallymark database file has no table Players";
    }
    void failures() {
        QFETCH(QString, content);
        QFETCH(QString, description);
        const QString path = DatabasePath();
        if (content == QLatin1String("junk")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(2048, 'R')) == 2048);
        } else if (content == QLatin1String("partial")) {
            DbConnection other;
            QVERIFY(other.open(path));
            other.execute(QStringLiteral("Create Table Options (Options_ID INTEGER)"));
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
        const QString head =
            QStringLiteral("Rallymark Error|%1|Rallymark encountered the following error:\n\n");
        QVERIFY2(box.startsWith(head.arg(QMessageBox::Critical)) && box.endsWith(description),
                 qPrintable(box));
        QVERIFY(!main.isVisible() && !Db().isOpen());
        QVERIFY(!content.isEmpty() || !QFile::exists(path)); // start-up never creates the file
    }

    void starterDatabaseOpens() {
        QString error;
        QVERIFY(CreateStarterDatabase(DatabasePath(), &error));
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
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
