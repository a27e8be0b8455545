#include "app/About.h"
#include "support/TestKit.h"
#include "ui/DesktopServices.h"
#include "ui/Maintenance.h"

using namespace rm;

class SplashAboutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aboutClosesOnlyThroughOK() {
        QList<QUrl> opened;
        SetDesktopOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
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
        test::RecordingSink sink;
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
        QCOMPARE(sink.count(), 2);
        for (const auto& m : sink.messages)
            QVERIFY(m.standardBox &&
                    m.text == QLatin1String("System Information Is Unavailable At This Time"));
    }
};

QTEST_MAIN(SplashAboutTest)
#include "splashabout_test.moc"
