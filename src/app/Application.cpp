#include "app/Application.h"

#include "app/MainWindow.h"
#include "app/Splash.h"
#include "data/MessageSink.h"
#include "data/Startup.h"
#include "ui/Maintenance.h"
#include "ui/WidgetMessageSink.h"
#include "ui/WindowRegistry.h"

#include <QApplication>

namespace rm {

int StartUp(frmMain& main, int splashDelayMs) {
    {
        frmSplash splash(splashDelayMs);
        RunModal(&splash);
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
    if (const int status = StartUp(main, kSplashDelayMs); status != 0)
        return status;
    main.show();
    main.activateWindow();
    return QApplication::exec();
}

} // namespace rm
