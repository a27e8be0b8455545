#include "app/MainWindow.h"

#include "app/About.h"
#include "data/AppEnvironment.h"
#include "data/DesktopLayout.h"
#include "data/MessageSink.h"
#include "data/Options.h"
#include "ui/DesktopServices.h"
#include "ui/Maintenance.h"
#include "ui/StatusMessage.h"
#include "ui/WindowRegistry.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

namespace rm {

namespace {

// A menu caption shows "&" only when it is doubled.
QString menuText(const QString& caption) {
    QString text = caption;
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

const QString kCustomDrops = QStringLiteral("frmCustomDrops");
const QString kOptions = QStringLiteral("frmOptions");

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Rallymark"));
    setWindowIcon(AppIcon(QStringLiteral("logo")));
    setContextMenuPolicy(Qt::PreventContextMenu); // the toolbar is shown and hidden through its menu entry

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiClient"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setBackground(QColor(0x8a, 0x96, 0xa3));
    setCentralWidget(m_mdi);

    buildMenus();
    buildToolBar();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &frmMain::refreshSwitchMenu);

    updateCustomFieldsMenu(CurrentOptions());
    SetCustomFieldsMenuUpdater([this](const OptionsRecord& options) { updateCustomFieldsMenu(options); });
    refreshSwitchMenu();
    // Room for the whole toolbar where the screen allows it.
    QSize size(1200, 780);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize());
    resize(size);
    statusBar(); // says what the last export or save did
}

frmMain::~frmMain() {
    SetCustomFieldsMenuUpdater({});
    // The task windows go with the frame; nothing may call back into this half-destroyed window.
    disconnect(m_mdi, nullptr, this, nullptr);
    disconnect(m_switchMenu, nullptr, this, nullptr);
}

QAction* frmMain::makeAction(QObject* parent, const char* name, const QString& caption,
                             const QString& iconName) {
    auto* action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(name));
    if (!iconName.isEmpty())
        action->setIcon(AppIcon(iconName));
    return action;
}

void frmMain::enableForTaskWindow(QAction* action, const QString& window) {
    action->setEnabled(HasTaskWindow(window));
    action->setProperty("taskWindow", window);
}

void frmMain::enableForModalDialog(QAction* action, const QString& dialog) {
    action->setEnabled(HasModalDialog(dialog));
    action->setProperty("modalDialog", dialog);
}

QAction* frmMain::addWindowAction(QMenu* menu, const char* name, const QString& caption,
                                  const QString& window, const QString& iconName) {
    QAction* action = makeAction(menu, name, caption, iconName);
    enableForTaskWindow(action, window);
    connect(action, &QAction::triggered, this, [this, window] { showTaskWindow(window); });
    menu->addAction(action);
    return action;
}

void frmMain::buildMenus() {
    auto separator = [](QMenu* menu, const char* name) {
        QAction* s = menu->addSeparator();
        s->setObjectName(QString::fromLatin1(name));
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    // Import and export go through the players window, which refreshes after an import.
    const std::pair<const char*, const char*> roster[] = {{"mnuImportPlayers", "importPlayers"},
                                                          {"mnuExportPlayers", "exportPlayers"}};
    for (const auto& [name, slot] : roster) {
        const bool import = QByteArray(slot) == "importPlayers";
        QAction* entry = makeAction(
            file, name, import ? QStringLiteral("&Import Players...") : QStringLiteral("&Export Players..."),
            import ? QStringLiteral("import") : QStringLiteral("export"));
        enableForTaskWindow(entry, QStringLiteral("frmPlayers"));
        connect(entry, &QAction::triggered, this, [this, slot] { runPlayersAction(slot); });
        file->addAction(entry);
    }
    QAction* ask = makeAction(file, "mnuAskAvailability", QStringLiteral("Ask for availability\u2026"),
                              QStringLiteral("calendar"));
    enableForTaskWindow(ask, QStringLiteral("frmPlayers"));
    connect(ask, &QAction::triggered, this, [this] { runPlayersAction("askAvailability"); });
    file->addAction(ask);
    separator(file, "mnuSep1");
    QAction* exit = makeAction(file, "mnuExit", QStringLiteral("E&xit"), QStringLiteral("exit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    file->addAction(exit);

    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    view->setObjectName(QStringLiteral("mnuView"));
    addWindowAction(view, "mnuPlayers", QStringLiteral("Players"), QStringLiteral("frmPlayers"),
                    QStringLiteral("players"));
    addWindowAction(view, "mnuDivisions", QStringLiteral("Divisions"), QStringLiteral("frmDivisions"),
                    QStringLiteral("divisions"));
    addWindowAction(view, "mnuTitles", QStringLiteral("Division Titles"), QStringLiteral("frmTitles"),
                    QStringLiteral("titles"));
    addWindowAction(view, "mnuGameList", QStringLiteral("Games List"), QStringLiteral("frmGames"),
                    QStringLiteral("games"));
    addWindowAction(view, "mnuGenreType", QStringLiteral("Genres && Types"), QStringLiteral("frmGenresTypes"),
                    QStringLiteral("genres"));

    QMenu* custom = view->addMenu(QStringLiteral("Custom Fields"));
    custom->setObjectName(QStringLiteral("mnuCustomFields"));
    custom->menuAction()->setObjectName(QStringLiteral("mnuCustomFieldsEntry"));
    for (int n = 1; n <= kCustomFieldCount; ++n) {
        const QByteArray name = "mnuCustomDrop" + QByteArray::number(n);
        QAction* entry =
            makeAction(custom, name.constData(), QStringLiteral("CustomDrop%1").arg(n), QString());
        entry->setVisible(false);
        enableForTaskWindow(entry, kCustomDrops);
        connect(entry, &QAction::triggered, this,
                [this, n] { showCustomField(n, CurrentOptions().CustomDropTitle[n - 1]); });
        custom->addAction(entry);
        m_customDrop[n - 1] = entry;
    }
    m_noCustom = makeAction(custom, "mnuNone", QStringLiteral("None Available"), QString());
    m_noCustom->setEnabled(false);
    custom->addAction(m_noCustom);

    addWindowAction(view, "mnuConnections", QStringLiteral("Connections"), QStringLiteral("frmConnections"),
                    QStringLiteral("connections"));
    addWindowAction(view, "mnuTimeZones", QStringLiteral("Time Zones"), QStringLiteral("frmTimeZones"),
                    QStringLiteral("timezones"));

    m_switchMenu = menuBar()->addMenu(QStringLiteral("Switch"));
    m_switchMenu->setObjectName(QStringLiteral("mnuSwitch"));
    connect(m_switchMenu, &QMenu::aboutToShow, this, &frmMain::refreshSwitchMenu);

    QMenu* tasks = menuBar()->addMenu(QStringLiteral("Tasks"));
    tasks->setObjectName(QStringLiteral("mnuTasks"));
    addWindowAction(tasks, "mnuScheduling", QStringLiteral("Scheduling"), QStringLiteral("frmScheduling"),
                    QStringLiteral("scheduling"));
    addWindowAction(tasks, "mnuCommunications", QStringLiteral("Communications"),
                    QStringLiteral("frmCommCenter"), QStringLiteral("comms"));

    QMenu* other = menuBar()->addMenu(QStringLiteral("Other"));
    other->setObjectName(QStringLiteral("mnuOther"));
    QAction* options =
        makeAction(other, "mnuOptions", QStringLiteral("Rallymark Options"), QStringLiteral("options"));
    enableForModalDialog(options, kOptions);
    connect(options, &QAction::triggered, this, &frmMain::showOptions);
    other->addAction(options);
    separator(other, "mnuSep2");
    QAction* save = makeAction(other, "mnuSaveDesktop", QStringLiteral("Save Desktop"), QString());
    connect(save, &QAction::triggered, this, &frmMain::saveDesktop);
    other->addAction(save);
    QAction* reset = makeAction(other, "mnuResetDesktop", QStringLiteral("Reset Desktop"), QString());
    connect(reset, &QAction::triggered, this, &frmMain::resetDesktop);
    other->addAction(reset);
    m_showToolbarAction = makeAction(other, "mnuShowToolbar", QStringLiteral("Show Toolbar"), QString());
    m_showToolbarAction->setCheckable(true);
    m_showToolbarAction->setChecked(true);
    connect(m_showToolbarAction, &QAction::triggered, this, &frmMain::toggleToolbar);
    other->addAction(m_showToolbarAction);
    separator(other, "mnuSep3");
    QAction* help = makeAction(other, "mnuHelp", QStringLiteral("Help"), QStringLiteral("help"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::ApplicationShortcut);
    connect(help, &QAction::triggered, this, &frmMain::openHelp);
    other->addAction(help);
    QAction* about = makeAction(other, "mnuAbout", QStringLiteral("About"), QStringLiteral("about"));
    connect(about, &QAction::triggered, this, &frmMain::showAbout);
    other->addAction(about);
}

void frmMain::buildToolBar() {
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("tbrMain"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(32, 32));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    struct Button {
        const char* name;
        const char* text;
        const char* icon;
        const char* toolTip;
        const char* window;
    };
    static const Button windowButtons[] = {
        {"tbrPlayers", "View Players", "players", "Show the list of players", "frmPlayers"},
        {"tbrImportPlayers", "Import Players", "import", "Import players from a CSV file", "frmPlayers"},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
        {"tbrDivisions", "Show Divisions", "divisions", "Show the list of divisions", "frmDivisions"},
        {"tbrTitles", "Division Titles", "titles", "Show the titles of the divisions", "frmTitles"},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
        {"tbrGameList", "Games List", "games", "Show the list of games", "frmGames"},
        {"tbrGenreType", "Genres & Types", "genres", "Show the game genres and game types", "frmGenresTypes"},
        {"tbrConnections", "Connections", "connections", "Show the connection types", "frmConnections"},
        {"tbrTimeZones", "Time Zones", "timezones", "Show the list of time zones", "frmTimeZones"},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
        {"tbrScheduling", "Scheduling", "scheduling", "Find who can play and the best times of the week",
         "frmScheduling"},
        {"tbrCommunications", "Email & HTML", "comms", "Send e-mail to players and export HTML rosters",
         "frmCommCenter"},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
    };
    int separators = 0;
    for (const Button& b : windowButtons) {
        if (!b.name) {
            m_toolBar->addSeparator()->setObjectName(QStringLiteral("tbrSeparator%1").arg(++separators));
            continue;
        }
        // Toolbar texts are shown as they are written; a single "&" is not an access key here.
        QAction* action =
            makeAction(m_toolBar, b.name, menuText(QString::fromLatin1(b.text)), QString::fromLatin1(b.icon));
        action->setIconText(menuText(QString::fromLatin1(b.text)));
        action->setToolTip(QString::fromLatin1(b.toolTip));
        const QString window = QString::fromLatin1(b.window);
        enableForTaskWindow(action, window);
        if (qstrcmp(b.name, "tbrImportPlayers") == 0)
            connect(action, &QAction::triggered, this, [this] { runPlayersAction("importPlayers"); });
        else
            connect(action, &QAction::triggered, this, [this, window] { showTaskWindow(window); });
        m_toolBar->addAction(action);
    }

    QAction* options =
        makeAction(m_toolBar, "tbrOptions", QStringLiteral("Options"), QStringLiteral("options"));
    options->setToolTip(QStringLiteral("Change the Rallymark options"));
    enableForModalDialog(options, kOptions);
    connect(options, &QAction::triggered, this, &frmMain::showOptions);
    m_toolBar->addAction(options);
    QAction* help = makeAction(m_toolBar, "tbrHelp", QStringLiteral("Help"), QStringLiteral("help"));
    help->setToolTip(QStringLiteral("Open the Rallymark user guide"));
    connect(help, &QAction::triggered, this, &frmMain::openHelp);
    m_toolBar->addAction(help);
    m_toolBar->addSeparator()->setObjectName(QStringLiteral("tbrSeparator%1").arg(++separators));
    QAction* exit = makeAction(m_toolBar, "tbrExit", QStringLiteral("Exit"), QStringLiteral("exit"));
    exit->setToolTip(QStringLiteral("Close Rallymark"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    m_toolBar->addAction(exit);

    // Every button says what it does to screen readers as well.
    for (QAction* action : m_toolBar->actions()) {
        if (QWidget* button = m_toolBar->widgetForAction(action); button && !action->isSeparator())
            button->setAccessibleName(action->toolTip());
    }
}

void frmMain::runPlayersAction(const char* slot) {
    if (QWidget* players = showTaskWindow(QStringLiteral("frmPlayers")))
        QMetaObject::invokeMethod(players, slot);
}

QMdiSubWindow* frmMain::findSubWindow(const QString& name) const {
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (sub->widget() && sub->widget()->objectName() == name)
            return sub;
    }
    return nullptr;
}

QWidget* frmMain::showTaskWindow(const QString& name) {
    if (QMdiSubWindow* sub = findSubWindow(name)) {
        if (sub->isMinimized())
            sub->showNormal();
        else
            sub->show();
        m_mdi->setActiveSubWindow(sub);
        sub->raise();
        return sub->widget();
    }
    QWidget* window = CreateTaskWindow(name);
    if (!window) {
        ShowMessage(QStringLiteral("The window \"%1\" is not part of this version of Rallymark.").arg(name),
                    AlignCenterText, vbOKOnly, vbExclamation, QStringLiteral("Window Unavailable"));
        return nullptr;
    }
    QMdiSubWindow* sub = m_mdi->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose, true);
    if (window->windowIcon().isNull())
        sub->setWindowIcon(windowIcon());
    connect(sub, &QObject::destroyed, this, &frmMain::refreshSwitchMenu, Qt::QueuedConnection);
    sub->show();
    // Never smaller than its contents need, even where the work area is smaller (it scrolls then).
    sub->resize(sub->size().expandedTo(sub->minimumSizeHint()));
    m_mdi->setActiveSubWindow(sub);
    refreshSwitchMenu();
    return window;
}

void frmMain::showCustomField(int n, const QString& caption) {
    QWidget* window = showTaskWindow(kCustomDrops);
    if (auto* custom = dynamic_cast<CustomFieldWindow*>(window))
        custom->showField(n, caption);
}

void frmMain::showOptions() {
    QDialog* dialog = CreateModalDialog(kOptions, this);
    if (!dialog) {
        ShowMessage(QStringLiteral("The Options window is not part of this version of Rallymark."),
                    AlignCenterText, vbOKOnly, vbExclamation, QStringLiteral("Window Unavailable"));
        return;
    }
    RunModal(dialog);
    delete dialog;
}

void frmMain::showAbout() {
    frmAbout about(this);
    RunModal(&about);
}

void frmMain::openHelp() {
    // Like the shell's "open": a missing guide or a desktop without a browser simply shows nothing.
    const QString path = QDir(ApplicationFolder()).filePath(QStringLiteral("Help/index.html"));
    OpenWithDesktop(QUrl::fromLocalFile(path));
}

void frmMain::saveDesktop() {
    QList<WindowPlacement> windows;
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->widget() || !sub->isVisibleTo(m_mdi) || sub->isMinimized())
            continue;
        const QRect g = sub->geometry();
        windows << WindowPlacement{sub->widget()->objectName(), PixelsToTwips(g.top(), this, Qt::Vertical),
                                   PixelsToTwips(g.left(), this), PixelsToTwips(g.width(), this),
                                   PixelsToTwips(g.height(), this, Qt::Vertical)};
    }
    SaveDesktop(windows);
    SaveMainWindowPlacement(saveGeometry());
    ShowStatus(windows.size() == 1 ? tr("Desktop saved: the main window and 1 window")
                                   : tr("Desktop saved: the main window and %1 windows").arg(windows.size()));
}

void frmMain::resetDesktop() {
    ClearDesktop();
    ClearMainWindowPlacement();
}

void frmMain::applyToolbarFlag() {
    m_toolBar->setVisible(m_toolbarFlag);
    m_showToolbarAction->setChecked(m_toolbarFlag);
}

void frmMain::toggleToolbar() {
    // The entry's check mark has already flipped when it was triggered; the flag follows it.
    m_toolbarFlag = !m_toolbarFlag;
    applyToolbarFlag();
    WriteShowToolBar(m_toolbarFlag);
}

void frmMain::activationStep() {
    m_toolbarFlag = ReadShowToolBar();
    applyToolbarFlag();
    if (m_desktopRestored)
        return;
    m_desktopRestored = true;
    restoreDesktop();
}

void frmMain::restoreDesktop() {
    // The frame first, so that the task windows find the work area they were saved in.
    if (const QByteArray frame = LoadMainWindowPlacement(); !frame.isEmpty())
        restoreGeometry(frame);
    const OptionsRecord& options = CurrentOptions();
    for (const WindowPlacement& p : LoadDesktop()) {
        if (!RestorableWindows().contains(p.Name) || !HasTaskWindow(p.Name))
            continue;
        int field = 0;
        if (p.Name == kCustomDrops) {
            for (int n = 1; n <= kCustomFieldCount && field == 0; ++n)
                if (options.CustomDropEnabled[n - 1])
                    field = n;
            if (field == 0)
                continue; // no pick-list field to show
        }
        if (field != 0)
            showCustomField(field, options.CustomDropTitle[field - 1]);
        else
            showTaskWindow(p.Name);
        QMdiSubWindow* sub = findSubWindow(p.Name);
        if (!sub)
            continue;
        sub->setGeometry(TwipsToPixels(p.Left, this), TwipsToPixels(p.Top, this, Qt::Vertical),
                         TwipsToPixels(p.Width, this), TwipsToPixels(p.Height, this, Qt::Vertical));
    }
}

void frmMain::updateCustomFieldsMenu(const OptionsRecord& options) {
    bool any = false;
    for (int n = 1; n <= kCustomFieldCount; ++n) {
        QAction* entry = m_customDrop[n - 1];
        const bool enabled = options.CustomDropEnabled[n - 1];
        entry->setVisible(enabled);
        if (enabled) {
            entry->setText(menuText(options.CustomDropTitle[n - 1]));
            any = true;
        }
    }
    m_noCustom->setVisible(!any);
}

void frmMain::refreshSwitchMenu() {
    m_switchMenu->clear();
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    QMdiSubWindow* active = m_mdi->activeSubWindow();
    int n = 0;
    for (QMdiSubWindow* sub : windows) {
        if (!sub->widget())
            continue;
        ++n;
        const QString caption =
            sub->windowTitle().isEmpty() ? sub->widget()->objectName() : sub->windowTitle();
        QAction* entry = m_switchMenu->addAction(
            (n < 10 ? QStringLiteral("&%1 ").arg(n) : QStringLiteral("%1 ").arg(n)) + menuText(caption));
        entry->setObjectName(QStringLiteral("mnuSwitch%1").arg(n));
        entry->setData(sub->widget()->objectName());
        entry->setCheckable(true);
        entry->setChecked(sub == active);
        QPointer<QMdiSubWindow> target(sub);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target)
                showTaskWindow(target->widget()->objectName());
        });
    }
    if (n == 0) {
        QAction* none = m_switchMenu->addAction(QStringLiteral("No Windows Open"));
        none->setObjectName(QStringLiteral("mnuSwitchNone"));
        none->setEnabled(false);
    }
}

bool frmMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        activationStep();
    return QMainWindow::event(event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    m_mdi->closeAllSubWindows();
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (sub->isVisible()) {
            event->ignore(); // a task window kept itself open
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

} // namespace rm
