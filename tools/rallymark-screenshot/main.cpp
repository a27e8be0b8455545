// Draws the scheduling screen with a demo roster and saves it as a PNG picture, for the README:
//
//   QT_QPA_PLATFORM=offscreen build/default/tools/rallymark-screenshot docs/scheduling.png

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/StarterDatabase.h"
#include "roster/DemoRoster.h"
#include "scheduling/widgets/frmScheduling.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>

using namespace rm;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: rallymark-screenshot FILE.png\n");
        return 2;
    }
    QTemporaryDir folder;
    SetApplicationFolder(folder.path());
    SetSettingsFile(QDir(folder.path()).filePath(QStringLiteral("settings.ini")));
    if (!Db().open(DatabasePath())) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(DatabasePath()));
        return 1;
    }
    WriteStarterContents(Db());
    WriteDemoRoster(40);
    LoadOptions();
    CurrentOptions().TimeFormat = true;
    CurrentOptions().BestTimesGranularity = 60;

    frmScheduling window;
    window.resize(1500, 820);
    window.findChild<QToolButton*>(QStringLiteral("imgClickDivision"))->click();
    auto* divisions = window.findChild<QListWidget*>(QStringLiteral("lstDivisions"));
    for (int i = 0; i < divisions->count() && i < 2; ++i)
        divisions->item(i)->setSelected(true);
    window.findChild<QToolButton*>(QStringLiteral("imgShowbestTimes"))->click();
    auto* best = window.findChild<QListWidget*>(QStringLiteral("lstBestTimes"));
    if (best->count() > 0)
        window.showAvailableFor(best->item(0));
    window.show();
    QApplication::processEvents();
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[1]));
    Db().close();
    if (!saved) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
