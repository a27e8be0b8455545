// rallymark-newdb PATH
// Creates a new Rallymark database with the schema and the starter contents. An existing file is
// never touched.

#include "data/StarterDatabase.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "usage: rallymark-newdb PATH\n");
        return 2;
    }
    QString error;
    if (!rm::CreateStarterDatabase(args.first(), &error)) {
        std::fprintf(stderr, "rallymark-newdb: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
