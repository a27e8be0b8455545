// Speed of the two scheduling searches on the demo roster of 1,000 players (rallymark-newdb --demo
// 1000), all weekdays ticked, step 15; of the plain per-statement best-times search on 100 of
// them, for the ratio; and of filling the week grid for 1,000 players at step 15 and, last, for
// 10,000 players (9,000 more demo players added to the same file) at step 30.
//
// Run: build/default/bench/scheduling_bench (five repetitions each; the medians are the figures)

#include "support/SchedulingFixtures.h"

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/StarterDatabase.h"
#include "roster/DemoRoster.h"
#include "scheduling/SchedulingSearch.h"
#include "scheduling/WeekGrid.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace rm;

namespace {

constexpr int kRosterPlayers = 1000;

struct Fixture {
    test::Roster roster;
    QList<qint32> activeDivisions;
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

BestTimesRequest Request(int step = 15) {
    BestTimesRequest request;
    request.days.fill(true);
    request.step = step;
    request.zone = CurrentOptions().UserTimeZone;
    request.weekOf = QDate(2026, 3, 25); // Europe changes its clocks in this week
    return request;
}

SearchSelection ByPlayer(const QList<qint32>& ids) {
    return SearchSelection{true, ids, {}};
}

void BM_BestTimes_1000Players(benchmark::State& state) {
    const SearchSelection selection = ByPlayer(TheFixture().roster.activePlayers);
    for (auto _ : state)
        benchmark::DoNotOptimize(ShowBestTimes(selection, Request(), CurrentOptions().MaxResults));
    state.counters["people"] = double(selection.players.size());
}
BENCHMARK(BM_BestTimes_1000Players)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The two halves of the best-times search: counting, and writing the work table.
void BM_BestTimesCount_1000Players(benchmark::State& state) {
    const SearchSelection selection = ByPlayer(TheFixture().roster.activePlayers);
    for (auto _ : state)
        benchmark::DoNotOptimize(CountBestTimes(selection, Request()));
}
BENCHMARK(BM_BestTimesCount_1000Players)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_BestTimesWrite_1000Players(benchmark::State& state) {
    const QList<CountedSlot> counted = CountBestTimes(ByPlayer(TheFixture().roster.activePlayers), Request());
    for (auto _ : state)
        WriteSchedulingWork(counted);
}
BENCHMARK(BM_BestTimesWrite_1000Players)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_BestTimes_AllDivisions(benchmark::State& state) {
    const SearchSelection selection{false, {}, TheFixture().activeDivisions};
    for (auto _ : state)
        benchmark::DoNotOptimize(ShowBestTimes(selection, Request(), CurrentOptions().MaxResults));
}
BENCHMARK(BM_BestTimes_AllDivisions)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_Availability_1000Players(benchmark::State& state) {
    const SearchSelection selection = ByPlayer(TheFixture().roster.activePlayers);
    const QDateTime moment =
        MatchInstant(QDate(2026, 3, 31), 20 * 60 + 30, CurrentOptions().UserTimeZone).utc;
    qsizetype found = 0;
    for (auto _ : state) {
        const QList<AvailablePerson> names = FindAvailable(selection, moment);
        found = names.size();
        benchmark::DoNotOptimize(names);
    }
    state.counters["available"] = double(found);
}
BENCHMARK(BM_Availability_1000Players)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_Availability_AllDivisions(benchmark::State& state) {
    const SearchSelection selection{false, {}, TheFixture().activeDivisions};
    const QDateTime moment =
        MatchInstant(QDate(2026, 3, 31), 20 * 60 + 30, CurrentOptions().UserTimeZone).utc;
    for (auto _ : state)
        benchmark::DoNotOptimize(FindAvailable(selection, moment));
}
BENCHMARK(BM_Availability_AllDivisions)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_BestTimes_100Players(benchmark::State& state) {
    const SearchSelection selection = ByPlayer(TheFixture().roster.activePlayers.mid(0, 100));
    for (auto _ : state)
        benchmark::DoNotOptimize(ShowBestTimes(selection, Request(), CurrentOptions().MaxResults));
}
BENCHMARK(BM_BestTimes_100Players)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// One availability statement per person, slot and day, as the search was first written.
void BM_PlainPerStatement_100Players(benchmark::State& state) {
    const SearchSelection selection = ByPlayer(TheFixture().roster.activePlayers.mid(0, 100));
    for (auto _ : state)
        benchmark::DoNotOptimize(test::ReferenceBestTimes(selection, Request()));
}
BENCHMARK(BM_PlainPerStatement_100Players)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(1);

// The grid as the screen fills it: the count of the whole week, the names, the model.
void BM_WeekGrid_1000Players_Step15(benchmark::State& state) {
    const SearchSelection selection = ByPlayer(TheFixture().roster.activePlayers);
    WeekGridModel model;
    for (auto _ : state)
        model.refresh(selection, Request(15), Qt::Sunday);
    state.counters["people"] = double(selection.players.size());
}
BENCHMARK(BM_WeekGrid_1000Players_Step15)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Registered last: it adds 9,000 players to the roster of the others.
void BM_WeekGrid_10000Players_Step30(benchmark::State& state) {
    static const QList<qint32> everybody = [] {
        WriteDemoRoster(10000 - kRosterPlayers, 2);
        QList<qint32> ids;
        RowSet active =
            Db().execute(QStringLiteral("Select Player_ID From Players Where Player_Active = true "
                                        "Order By Player_OnlineName"));
        for (; !active.eof(); active.moveNext())
            ids << active.integer(QStringLiteral("Player_ID"));
        return ids;
    }();
    const SearchSelection selection = ByPlayer(everybody);
    WeekGridModel model;
    for (auto _ : state)
        model.refresh(selection, Request(30), Qt::Sunday);
    state.counters["people"] = double(selection.players.size());
}
BENCHMARK(BM_WeekGrid_10000Players_Step30)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    SetApplicationFolder(folder.path());
    SetSettingsFile(QDir(folder.path()).filePath(QStringLiteral("settings.ini")));
    if (!Db().open(DatabasePath())) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(DatabasePath()));
        return 1;
    }
    WriteStarterContents(Db());
    LoadOptions();
    // The demo roster of rallymark-newdb --demo 1000.
    WriteDemoRoster(kRosterPlayers);
    RowSet active = Db().execute(QStringLiteral("Select Player_ID From Players Where Player_Active = true "
                                                "Order By Player_OnlineName"));
    for (; !active.eof(); active.moveNext())
        TheFixture().roster.activePlayers << active.integer(QStringLiteral("Player_ID"));
    RowSet divisions =
        Db().execute(QStringLiteral("Select Division_ID From Divisions Where Division_Active = True "
                                    "Order By Division_Name"));
    for (; !divisions.eof(); divisions.moveNext())
        TheFixture().activeDivisions << divisions.integer(QStringLiteral("Division_ID"));
    std::fprintf(stderr, "roster: %d players (%lld active), %d schedule rows\n", kRosterPlayers,
                 static_cast<long long>(TheFixture().roster.activePlayers.size()),
                 Db().scalar(QStringLiteral("Select COUNT(*) From Schedules")).toInt());

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Db().close();
    return 0;
}
