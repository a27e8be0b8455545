// Availability pages for a whole clan and a paste full of replies: making the pages of N players
// (in memory, and written into a folder), and reading a quoted mail thread of N replies (finding
// them only, and the whole preview against the database).

#include "comms/AvailabilityPage.h"
#include "comms/AvailabilityReply.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/StarterDatabase.h"
#include "roster/DemoRoster.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QList<rm::PageRecipient> demoClan(const QTemporaryDir& dir, int players) {
    rm::Db().open(QDir(dir.path()).filePath(QStringLiteral("bench.mdb")));
    rm::WriteStarterContents(rm::Db());
    rm::LoadOptions();
    rm::WriteDemoRoster(players);
    QList<qint32> keys;
    for (rm::RowSet rows = rm::Db().execute(QStringLiteral("Select Player_ID From Players")); !rows.eof();
         rows.moveNext())
        keys << rows.integer(QStringLiteral("Player_ID"));
    return rm::AvailabilityRecipients(keys);
}

// A mail thread: every reply quoted and wrapped at 72 columns between lines of chatter.
QString paste(const QList<rm::PageRecipient>& clan) {
    QString text;
    const quint32 token = rm::DatabaseReplyToken();
    int n = 0;
    for (const rm::PageRecipient& r : clan) {
        rm::WeekCells week;
        for (int i = 0; i < rm::kWeekCells; ++i)
            week[i] = (i + n) % 5 == 0;
        const QString reply = rm::EncodeReply({static_cast<quint32>(r.player), token, 100, 200, week});
        text += QStringLiteral("On Monday %1 wrote:\n> Here is my week, see you Friday!\n").arg(r.onlineName);
        for (int i = 0; i < reply.size(); i += 70)
            text += QStringLiteral("> ") + reply.mid(i, 70) + QLatin1Char('\n');
        text += QStringLiteral(">\n\n");
        ++n;
    }
    return text;
}

void BM_MakePages(benchmark::State& state) {
    QTemporaryDir dir;
    const QList<rm::PageRecipient> clan = demoClan(dir, static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(rm::MakeAvailabilityPages(clan));
    state.SetItemsProcessed(state.iterations() * clan.size());
    rm::Db().close();
}
BENCHMARK(BM_MakePages)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_WritePagesIntoFolder(benchmark::State& state) {
    QTemporaryDir dir;
    const QList<rm::PageRecipient> clan = demoClan(dir, static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(rm::WriteAvailabilityPages(dir.path(), clan));
    state.SetItemsProcessed(state.iterations() * clan.size());
    rm::Db().close();
}
BENCHMARK(BM_WritePagesIntoFolder)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_FindReplies(benchmark::State& state) {
    QTemporaryDir dir;
    const QString text = paste(demoClan(dir, static_cast<int>(state.range(0))));
    for (auto _ : state)
        if (rm::FindReplies(text).size() != state.range(0))
            state.SkipWithError("not every reply was found");
    rm::Db().close();
}
BENCHMARK(BM_FindReplies)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_ReviewReplies(benchmark::State& state) {
    QTemporaryDir dir;
    const QString text = paste(demoClan(dir, static_cast<int>(state.range(0))));
    for (auto _ : state)
        if (rm::ReviewReplies(text).size() != state.range(0))
            state.SkipWithError("not every reply was found");
    rm::Db().close();
}
BENCHMARK(BM_ReviewReplies)->Arg(500)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
