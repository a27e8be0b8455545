#include "app/MainWindow.h"
#include "data/DesktopLayout.h"
#include "support/TestKit.h"
#include "ui/DesktopServices.h"
#include "ui/WindowRegistry.h"

using namespace rm;

namespace {

// Stands in for every task window; as the custom entries window it records the field it shows.
class DummyWindow : public QWidget, public CustomFieldWindow {
public:
    explicit DummyWindow(const QString& title) {
        setWindowTitle(title);
        resize(300, 200);
    }
    void showField(int n, const QString& caption) override {
        field = n;
        shownCaption = caption;
    }
    int field = 0;
    QString shownCaption;
};

// The entries that open a task window, from the menu and from the toolbar.
struct Entry {
    const char *menu, *button, *window;
};
const QList<Entry> kEntries{{"mnuPlayers", "tbrPlayers", "frmPlayers"},
                            {"mnuDivisions", "tbrDivisions", "frmDivisions"},
                            {"mnuTitles", "tbrTitles", "frmTitles"},
                            {"mnuGameList", "tbrGameList", "frmGames"},
                            {"mnuGenreType", "tbrGenreType", "frmGenresTypes"},
                            {"mnuConnections", "tbrConnections", "frmConnections"},
                            {"mnuTimeZones", "tbrTimeZones", "frmTimeZones"},
                            {"mnuScheduling", "tbrScheduling", "frmScheduling"},
                            {"mnuCommunications", "tbrCommunications", "frmCommCenter"}};

QStringList openWindows(const frmMain& m) {
    QStringList result;
    for (QMdiSubWindow* sub : m.mdiArea()->subWindowList(QMdiArea::CreationOrder))
        if (sub->widget() && sub->isVisibleTo(m.mdiArea()))
            result << sub->widget()->objectName();
    return result;
}

QAction* action(QObject* m, const char* name) {
    return test::child<QAction>(m, QString::fromLatin1(name));
}

QMdiSubWindow* sub(const frmMain& m, const char* name) {
    return m.findSubWindow(QString::fromLatin1(name));
}

DummyWindow* customDrops(const frmMain& m) {
    return static_cast<DummyWindow*>(sub(m, "frmCustomDrops")->widget());
}

// A main window after its first activation, which restores the saved desktop.
void activate(frmMain& m) {
    m.show();
    m.activationStep();
}

QVariant setting(const char* key) {
    return OpenSettings()->value(QString::fromLatin1(key));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    // Before any window is registered, the entries that would open one are disabled.
    void initTestCase() {
        frmMain m;
        for (const Entry& e : kEntries)
            QVERIFY2(!action(&m, e.menu)->isEnabled() && !action(&m, e.button)->isEnabled(), e.menu);
        for (const char* name : {"mnuOptions", "tbrOptions", "mnuCustomDrop1", "mnuNone"})
            QVERIFY2(!action(&m, name)->isEnabled(), name);
        for (const char* name :
             {"frmPlayers", "frmDivisions", "frmTitles", "frmGames", "frmGenresTypes", "frmConnections",
              "frmTimeZones", "frmScheduling", "frmCommCenter", "frmCustomDrops"})
            RegisterTaskWindow(QString::fromLatin1(name),
                               [name] { return new DummyWindow(QLatin1String(name + 3)); });
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
        m_dir.reset();
    }

    // Every entry opens its window inside the main window, once.
    void entriesOpenTheirWindows() {
        frmMain m;
        m.show();
        for (const bool toolbar : {false, true}) { // the toolbar brings the open windows forward
            for (const Entry& e : kEntries) {
                const char* name = toolbar ? e.button : e.menu;
                QVERIFY2(action(&m, name)->isEnabled(), name);
                action(&m, name)->trigger();
                QMdiSubWindow* active = m.mdiArea()->activeSubWindow();
                QVERIFY2(active && active->widget()->objectName() == QLatin1String(e.window), name);
            }
        }
        QCOMPARE(m.mdiArea()->subWindowList().size(), 9);
        // A minimised window comes back when chosen again.
        sub(m, "frmTitles")->showMinimized();
        action(&m, "mnuTitles")->trigger();
        QVERIFY(!sub(m, "frmTitles")->isMinimized());
        QCOMPARE(m.mdiArea()->activeSubWindow(), sub(m, "frmTitles"));

        // Options and About are modal.
        test::ModalDriver driver;
        driver.then([](QDialog* d) { d->reject(); });
        driver.then([](QDialog* d) { d->reject(); });
        driver.then([](QDialog* d) { test::ClickOK(d); });
        for (const char* name : {"mnuOptions", "tbrOptions", "mnuAbout"})
            action(&m, name)->trigger();
        QCOMPARE(driver.shown, (QStringList{"frmOptions", "frmOptions", "frmAbout"}));
        QVERIFY(driver.unexpected.isEmpty());

        // Exit closes every task window with the main window.
        action(&m, "tbrExit")->trigger();
        QVERIFY(!m.isVisible());
        QVERIFY(openWindows(m).isEmpty());
    }

    void switchMenuListsOpenWindows() {
        frmMain m;
        m.show();
        auto* menu = test::child<QMenu>(&m, "mnuSwitch");
        const auto entries = [&] {
            m.refreshSwitchMenu();
            QStringList texts;
            for (QAction* a : menu->actions())
                texts << a->text() + (a->isChecked() ? QStringLiteral("*") : QString());
            return texts;
        };
        QCOMPARE(entries().size(), 1);
        QVERIFY(!menu->actions().first()->isEnabled()); // nothing open
        m.showTaskWindow(QStringLiteral("frmPlayers"));
        m.showTaskWindow(QStringLiteral("frmDivisions"));
        QCOMPARE(entries(), (QStringList{"&1 Players", "&2 Divisions*"}));
        menu->actions().at(0)->trigger();
        QCOMPARE(m.mdiArea()->activeSubWindow(), sub(m, "frmPlayers"));
        sub(m, "frmPlayers")->close();
        QTRY_COMPARE(m.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(entries(), QStringList{QStringLiteral("&1 Divisions*")});
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
            "'Ranks & Roles', Options_Custom4_Drop_Enabled = 1, Options_Custom4_Drop_Title = "
            "'Squad'"));
        LoadOptions();
        QCOMPARE(shown(), QStringLiteral("|Ranks && Roles||Squad|"));
        action(&m, "mnuCustomDrop2")->trigger();
        QCOMPARE(customDrops(m)->field, 2);
        QCOMPARE(customDrops(m)->shownCaption, QStringLiteral("Ranks & Roles"));
        action(&m, "mnuCustomDrop4")->trigger();
        QCOMPARE(customDrops(m)->field, 4);
        QCOMPARE(m.mdiArea()->subWindowList().size(), 1);

        db.exec(QStringLiteral(
            "Update Options Set Options_Custom2_Drop_Enabled = 0, Options_Custom4_Drop_Enabled = 0"));
        LoadOptions();
        QCOMPARE(shown(), QStringLiteral("||||None Available"));
    }

    // Help asks the desktop for the guide's page, whether or not it is there or can be shown, and
    // says nothing.
    void helpOpensTheUserGuide() {
        QList<QUrl> opened;
        SetDesktopOpener([&](const QUrl& url) {
            opened << url;
            return QFile::exists(url.toLocalFile()); // shown or not, nothing is said
        });
        test::RecordingSink sink;
        frmMain m;
        const QString page = QDir(m_dir->path()).filePath(QStringLiteral("Help/index.html"));
        action(&m, "tbrHelp")->trigger(); // no guide in this folder
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("Help")));
        QVERIFY(QFile(page).open(QIODevice::WriteOnly));
        action(&m, "mnuHelp")->trigger();
        QCOMPARE(opened, QList<QUrl>(2, QUrl::fromLocalFile(page)));
        QCOMPARE(sink.count(), 0);
    }

    // The desktop keeps the visible windows in order, in twips; a later save replaces the earlier
    // one, and only the first activation restores it.
    void saveAndRestoreDesktop() {
        {
            frmMain m;
            activate(m);
            QVERIFY(openWindows(m).isEmpty()); // nothing saved yet
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
        }
        const double dpiX = frmMain().logicalDpiX(), dpiY = frmMain().logicalDpiY();
        QCOMPARE(LoadDesktop().size(), 2);
        QCOMPARE(setting("1ScreenName").toString() + setting("2ScreenName").toString(),
                 QStringLiteral("frmGamesfrmScheduling"));
        QCOMPARE(QStringList({setting("2ScreenLeft").toString(), setting("2ScreenTop").toString(),
                              setting("2ScreenWidth").toString(), setting("2ScreenHeight").toString()}),
                 QStringList({QString::number(RoundHalfEven(40 * 1440 / dpiX)),
                              QString::number(RoundHalfEven(30 * 1440 / dpiY)),
                              QString::number(RoundHalfEven(420 * 1440 / dpiX)),
                              QString::number(RoundHalfEven(310 * 1440 / dpiY))}));
        for (const char* key : {"3ScreenName", "3ScreenTop", "3ScreenLeft", "3ScreenHeight", "3ScreenWidth",
                                "4ScreenName", "5ScreenName"})
            QVERIFY2(!setting(key).isValid(), key);

        frmMain m;
        activate(m);
        QCOMPARE(openWindows(m), (QStringList{"frmGames", "frmScheduling"}));
        QCOMPARE(sub(m, "frmScheduling")->geometry(), QRect(40, 30, 420, 310));
        QCOMPARE(sub(m, "frmGames")->geometry(), QRect(100, 60, 350, 280));
        sub(m, "frmGames")->close();
        QTRY_COMPARE(openWindows(m), QStringList{QStringLiteral("frmScheduling")});
        m.activationStep();
        QCOMPARE(openWindows(m), QStringList{QStringLiteral("frmScheduling")});
    }

    // Restoring stops at the first gap and skips unknown names; a reset clears the saved windows,
    // also those restoring skipped, but keeps the open windows and the toolbar setting.
    void restoreResetAndToolbar() {
        SaveWindowPlacement(1, {QStringLiteral("frmMaintainPlayer"), 0, 0, 3000, 3000});
        SaveWindowPlacement(2, {QStringLiteral("frmTitles"), 150, 300, 4500, 3000});
        SaveWindowPlacement(4, {QStringLiteral("frmGames"), 0, 0, 3000, 3000});
        OpenSettings()->setValue(QStringLiteral("2ScreenWidth"), QStringLiteral("junk")); // counts as 0
        {
            frmMain m;
            activate(m);
            QCOMPARE(openWindows(m), QStringList{QStringLiteral("frmTitles")});
            QCOMPARE(sub(m, "frmTitles")->geometry().left(), FromTwipsX(300, &m));
            QVERIFY(m.toolbarFlag() && !m.toolBar()->isHidden()); // no value counts as shown
            action(&m, "mnuShowToolbar")->trigger();
            QVERIFY(m.toolBar()->isHidden() && !action(&m, "mnuShowToolbar")->isChecked());
            action(&m, "mnuResetDesktop")->trigger();
            QVERIFY(!setting("1ScreenName").isValid() && !setting("2ScreenTop").isValid());
            QCOMPARE(openWindows(m), QStringList{QStringLiteral("frmTitles")});
        }
        QCOMPARE(setting("ShowToolBar").toString(), QStringLiteral("False"));
        frmMain m;
        activate(m);
        QVERIFY(openWindows(m).isEmpty());
        QVERIFY(m.toolBar()->isHidden() && !action(&m, "mnuShowToolbar")->isChecked());
        action(&m, "mnuShowToolbar")->trigger();
        QCOMPARE(setting("ShowToolBar").toString(), QStringLiteral("True"));
        QVERIFY(!m.toolBar()->isHidden());
    }

    // The custom entries window comes back with the first enabled pick-list field, or not at all.
    void restoredCustomEntriesWindow() {
        SaveWindowPlacement(1, {QStringLiteral("frmCustomDrops"), 0, 0, 4000, 3000});
        SaveWindowPlacement(2, {QStringLiteral("frmPlayers"), 0, 0, 4000, 3000});
        {
            frmMain m;
            activate(m);
            QCOMPARE(openWindows(m), QStringList{QStringLiteral("frmPlayers")});
        }
        CurrentOptions().CustomDropEnabled = {false, false, true, true};
        CurrentOptions().CustomDropTitle = {"A", "B", "Platform", "Region"};
        frmMain m;
        activate(m);
        QCOMPARE(openWindows(m), (QStringList{"frmCustomDrops", "frmPlayers"}));
        QCOMPARE(customDrops(m)->field, 3);
        QCOMPARE(customDrops(m)->shownCaption, QStringLiteral("Platform"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
