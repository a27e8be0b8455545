#pragma once

#include "data/CustomFields.h"

#include <QHash>
#include <QMainWindow>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace rm {

struct OptionsRecord;

// The frame of the application: the task windows live in its client area; the menus and the toolbar
// open them, one instance each. Its first activation restores the saved desktop.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    QMdiArea* mdiArea() const { return m_mdi; }
    QToolBar* toolBar() const { return m_toolBar; }

    // Shows a task window inside the client area, or brings the open one to the front. Returns the
    // window, or nullptr when it could not be opened (the user has been told).
    QWidget* showTaskWindow(const QString& name);
    // Opens the players window and runs one of its actions on it.
    void runPlayersAction(const char* slot);
    QMdiSubWindow* findSubWindow(const QString& name) const;
    // Opens the custom entries window for pick-list field n (1 to 4) with its caption.
    void showCustomField(int n, const QString& caption);
    void showOptions();
    void showAbout();
    void openHelp();

    // The desktop layout: Save Desktop, Reset Desktop, Show Toolbar.
    void saveDesktop();
    void resetDesktop();
    void toggleToolbar();
    // What each activation does: the toolbar setting, and the saved desktop the first time.
    void activationStep();
    bool desktopRestored() const { return m_desktopRestored; }
    void clearDesktopRestored() { m_desktopRestored = false; }
    bool toolbarFlag() const { return m_toolbarFlag; }

    // Shows the Custom Fields entries of the enabled pick-list fields.
    void updateCustomFieldsMenu(const OptionsRecord& options);
    // Rebuilds the Switch menu from the open task windows.
    void refreshSwitchMenu();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void applyToolbarFlag();
    void restoreDesktop();
    QAction* addWindowAction(QMenu* menu, const char* name, const QString& caption, const QString& window,
                             const QString& iconName);
    QAction* makeAction(QObject* parent, const char* name, const QString& caption, const QString& iconName);
    void enableForTaskWindow(QAction* action, const QString& window);
    void enableForModalDialog(QAction* action, const QString& dialog);

    QMdiArea* m_mdi = nullptr;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_switchMenu = nullptr;
    QAction* m_showToolbarAction = nullptr;
    QAction* m_customDrop[kCustomFieldCount] = {};
    QAction* m_noCustom = nullptr;
    bool m_toolbarFlag = true;
    bool m_desktopRestored = false;
};

} // namespace rm
