#include "app/About.h"
#include "app/Splash.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "ui/DesktopServices.h"
#include "ui/Maintenance.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace rm;

namespace {

// Puts fake programs on PATH for the duration of a test.
class FakePath {
public:
    explicit FakePath(const QStringList& programs) : m_old(qgetenv("PATH")) {
        for (const QString& name : programs) {
            QFile file(QDir(m_dir.path()).filePath(name));
            file.open(QIODevice::WriteOnly);
            file.write("#!/bin/sh\nexit 0\n");
            file.close();
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", m_dir.path().toLocal8Bit());
    }
    ~FakePath() { qputenv("PATH", m_old); }
    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};

} // namespace

class SplashAboutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void splashClosesItselfWhenTheTimerFires() {
        frmSplash standard;
        QTimer* timer = test::child<QTimer>(&standard, QStringLiteral("tmrPause"));
        QCOMPARE(timer->interval(), 3000);

        frmSplash splash(40);
        QTimer::singleShot(0, &splash, [&] { splash.reject(); }); // only the timer closes it
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(RunModal(&splash), int(QDialog::Accepted));
        QVERIFY(clock.elapsed() >= 40);
        QVERIFY(!splash.isVisible());
    }

    void aboutTexts() {
        frmAbout about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Rallymark"));
        QCOMPARE(test::child<QLabel>(&about, "lblVersion")->text(), QStringLiteral("Version 3.0.0"));
        QCOMPARE(test::child<QLabel>(&about, "lblDescription")->text(),
                 QStringLiteral(
                     "Whether you are playing Quake, Unreal Tournament, Hexen, Heretic, Call of Duty, "
                     "Return to Castle Wolfenstein, Alien vs. Predator, Everquest, City of Heroes, Star "
                     "Wars Galaxies.. anything! Rallymark can help you schedule your guild's time!"));
        QVERIFY(!test::child<QLabel>(&about, "lblDisclaimer")->text().isEmpty());
        for (const char* name : {"imgLogo", "imgSysInfo", "imgButton1"}) {
            auto* b = test::child<QToolButton>(&about, QString::fromLatin1(name));
            QVERIFY(!b->toolTip().isEmpty());
            QVERIFY(!b->accessibleName().isEmpty());
        }
    }

    void aboutClosesOnlyThroughOK() {
        QList<QUrl> opened;
        SetDesktopOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        test::ModalDriver driver;
        driver.then([&](QDialog* d) {
            d->close();
            QVERIFY(d->isVisible());
            QTest::keyClick(d, Qt::Key_Escape);
            QVERIFY(d->isVisible());
            test::child<QToolButton>(d, "imgLogo")->click();
            emit test::child<QLabel>(d, "lblForums")->linkActivated(kMakerForumsAddress);
            test::child<QToolButton>(d, "imgButton1")->click();
            QVERIFY(!d->isVisible());
        });
        frmAbout about;
        QCOMPARE(RunModal(&about), int(QDialog::Accepted));
        QCOMPARE(opened, (QList<QUrl>{QUrl(kMakerSiteAddress), QUrl(kMakerForumsAddress)}));
        SetDesktopOpener({});
    }

    void systemInformation() {
        test::RecordingSink sink;
        QStringList started;
        bool startWorks = true;
        SetProgramStarter([&](const QString& program) {
            started << program;
            return startWorks;
        });
        {
            FakePath path({});
            frmAbout about;
            test::child<QToolButton>(&about, "imgSysInfo")->click();
            QVERIFY(started.isEmpty());
            QCOMPARE(sink.count(), 1);
            QCOMPARE(sink.last().text, QStringLiteral("System Information Is Unavailable At This Time"));
            QVERIFY(sink.last().standardBox);
        }
        {
            // The first program of the list that is there is the one started.
            FakePath path({QStringLiteral("gnome-system-monitor"), QStringLiteral("kinfocenter")});
            sink.clear();
            StartSystemInformation();
            QCOMPARE(started, QStringList{path.path(QStringLiteral("kinfocenter"))});
            QCOMPARE(sink.count(), 0);
            startWorks = false;
            StartSystemInformation();
            QCOMPARE(sink.count(), 1);
            QCOMPARE(sink.last().text, QStringLiteral("System Information Is Unavailable At This Time"));
        }
        SetProgramStarter({});
    }
};

QTEST_MAIN(SplashAboutTest)
#include "splashabout_test.moc"
