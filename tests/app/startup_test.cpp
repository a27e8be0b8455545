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
        QTest::addColumn<QByteArray>("content"); // what ClanRoster.mdb holds; null: there is none
        QTest::addColumn<QString>("description");
        QTest::newRow("missing file") << QByteArray() << "The Rallymark database file appears to be missing!";
        QTest::newRow("not a database") << QByteArray(2048, 'R') << "file is not a database";
    }
    void failures() {
        QFETCH(QByteArray, content);
        QFETCH(QString, description);
        QFile file(DatabasePath());
        QVERIFY(content.isNull() || (file.open(QIODevice::WriteOnly) && file.write(content) == 2048));
        file.close();
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
        QVERIFY(!content.isNull() || !file.exists()); // start-up never creates the file
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
