#include "app/Application.h"

#include "data/MessageSink.h"
#include "data/Startup.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

namespace rm {

int RunApplication(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rallymark"));
    QApplication::setOrganizationName(QStringLiteral("Brassmoor"));
    QApplication::setApplicationVersion(QStringLiteral(RALLYMARK_VERSION));

    if (const auto error = OpenDatabaseAndLoadOptions()) {
        QMessageBox::critical(nullptr, kErrorReportTitle, ErrorReportText(error->description));
        return 1;
    }
    QMainWindow main;
    main.setObjectName(QStringLiteral("frmMain"));
    main.setWindowTitle(QStringLiteral("Rallymark"));
    main.show();
    return QApplication::exec();
}

} // namespace rm
