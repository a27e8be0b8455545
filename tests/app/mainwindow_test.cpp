#include "app/MainWindow.h"
#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/DesktopLayout.h"
#include "data/Options.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"
#include "ui/DesktopServices.h"
#include "ui/WindowRegistry.h"

#include <QAction>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace rm;

namespace {

class DummyWindow : public QWidget {
public:
    explicit DummyWindow(const QString& title) {
        setWindowTitle(title);
        resize(300, 200);
    }
};

class DummyCustomDrops : public DummyWindow, public CustomFieldWindow {
public:
    DummyCustomDrops() : DummyWindow(QStringLiteral("Custom Entries")) {}
    void showField(int n, const QString& caption) override {
        field = n;
        shownCaption = caption;
    }
    int field = 0;
    QString shownCaption;
};

// The entries that open a task window, from the menu and from the toolbar.
struct Entry {
    const char *menu, *button, *caption, *window;
};
const QList<Entry> kEntries{{"mnuPlayers", "tbrPlayers", "Players", "frmPlayers"},
                            {"mnuDivisions", "tbrDivisions", "Divisions", "frmDivisions"},
                            {"mnuTitles", "tbrTitles", "Division Titles", "frmTitles"},
                            {"mnuGameList", "tbrGameList", "Games List", "frmGames"},
                            {"mnuGenreType", "tbrGenreType", "Genres && Types", "frmGenresTypes"},
                            {"mnuConnections", "tbrConnections", "Connections", "frmConnections"},
                            {"mnuTimeZones", "tbrTimeZones", "Time Zones", "frmTimeZones"},
                            {"mnuScheduling", "tbrScheduling", "Scheduling", "frmScheduling"},
                            {"mnuCommunications", "tbrCommunications", "Communications", "frmCommCenter"}};
const QList<QPair<const char*, const char*>> kCaptions{{"mnuExit", "E&xit"},
                                                       {"mnuOptions", "Rallymark Options"},
                                                       {"mnuSaveDesktop", "Save Desktop"},
                                                       {"mnuResetDesktop", "Reset Desktop"},
                                                       {"mnuShowToolbar", "Show Toolbar"},
                                                       {"mnuHelp", "Help"},
                                                       {"mnuAbout", "About"},
                                                       {"mnuNone", "None Available"}};

QStringList names(const QList<QAction*>& actions) {
    QStringList result;
    for (QAction* a : actions)
        result << (a->menu() ? a->menu()->objectName() : a->objectName());
    return result;
}

QStringList openWindows(const frmMain& m) {
    QStringList result;
    for (QMdiSubWindow* sub : m.mdiArea()->subWindowList(QMdiArea::CreationOrder))
        if (sub->widget() && sub->isVisibleTo(m.mdiArea()))
            result << sub->widget()->objectName();
    return result;
}

QAction* action(QObject* m, const QString& name) {
    return test::child<QAction>(m, name);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QVariant setting(const QString& key) { return OpenSettings()->value(key); }

private Q_SLOTS:
    // Before any window is registered, the entries that would open one are disabled.
    void initTestCase() {
        frmMain m;
        for (const Entry& e : kEntries) {
            QVERIFY2(!action(&m, e.menu)->isEnabled(), e.menu);
            QVERIFY2(!action(&m, e.button)->isEnabled(), e.button);
        }
        for (const char* name : {"mnuOptions", "tbrOptions", "mnuCustomDrop1"})
            QVERIFY2(!action(&m, QString::fromLatin1(name))->isEnabled(), name);
        for (const char* name : {"mnuExit", "mnuSaveDesktop", "mnuResetDesktop", "mnuShowToolbar", "mnuHelp",
                                 "mnuAbout", "tbrHelp", "tbrExit"})
            QVERIFY2(action(&m, QString::fromLatin1(name))->isEnabled(), name);

        for (const Entry& e : kEntries) {
            const QString name = QString::fromLatin1(e.window);
            RegisterTaskWindow(name, [name] { return new DummyWindow(name.mid(3)); });
        }
        RegisterTaskWindow(QStringLiteral("frmCustomDrops"), [] { return new DummyCustomDrops; });
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

    void menuBarLayout() {
        frmMain m;
        QCOMPARE(m.windowTitle(), QStringLiteral("Rallymark"));
        QStringList menus;
        for (QAction* a : m.menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList{"File", "View", "Switch", "Tasks", "Other"}));

        QCOMPARE(names(test::child<QMenu>(&m, "mnuFile")->actions()),
                 (QStringList{"mnuImportPlayers", "mnuExportPlayers", "mnuSep1", "mnuExit"}));
        QVERIFY(action(&m, "mnuSep1")->isSeparator());
        QCOMPARE(names(test::child<QMenu>(&m, "mnuView")->actions()),
                 (QStringList{"mnuPlayers", "mnuDivisions", "mnuTitles", "mnuGameList", "mnuGenreType",
                              "mnuCustomFields", "mnuConnections", "mnuTimeZones"}));
        QCOMPARE(
            names(test::child<QMenu>(&m, "mnuCustomFields")->actions()),
            (QStringList{"mnuCustomDrop1", "mnuCustomDrop2", "mnuCustomDrop3", "mnuCustomDrop4", "mnuNone"}));
        QCOMPARE(names(test::child<QMenu>(&m, "mnuTasks")->actions()),
                 (QStringList{"mnuScheduling", "mnuCommunications"}));
        QCOMPARE(names(test::child<QMenu>(&m, "mnuOther")->actions()),
                 (QStringList{"mnuOptions", "mnuSep2", "mnuSaveDesktop", "mnuResetDesktop", "mnuShowToolbar",
                              "mnuSep3", "mnuHelp", "mnuAbout"}));
        for (const auto& [name, caption] : kCaptions)
            QCOMPARE(action(&m, name)->text(), QString::fromLatin1(caption));
        for (const Entry& e : kEntries)
            QCOMPARE(action(&m, e.menu)->text(), QString::fromLatin1(e.caption));
        QCOMPARE(action(&m, "mnuHelp")->shortcut(), QKeySequence(Qt::Key_F1));
        QVERIFY(action(&m, "mnuShowToolbar")->isCheckable());
        QVERIFY(!action(&m, "mnuNone")->isEnabled());
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
        m.findSubWindow(QStringLiteral("frmTitles"))->showMinimized();
        action(&m, "mnuTitles")->trigger();
        QVERIFY(!m.findSubWindow(QStringLiteral("frmTitles"))->isMinimized());
        QCOMPARE(m.mdiArea()->activeSubWindow(), m.findSubWindow(QStringLiteral("frmTitles")));

        // Options and About are modal.
        test::ModalDriver driver;
        driver.then([](QDialog* d) { d->reject(); });
        driver.then([](QDialog* d) { d->reject(); });
        driver.then([](QDialog* d) { test::child<QToolButton>(d, "imgButton1")->click(); });
        action(&m, "mnuOptions")->trigger();
        action(&m, "tbrOptions")->trigger();
        action(&m, "mnuAbout")->trigger();
        QCOMPARE(driver.shown, (QStringList{"frmOptions", "frmOptions", "frmAbout"}));
        QVERIFY(driver.unexpected.isEmpty());

        // Exit closes every task window with the main window.
        action(&m, "tbrExit")->trigger();
        QVERIFY(!m.isVisible());
        QVERIFY(openWindows(m).isEmpty());
    }

    void toolbarPositions() {
        frmMain m;
        const QStringList texts =
            QStringLiteral("View Players|Import Players|-|Show Divisions|Division Titles|-|Games List|"
                           "Genres & Types|Connections|Time Zones|-|Scheduling|"
                           "Email & HTML|-|Options|Help|-|Exit")
                .split(QLatin1Char('|'));
        const QList<QAction*> actions = m.toolBar()->actions();
        QCOMPARE(actions.size(), texts.size());
        for (int i = 0; i < actions.size(); ++i) {
            QAction* a = actions.at(i);
            if (texts.at(i) == QLatin1String("-")) {
                QVERIFY2(a->isSeparator(), qPrintable(QString::number(i + 1)));
                continue;
            }
            auto* button = qobject_cast<QToolButton*>(m.toolBar()->widgetForAction(a));
            QVERIFY(button);
            QCOMPARE(button->text().replace(QLatin1String("&&"), QLatin1String("&")), texts.at(i));
            QVERIFY(!a->icon().isNull());
            QVERIFY(!a->toolTip().isEmpty());
            QVERIFY(!button->accessibleName().isEmpty());
        }
    }

    void switchMenuListsOpenWindows() {
        frmMain m;
        m.show();
        auto* menu = test::child<QMenu>(&m, "mnuSwitch");
        m.refreshSwitchMenu();
        QCOMPARE(menu->actions().size(), 1);
        QVERIFY(!menu->actions().first()->isEnabled()); // nothing open
        m.showTaskWindow(QStringLiteral("frmPlayers"));
        m.showTaskWindow(QStringLiteral("frmDivisions"));
        m.refreshSwitchMenu();
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("&1 Players"));
        QVERIFY(menu->actions().at(1)->isChecked());
        menu->actions().at(0)->trigger();
        QCOMPARE(m.mdiArea()->activeSubWindow()->widget()->objectName(), QStringLiteral("frmPlayers"));
        m.findSubWindow(QStringLiteral("frmPlayers"))->close();
        QTRY_COMPARE(m.mdiArea()->subWindowList().size(), 1);
        m.refreshSwitchMenu();
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("&1 Divisions"));
    }

    // The Custom Fields entries follow the Options record whenever it is loaded.
    void customFieldsMenu() {
        test::TestDatabase db;
        frmMain m;
        m.show();
        QVERIFY(action(&m, "mnuNone")->isVisible());
        Db().execute(
            QStringLiteral("Update Options Set Options_Custom2_Drop_Enabled = 1, "
                           "Options_Custom2_Drop_Title = 'Ranks & Roles', Options_Custom4_Drop_Enabled = 1, "
                           "Options_Custom4_Drop_Title = 'Squad'"));
        LoadOptions();
        QCOMPARE(action(&m, "mnuCustomDrop1")->isVisible(), false);
        QCOMPARE(action(&m, "mnuCustomDrop2")->isVisible(), true);
        QCOMPARE(action(&m, "mnuCustomDrop2")->text(), QStringLiteral("Ranks && Roles"));
        QCOMPARE(action(&m, "mnuCustomDrop3")->isVisible(), false);
        QCOMPARE(action(&m, "mnuCustomDrop4")->text(), QStringLiteral("Squad"));
        QCOMPARE(action(&m, "mnuNone")->isVisible(), false);

        action(&m, "mnuCustomDrop2")->trigger();
        auto* custom =
            dynamic_cast<DummyCustomDrops*>(m.findSubWindow(QStringLiteral("frmCustomDrops"))->widget());
        QVERIFY(custom);
        QCOMPARE(custom->field, 2);
        QCOMPARE(custom->shownCaption, QStringLiteral("Ranks & Roles"));
        action(&m, "mnuCustomDrop4")->trigger();
        QCOMPARE(custom->field, 4);
        QCOMPARE(m.mdiArea()->subWindowList().size(), 1);

        Db().execute(QStringLiteral(
            "Update Options Set Options_Custom2_Drop_Enabled = 0, Options_Custom4_Drop_Enabled = 0"));
        LoadOptions();
        QVERIFY(!action(&m, "mnuCustomDrop2")->isVisible());
        QVERIFY(!action(&m, "mnuCustomDrop4")->isVisible());
        QVERIFY(action(&m, "mnuNone")->isVisible());
    }

    void helpOpensTheUserGuide() {
        QList<QUrl> opened;
        SetDesktopOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        test::RecordingSink sink;
        frmMain m;
        const QString page = QDir(m_dir->path()).filePath(QStringLiteral("Help/index.html"));
        action(&m, "tbrHelp")->trigger(); // no guide in this folder: the page is asked for, nothing is said
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(page)});
        QCOMPARE(sink.count(), 0);

        QDir(m_dir->path()).mkdir(QStringLiteral("Help"));
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        SetDesktopOpener([&](const QUrl& url) {
            opened << url;
            return false; // no program to show it: still no message
        });
        action(&m, "tbrHelp")->trigger();
        action(&m, "mnuHelp")->trigger();
        QCOMPARE(opened, (QList<QUrl>{QUrl::fromLocalFile(page), QUrl::fromLocalFile(page),
                                      QUrl::fromLocalFile(page)}));
        QCOMPARE(sink.count(), 0);
    }

    void saveAndRestoreDesktop() {
        {
            frmMain m;
            m.show();
            m.activationStep();
            QVERIFY(openWindows(m).isEmpty()); // nothing saved yet
            m.showTaskWindow(QStringLiteral("frmScheduling"))->parentWidget()->setGeometry(40, 30, 420, 310);
            m.showTaskWindow(QStringLiteral("frmPlayers"))->parentWidget()->setGeometry(100, 60, 350, 280);
            action(&m, "mnuSaveDesktop")->trigger();
        }
        const double dpiX = frmMain().logicalDpiX(), dpiY = frmMain().logicalDpiY();
        QCOMPARE(setting("1ScreenName").toString(), QStringLiteral("frmScheduling"));
        QCOMPARE(setting("1ScreenLeft").toString(), QString::number(RoundHalfEven(40 * 1440 / dpiX)));
        QCOMPARE(setting("1ScreenTop").toString(), QString::number(RoundHalfEven(30 * 1440 / dpiY)));
        QCOMPARE(setting("1ScreenWidth").toString(), QString::number(RoundHalfEven(420 * 1440 / dpiX)));
        QCOMPARE(setting("1ScreenHeight").toString(), QString::number(RoundHalfEven(310 * 1440 / dpiY)));
        QCOMPARE(setting("2ScreenName").toString(), QStringLiteral("frmPlayers"));
        QVERIFY(!setting("3ScreenName").isValid());

        frmMain m;
        m.show();
        m.activationStep();
        QCOMPARE(openWindows(m), (QStringList{"frmScheduling", "frmPlayers"}));
        QCOMPARE(m.findSubWindow(QStringLiteral("frmScheduling"))->geometry(), QRect(40, 30, 420, 310));
        QCOMPARE(m.findSubWindow(QStringLiteral("frmPlayers"))->geometry(), QRect(100, 60, 350, 280));
        // Only the first activation restores.
        m.findSubWindow(QStringLiteral("frmPlayers"))->close();
        QTRY_COMPARE(openWindows(m), QStringList{QStringLiteral("frmScheduling")});
        m.activationStep();
        QCOMPARE(openWindows(m), QStringList{QStringLiteral("frmScheduling")});
    }

    void savingLeavesOutMinimisedAndHiddenWindowsAndReplacesTheLastSave() {
        frmMain m;
        m.show();
        for (const char* name : {"frmPlayers", "frmDivisions", "frmTitles", "frmGames", "frmTimeZones"})
            m.showTaskWindow(QString::fromLatin1(name));
        action(&m, "mnuSaveDesktop")->trigger();
        QCOMPARE(setting("5ScreenName").toString(), QStringLiteral("frmTimeZones"));

        m.findSubWindow(QStringLiteral("frmDivisions"))->showMinimized();
        m.findSubWindow(QStringLiteral("frmTitles"))->hide();
        m.findSubWindow(QStringLiteral("frmTimeZones"))->close();
        action(&m, "mnuSaveDesktop")->trigger();
        QCOMPARE(LoadDesktop().size(), 2);
        QCOMPARE(setting("1ScreenName").toString(), QStringLiteral("frmPlayers"));
        QCOMPARE(setting("2ScreenName").toString(), QStringLiteral("frmGames"));
        for (const char* key : {"3ScreenName", "3ScreenTop", "3ScreenLeft", "3ScreenHeight", "3ScreenWidth",
                                "4ScreenName", "5ScreenName"})
            QVERIFY2(!setting(QString::fromLatin1(key)).isValid(), key);
    }

    void restoreStopsAtTheFirstGapAndSkipsUnknownNames() {
        SaveWindowPlacement(1, {QStringLiteral("frmMaintainPlayer"), 0, 0, 3000, 3000});
        SaveWindowPlacement(2, {QStringLiteral("frmTitles"), 150, 300, 4500, 3000});
        SaveWindowPlacement(4, {QStringLiteral("frmGames"), 0, 0, 3000, 3000});
        OpenSettings()->setValue(QStringLiteral("2ScreenWidth"), QStringLiteral("junk")); // counts as 0
        frmMain m;
        m.show();
        m.activationStep();
        QCOMPARE(openWindows(m), QStringList{QStringLiteral("frmTitles")});
        QCOMPARE(m.findSubWindow(QStringLiteral("frmTitles"))->geometry().left(), FromTwipsX(300, &m));

        // A reset clears the whole desktop, also beyond the gap it stops at.
        action(&m, "mnuResetDesktop")->trigger();
        QVERIFY(!setting("1ScreenName").isValid());
        QVERIFY(!setting("2ScreenTop").isValid());
        QCOMPARE(openWindows(m), QStringList{QStringLiteral("frmTitles")}); // open windows stay
    }

    void toolbarSettingSurvivesAReset() {
        {
            frmMain m;
            m.show();
            m.activationStep();
            QVERIFY(m.toolbarFlag()); // no value counts as shown
            QVERIFY(!m.toolBar()->isHidden());
            m.showTaskWindow(QStringLiteral("frmPlayers"));
            action(&m, "mnuSaveDesktop")->trigger();
            action(&m, "mnuShowToolbar")->trigger();
            QVERIFY(m.toolBar()->isHidden());
            QVERIFY(!action(&m, "mnuShowToolbar")->isChecked());
            QCOMPARE(setting("ShowToolBar").toString(), QStringLiteral("False"));
            action(&m, "mnuResetDesktop")->trigger();
        }
        QCOMPARE(setting("ShowToolBar").toString(), QStringLiteral("False"));
        frmMain m;
        m.show();
        m.activationStep();
        QVERIFY(openWindows(m).isEmpty());
        QVERIFY(m.toolBar()->isHidden());
        QVERIFY(!action(&m, "mnuShowToolbar")->isChecked());
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
            m.show();
            m.activationStep();
            QCOMPARE(openWindows(m), QStringList{QStringLiteral("frmPlayers")});
        }
        CurrentOptions().CustomDropEnabled = {false, false, true, true};
        CurrentOptions().CustomDropTitle = {"A", "B", "Platform", "Region"};
        frmMain m;
        m.show();
        m.activationStep();
        QCOMPARE(openWindows(m), (QStringList{"frmCustomDrops", "frmPlayers"}));
        auto* custom =
            dynamic_cast<DummyCustomDrops*>(m.findSubWindow(QStringLiteral("frmCustomDrops"))->widget());
        QCOMPARE(custom->field, 3);
        QCOMPARE(custom->shownCaption, QStringLiteral("Platform"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
