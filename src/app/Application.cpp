#include "app/Application.h"

#include "app/MainWindow.h"
#include "app/Splash.h"
#include "data/AppEnvironment.h"
#include "data/InstanceLock.h"
#include "data/MessageSink.h"
#include "data/Startup.h"
#include "ui/Maintenance.h"
#include "ui/WidgetMessageSink.h"
#include "ui/WindowRegistry.h"

#include <QApplication>
#include <QDir>

namespace rm {

int StartUp(frmMain& main, int splashDelayMs, InstanceLock* lock) {
    {
        frmSplash splash(splashDelayMs);
        RunModal(&splash);
    }
    if (lock && !lock->claim(DatabasePath())) {
        ShowMessage(QStringLiteral("Rallymark is already running on the database file %1.\n\nIts window "
                                   "has been brought to the front; use that one.")
                        .arg(QDir::toNativeSeparators(DatabasePath())),
                    AlignCenterText, vbOKOnly, vbInformation, QStringLiteral("Rallymark"));
        return kAlreadyRunning;
    }
    if (const auto error = OpenDatabaseAndLoadOptions()) {
        ShowErrorReport(error->description);
        return 1;
    }
    main.clearDesktopRestored();
    return 0;
}

int RunApplication(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rallymark"));
    QApplication::setOrganizationName(QStringLiteral("Brassmoor"));
    QApplication::setApplicationVersion(QStringLiteral(RALLYMARK_VERSION));
    QApplication::setWindowIcon(AppIcon(QStringLiteral("logo")));
    InstallWidgetMessageSink();

    RegisterAllWindows();
    // Built first so that loading the Options record fills its Custom Fields menu; shown only when
    // start-up succeeds.
    frmMain main;
    InstanceLock lock;
    lock.onRaiseRequested = [&main] {
        if (!main.isVisible())
            return; // still starting
        main.setWindowState(main.windowState() & ~Qt::WindowMinimized);
        main.raise();
        main.activateWindow();
    };
    if (const int status = StartUp(main, kSplashDelayMs, &lock); status != 0)
        return status == kAlreadyRunning ? 0 : status;
    main.show();
    main.activateWindow();
    return QApplication::exec();
}

} // namespace rm
