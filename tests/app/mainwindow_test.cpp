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
    explicit DummyWindow(const QString& title) { setWindowTitle(title); }
    void showField(int n, const QString& caption) override {
        shown = QStringLiteral("%1 %2").arg(n).arg(caption);
    }
    QString shown;
};

// The entries that open a task window: menu, toolbar button, window.
const QList<std::array<const char*, 3>> kEntries{{"mnuPlayers", "tbrPlayers", "frmPlayers"},
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
QString customShown(const frmMain& m) {
    return static_cast<DummyWindow*>(sub(m, "frmCustomDrops")->widget())->shown;
}
QVariant setting(const char* key) {
    return OpenSettings()->value(QString::fromLatin1(key));
}

// A main window after its first activation, which restores the saved desktop.
void activate(frmMain& m) {
    m.show();
    m.activationStep();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    // Before any window is registered, the entries that would open one are disabled.
    void initTestCase() {
        frmMain m;
        for (const auto& e : kEntries)
            QVERIFY2(!action(&m, e[0])->isEnabled() && !action(&m, e[1])->isEnabled(), e[0]);
        QVERIFY(!action(&m, "mnuOptions")->isEnabled() && !action(&m, "mnuCustomDrop1")->isEnabled());
        for (const auto& e : kEntries)
            RegisterTaskWindow(QString::fromLatin1(e[2]),
                               [e] { return new DummyWindow(QLatin1String(e[2] + 3)); });
        RegisterTaskWindow(QStringLiteral("frmCustomDrops"), [] { return new DummyWindow(QString()); });
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

    // Every entry opens its window once; the Switch menu lists the open ones; Exit closes them all.
    void entriesOpenTheirWindows() {
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
            for (const auto& e : kEntries) {
                action(&m, e[toolbar])->trigger();
                QMdiSubWindow* active = m.mdiArea()->activeSubWindow();
                QVERIFY2(active && active->widget()->objectName() == QLatin1String(e[2]), e[toolbar]);
            }
        }
        QCOMPARE(m.mdiArea()->subWindowList().size(), 9);
        sub(m, "frmTitles")->showMinimized(); // comes back when chosen again
        action(&m, "mnuTitles")->trigger();
        QVERIFY(!sub(m, "frmTitles")->isMinimized() && m.mdiArea()->activeSubWindow() == sub(m, "frmTitles"));

        test::ModalDriver driver; // Options and About are modal
        driver.then([](QDialog* d) { d->reject(); });
        driver.then([](QDialog* d) { test::ClickOK(d); });
        action(&m, "tbrOptions")->trigger();
        action(&m, "mnuAbout")->trigger();
        QCOMPARE(driver.shown, (QStringList{"frmOptions", "frmAbout"}));
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
        QCOMPARE(customShown(m), QStringLiteral("2 Ranks & Roles"));
        action(&m, "mnuCustomDrop4")->trigger();
        QVERIFY(customShown(m) == QLatin1String("4 Squad") && m.mdiArea()->subWindowList().size() == 1);
        db.exec(QStringLiteral(
            "Update Options Set Options_Custom2_Drop_Enabled = 0, Options_Custom4_Drop_Enabled = 0"));
        LoadOptions();
        QCOMPARE(shown(), QStringLiteral("||||None Available"));
    }

    // Help asks the desktop for the guide's page and says nothing, even when it cannot be shown.
    void helpOpensTheUserGuide() {
        QList<QUrl> opened;
        SetDesktopOpener([&](const QUrl& url) {
            opened << url;
            return false;
        });
        test::RecordingSink sink;
        frmMain m;
        action(&m, "tbrHelp")->trigger();
        action(&m, "mnuHelp")->trigger();
        const QString page = QDir(m_dir->path()).filePath(QStringLiteral("Help/index.html"));
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
        QCOMPARE(LoadDesktop().size(), 2);
        QCOMPARE(setting("1ScreenName").toString() + setting("2ScreenName").toString(),
                 QStringLiteral("frmGamesfrmScheduling"));
        QCOMPARE(setting("2ScreenWidth").toInt(),
                 RoundHalfEven(420 * 1440 / double(frmMain().logicalDpiX())));
        QVERIFY(!setting("3ScreenName").isValid() && !setting("3ScreenTop").isValid() &&
                !setting("5ScreenName").isValid());

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
            QVERIFY(!m.toolBar()->isHidden()); // no value counts as shown
            action(&m, "mnuShowToolbar")->trigger();
            action(&m, "mnuResetDesktop")->trigger();
            QVERIFY(!setting("1ScreenName").isValid() && !setting("2ScreenTop").isValid());
            QCOMPARE(openWindows(m), QStringList{QStringLiteral("frmTitles")});
        }
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
        QCOMPARE(customShown(m), QStringLiteral("3 Platform"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
