// Every window of the program finds its pictures, and every picture button says what it does.

#include "app/About.h"
#include "app/MainWindow.h"
#include "support/TestKit.h"
#include "ui/Maintenance.h"
#include "ui/MessageBox.h"
#include "ui/WindowRegistry.h"

using namespace rm;

class PicturesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyWindowHasItsPictures() {
        test::TestDatabase db;
        test::RecordingSink sink;
        RegisterAllWindows();
        QList<std::shared_ptr<QWidget>> windows{std::make_shared<frmMain>(), std::make_shared<frmAbout>(),
                                                std::make_shared<frmMessageBox>()};
        for (const QString& name : RegisteredTaskWindows())
            windows << std::shared_ptr<QWidget>(CreateTaskWindow(name));
        QVERIFY(windows.size() >= 10);
        for (const auto& w : windows) {
            QVERIFY(w);
            for (QToolButton* button :
                 w->findChildren<QToolButton*>(QRegularExpression(QStringLiteral("^(?!qt_).")))) {
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
        QCOMPARE(sink.count(), 0);
    }
};

QTEST_MAIN(PicturesTest)
#include "pictures_test.moc"
