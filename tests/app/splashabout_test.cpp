#include "app/About.h"
#include "app/Splash.h"
#include "support/TestKit.h"
#include "ui/DesktopServices.h"
#include "ui/Maintenance.h"

using namespace rm;

class SplashAboutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void splashClosesItselfWhenTheTimerFires() {
        frmSplash standard;
        QCOMPARE(test::child<QTimer>(&standard, QStringLiteral("tmrPause"))->interval(), 3000);
        frmSplash splash(40);
        QTimer::singleShot(0, &splash, [&] { splash.reject(); }); // only the timer closes it
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(RunModal(&splash), int(QDialog::Accepted));
        QVERIFY(clock.elapsed() >= 40);
        QVERIFY(!splash.isVisible());
    }

    void aboutClosesOnlyThroughOK() {
        QList<QUrl> opened;
        SetDesktopOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        test::ModalDriver driver;
        driver.then([&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("About Rallymark"));
            QCOMPARE(test::child<QLabel>(d, "lblVersion")->text(), QStringLiteral("Version 3.0.0"));
            d->close();
            QTest::keyClick(d, Qt::Key_Escape);
            QVERIFY(d->isVisible());
            test::Click(d, QStringLiteral("imgLogo"));
            emit test::child<QLabel>(d, "lblForums")->linkActivated(kMakerForumsAddress);
            test::ClickOK(d);
            QVERIFY(!d->isVisible());
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
        SetProgramStarter([&](const QString& program) {
            started << program;
            return startWorks;
        });
        QTemporaryDir bin;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        frmAbout about;
        test::Click(&about, QStringLiteral("imgSysInfo"));
        for (const QString& name : {QStringLiteral("gnome-system-monitor"), QStringLiteral("kinfocenter")}) {
            QFile file(QDir(bin.path()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\nexit 0\n");
            file.close();
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        StartSystemInformation();
        QCOMPARE(started, QStringList{QDir(bin.path()).filePath(QStringLiteral("kinfocenter"))});
        startWorks = false;
        StartSystemInformation();
        qputenv("PATH", oldPath);
        SetProgramStarter({});
        QCOMPARE(sink.count(), 2);
        for (const auto& m : sink.messages) {
            QCOMPARE(m.text, QStringLiteral("System Information Is Unavailable At This Time"));
            QVERIFY(m.standardBox);
        }
    }
};

QTEST_MAIN(SplashAboutTest)
#include "splashabout_test.moc"
