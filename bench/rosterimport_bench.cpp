// Bringing a roster of N players in from CSV (reading, preview and the one-transaction import) into a
// new database, and writing the roster out again, as CSV and as the HTML roster page with every box
// ticked. The file is the export of a demo roster, so every row has memberships and a weekly schedule.

#include "comms/HtmlExport.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/StarterDatabase.h"
#include "roster/DemoRoster.h"
#include "roster/RosterExport.h"
#include "roster/RosterImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void openNew(const QTemporaryDir& dir, const QString& name) {
    rm::Db().open(QDir(dir.path()).filePath(name));
    rm::WriteStarterContents(rm::Db());
    rm::LoadOptions();
}

QByteArray demoCsv(int players) {
    QTemporaryDir dir;
    openNew(dir, QStringLiteral("source.mdb"));
    rm::WriteDemoRoster(players);
    const QByteArray csv = rm::ExportRosterCsv({}, ',', true);
    rm::Db().close();
    return csv;
}

void BM_ImportCsv(benchmark::State& state) {
    const int players = static_cast<int>(state.range(0));
    const QByteArray csv = demoCsv(players);
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        openNew(dir, QStringLiteral("bench.mdb"));
        rm::Db().execute(
            QStringLiteral("Insert Into Games (Game_Name, Game_Type, Game_Genre) Values('G', 1, 1)"));
        state.ResumeTiming();
        const rm::CsvReadResult read = rm::ReadCsv(csv);
        const rm::ImportPreview preview =
            rm::BuildImportPreview(*read.table, rm::AutoMapping(read.table->header), true);
        const rm::ImportResult result = rm::RunImport(preview);
        if (result.added != players)
            state.SkipWithError("not every row was imported");
        state.PauseTiming();
        rm::Db().close();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * players);
}
BENCHMARK(BM_ImportCsv)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State& state) {
    QTemporaryDir dir;
    openNew(dir, QStringLiteral("bench.mdb"));
    rm::WriteDemoRoster(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(rm::ExportRosterCsv({}, ',', true));
    rm::Db().close();
}
BENCHMARK(BM_ExportCsv)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ExportHtml(benchmark::State& state) {
    QTemporaryDir dir;
    openNew(dir, QStringLiteral("bench.mdb"));
    rm::WriteDemoRoster(static_cast<int>(state.range(0)));
    QList<qint32> keys;
    for (rm::RowSet r = rm::Db().execute(QStringLiteral("Select Player_ID From Players")); !r.eof();
         r.moveNext())
        keys << r.integer(QStringLiteral("Player_ID"));
    const rm::ExportFields all{true, true, true, true, true, true, true, true, true, true};
    for (auto _ : state)
        benchmark::DoNotOptimize(rm::CreateHTMLByPlayer(all, keys));
    rm::Db().close();
}
BENCHMARK(BM_ExportHtml)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
