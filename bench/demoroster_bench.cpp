// Writing a demo roster of N players (rallymark-newdb --demo N) into a new database, and loading
// one player's weekly schedule back into local day lists.

#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/StarterDatabase.h"
#include "roster/DemoRoster.h"
#include "roster/PlayerStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_DemoRoster(benchmark::State& state) {
    const int players = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        rm::Db().open(QDir(dir.path()).filePath(QStringLiteral("bench.mdb")));
        rm::WriteStarterContents(rm::Db());
        rm::LoadOptions();
        state.ResumeTiming();
        rm::WriteDemoRoster(players);
        state.PauseTiming();
        rm::Db().close();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * players);
}
BENCHMARK(BM_DemoRoster)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_LoadPlayerSchedule(benchmark::State& state) {
    QTemporaryDir dir;
    rm::Db().open(QDir(dir.path()).filePath(QStringLiteral("bench.mdb")));
    rm::WriteStarterContents(rm::Db());
    rm::LoadOptions();
    rm::WriteDemoRoster(200);
    const qint32 zone =
        rm::Db().scalar(QStringLiteral("Select Player_TimeZone From Players Where Player_ID = 1")).toInt();
    for (auto _ : state)
        benchmark::DoNotOptimize(rm::LoadPlayerSchedule(1, zone));
    rm::Db().close();
}
BENCHMARK(BM_LoadPlayerSchedule)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
