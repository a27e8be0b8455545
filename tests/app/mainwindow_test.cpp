#include "app/MainWindow.h"
#include "data/DesktopLayout.h"
#include "support/TestKit.h"
#include "ui/DesktopServices.h"
#include "ui/Maintenance.h"
#include "ui/WindowRegistry.h"

using namespace rm;

namespace {

// Stands in for every task window; as the custom entries window it records the field it shows.
class DummyWindow : public QWidget, public CustomFieldWindow {
public:
    explicit DummyWindow(const QString& title) { setWindowTitle(title); }
    void showField(int n, const QString& caption) override { shown = QString::number(n) + caption; }
    QString shown;
};

// The entries that open a task window: the menu entry and toolbar button end in the key, the window
// in the value.
const QStringList kEntries =
    QStringLiteral("Players=Players Divisions=Divisions Titles=Titles GameList=Games "
                   "GenreType=GenresTypes Connections=Connections TimeZones=TimeZones "
                   "Scheduling=Scheduling Communications=CommCenter")
        .split(QLatin1Char(' '));

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    static QAction* action(QObject* m, const QString& name) { return test::child<QAction>(m, name); }
    static QMdiSubWindow* sub(const frmMain& m, const QString& name) { return m.findSubWindow(name); }
    static QVariant setting(const QString& key) { return OpenSettings()->value(key); }
    static QString customShown(const frmMain& m) {
        return static_cast<DummyWindow*>(sub(m, "frmCustomDrops")->widget())->shown;
    }
    static QStringList openWindows(const frmMain& m) {
        QStringList result;
        for (QMdiSubWindow* sub : m.mdiArea()->subWindowList(QMdiArea::CreationOrder))
            if (sub->widget() && sub->isVisibleTo(m.mdiArea()))
                result << sub->widget()->objectName();
        return result;
    }
    // A main window after its first activation, which restores the saved desktop.
    static void activate(frmMain& m) { m.show(), m.activationStep(); }

private Q_SLOTS:
    void initTestCase() {
        for (const QString& e : kEntries + QStringList{"=CustomDrops"}) {
            const QString window = e.section('=', 1);
            RegisterTaskWindow("frm" + window, [window] { return new DummyWindow(window); });
        }
        RegisterModalDialog(QStringLiteral("frmOptions"),
                            [](QWidget* parent) { return new QDialog(parent); });
    }

    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        SetSettingsFile(QDir(m_dir->path()).filePath(QStringLiteral("settings.ini")));
        SetApplicationFolder(m_dir->path());
        CurrentOptions() = OptionsRecord{};
    }
    void cleanup() {
        SetSettingsFile(QString());
        SetApplicationFolder(QString());
        SetDesktopOpener({});
    }

    // Every entry opens its window once; the Switch menu lists the open ones; Help asks the desktop
    // for the guide and says nothing even when it cannot be shown; Exit closes every window.
    void entriesOpenTheirWindows() {
        QList<QUrl> opened;
        SetDesktopOpener([&](const QUrl& url) { return opened << url, false; });
        test::RecordingSink sink;
        frmMain m;
        m.show();
        auto* menu = test::child<QMenu>(&m, "mnuSwitch");
        const auto switchEntries = [&] {
            m.refreshSwitchMenu();
            QStringList texts;
            for (QAction* a : menu->actions())
                texts << a->text() + (a->isChecked() ? QStringLiteral("*") : QString());
            return texts;
        };
        QVERIFY(!menu->actions().first()->isEnabled()); // nothing open
        action(&m, "mnuPlayers")->trigger();
        action(&m, "tbrDivisions")->trigger();
        QCOMPARE(switchEntries(), (QStringList{"&1 Players", "&2 Divisions*"}));
        menu->actions().at(0)->trigger();
        QCOMPARE(m.mdiArea()->activeSubWindow(), sub(m, "frmPlayers"));
        sub(m, "frmPlayers")->close();
        QTRY_COMPARE(switchEntries(), QStringList{QStringLiteral("&1 Divisions*")});

        for (const bool toolbar : {false, true}) { // the toolbar brings the open windows forward
            for (const QString& e : kEntries) {
                action(&m, (toolbar ? "tbr" : "mnu") + e.section('=', 0, 0))->trigger();
                QMdiSubWindow* active = m.mdiArea()->activeSubWindow();
                QVERIFY2(active && active->widget()->objectName() == "frm" + e.section('=', 1),
                         qPrintable(e));
            }
        }
        QCOMPARE(m.mdiArea()->subWindowList().size(), 9);
        sub(m, "frmTitles")->showMinimized(); // comes back when chosen again
        action(&m, "mnuTitles")->trigger();
        QVERIFY(!sub(m, "frmTitles")->isMinimized() && m.mdiArea()->activeSubWindow() == sub(m, "frmTitles"));

        test::ModalDriver driver; // Options and About are modal
        driver.then([](QDialog* d) { d->reject(); });
        driver.then([](QDialog* d) { test::ClickOK(d); });
        for (const char* name : {"tbrOptions", "mnuAbout", "tbrHelp", "mnuHelp"})
            action(&m, name)->trigger();
        QCOMPARE(driver.shown, (QStringList{"frmOptions", "frmAbout"}));
        QCOMPARE(opened, QList<QUrl>(2, QUrl::fromLocalFile(m_dir->path() + "/Help/index.html")));
        QCOMPARE(sink.count(), 0);
        action(&m, "tbrExit")->trigger();
        QVERIFY(!m.isVisible() && openWindows(m).isEmpty());
    }

    // The Custom Fields entries follow the Options record whenever it is loaded.
    void customFieldsMenu() {
        test::TestDatabase db;
        frmMain m;
        m.show();
        const auto shown = [&] {
            QStringList texts;
            for (const char* name :
                 {"mnuCustomDrop1", "mnuCustomDrop2", "mnuCustomDrop3", "mnuCustomDrop4", "mnuNone"})
                texts << (action(&m, name)->isVisible() ? action(&m, name)->text() : QString());
            return texts.join(QLatin1Char('|'));
        };
        QCOMPARE(shown(), QStringLiteral("||||None Available"));
        db.exec(QStringLiteral(
            "Update Options Set Options_Custom2_Drop_Enabled = 1, Options_Custom2_Drop_Title = "
            "'Ranks & Roles', Options_Custom4_Drop_Enabled = 1, Options_Custom4_Drop_Title = 'Squad'"));
        LoadOptions();
        QCOMPARE(shown(), QStringLiteral("|Ranks && Roles||Squad|"));
        action(&m, "mnuCustomDrop2")->trigger();
        QCOMPARE(customShown(m), QStringLiteral("2Ranks & Roles"));
        action(&m, "mnuCustomDrop4")->trigger();
        QVERIFY(customShown(m) == QLatin1String("4Squad") && m.mdiArea()->subWindowList().size() == 1);
    }

    // The desktop keeps the main window's place and the visible windows in order, in twips; a later save
    // replaces the earlier one, and only the first activation restores it.
    void saveAndRestoreDesktop() {
        {
            frmMain m;
            activate(m);
            m.setGeometry(70, 50, 1000, 700);
            for (const char* name : {"frmPlayers", "frmDivisions", "frmTitles", "frmGames", "frmTimeZones"})
                m.showTaskWindow(QString::fromLatin1(name));
            action(&m, "mnuSaveDesktop")->trigger();
            QCOMPARE(setting("5ScreenName").toString(), QStringLiteral("frmTimeZones"));
            sub(m, "frmPlayers")->close();
            sub(m, "frmDivisions")->showMinimized();
            sub(m, "frmTitles")->hide();
            sub(m, "frmTimeZones")->close();
            m.showTaskWindow(QStringLiteral("frmScheduling"))->parentWidget()->setGeometry(40, 30, 420, 310);
            sub(m, "frmGames")->setGeometry(100, 60, 350, 280);
            action(&m, "mnuSaveDesktop")->trigger();
            QCOMPARE(m.statusBar()->currentMessage(),
                     QStringLiteral("Desktop saved: the main window and 2 windows"));
        }
        QCOMPARE(setting("2ScreenWidth").toInt(),
                 RoundHalfEven(420 * 1440 / double(frmMain().logicalDpiX())));
        QVERIFY(!setting("3ScreenName").isValid() && !setting("3ScreenTop").isValid() &&
                !setting("5ScreenName").isValid());

        frmMain m;
        activate(m);
        QCOMPARE(m.geometry(), QRect(70, 50, 1000, 700));
        QCOMPARE(openWindows(m), (QStringList{"frmGames", "frmScheduling"}));
        QCOMPARE(sub(m, "frmScheduling")->geometry(), QRect(40, 30, 420, 310));
        QCOMPARE(sub(m, "frmGames")->geometry(), QRect(100, 60, 350, 280));
        sub(m, "frmGames")->close();
        QTRY_COMPARE(openWindows(m), QStringList{QStringLiteral("frmScheduling")});
        m.activationStep();
        QCOMPARE(openWindows(m), QStringList{QStringLiteral("frmScheduling")});

        // A maximised main window comes back maximised.
        m.showMaximized();
        action(&m, "mnuSaveDesktop")->trigger();
        frmMain again;
        activate(again);
        QVERIFY(again.isMaximized());
    }

    // Restoring stops at the first gap and skips unknown names, and the custom entries window without
    // an enabled pick-list field; a reset clears the saved windows, also those restoring skipped, but
    // keeps the open windows and the toolbar setting. Then the custom entries window comes back with
    // the first enabled field.
    void restoreResetAndToolbar() {
        const QStringList saved{"frmMaintainPlayer", "frmTitles", "frmCustomDrops",
                                "frmPlayers",        "",          "frmGames"};
        for (int n = 0; n < saved.size(); ++n) // the empty name is a gap
            if (!saved[n].isEmpty())
                SaveWindowPlacement(n + 1, {saved[n], 150, 300, 4500, 3000});
        OpenSettings()->setValue(QStringLiteral("2ScreenWidth"), QStringLiteral("junk")); // counts as 0
        {
            frmMain m;
            activate(m);
            QCOMPARE(openWindows(m), (QStringList{"frmTitles", "frmPlayers"}));
            QCOMPARE(sub(m, "frmTitles")->geometry().left(), TwipsToPixels(300, &m));
            QVERIFY(!m.toolBar()->isHidden()); // no value counts as shown
            action(&m, "mnuShowToolbar")->trigger();
            action(&m, "mnuResetDesktop")->trigger();
            QVERIFY(!setting("1ScreenName").isValid() && !setting("2ScreenTop").isValid());
            QCOMPARE(openWindows(m), (QStringList{"frmTitles", "frmPlayers"}));
        }
        frmMain m;
        activate(m);
        QVERIFY(m.toolBar()->isHidden() && !action(&m, "mnuShowToolbar")->isChecked());
        action(&m, "mnuShowToolbar")->trigger();
        QCOMPARE(setting("ShowToolBar").toString(), QStringLiteral("True"));

        SaveWindowPlacement(1, {QStringLiteral("frmCustomDrops"), 0, 0, 4000, 3000});
        CurrentOptions().CustomDropEnabled = {false, false, true, true};
        CurrentOptions().CustomDropTitle = {"A", "B", "Platform", "Region"};
        frmMain restored;
        activate(restored);
        QCOMPARE(customShown(restored), QStringLiteral("3Platform"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
