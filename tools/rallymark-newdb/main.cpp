// rallymark-newdb PATH
// rallymark-newdb --demo N PATH
// Creates a new Rallymark database with the schema and the starter contents; with --demo it also
// holds a sample clan of N players. An existing file is never touched.

#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/StarterDatabase.h"
#include "roster/DemoRoster.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

namespace {

int usage() {
    std::fprintf(stderr, "usage: rallymark-newdb [--demo N] PATH\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    int demoPlayers = -1;
    if (!args.isEmpty() && args.first() == QLatin1String("--demo")) {
        if (args.size() != 3)
            return usage();
        bool ok = false;
        demoPlayers = args.at(1).toInt(&ok);
        if (!ok || demoPlayers < 0)
            return usage();
        args = args.mid(2);
    }
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-')))
        return usage();
    const QString path = args.first();

    QString error;
    if (!rm::CreateStarterDatabase(path, &error)) {
        std::fprintf(stderr, "rallymark-newdb: %s\n", qPrintable(error));
        return 1;
    }
    if (demoPlayers < 0)
        return 0;

    if (!rm::Db().open(path)) {
        std::fprintf(stderr, "rallymark-newdb: %s\n", qPrintable(rm::Db().lastError()));
        QFile::remove(path);
        return 1;
    }
    rm::LoadOptions();
    try {
        rm::WriteDemoRoster(demoPlayers);
    } catch (const rm::DbError& e) {
        rm::Db().close();
        QFile::remove(path);
        std::fprintf(stderr, "rallymark-newdb: %s\n", qPrintable(e.description()));
        return 1;
    }
    rm::Db().close();
    return 0;
}
