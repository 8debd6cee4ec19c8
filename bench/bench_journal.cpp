// What recording one operation in the service journal costs: a record written to the station's SQLite
// database and synced to the disk before append() returns. The database is kept on the build's disk: in a
// memory-backed temporary folder a sync would cost nothing.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "journal/journal.h"

using namespace trivo;
using namespace trivo::journal;

namespace {

JournalRecord sampleRecord()
{
    HidInterfaceInfo display;
    display.path = "/dev/hidraw3";
    display.version = 0x0100;
    JournalEntry entry(Operation::Production, display, currentIdentity(QStringLiteral("bench"), QStringLiteral("L1")));
    entry.setBlockBefore(QByteArray(68, '\x11'));
    entry.setBlockAfter(QByteArray(68, '\x22'));
    entry.setFile(QStringLiteral("modele.config_CP"), QByteArray(2048, 'm'));
    entry.finish(true, QStringLiteral("conforme"));
    return entry.record();
}

void appendSynced(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-journal-XXXXXX"));
    JournalSettings settings;
    settings.databasePath = dir.filePath(QStringLiteral("journal.sqlite"));
    Journal journal(settings);
    JournalRecord record = sampleRecord();
    for (auto _ : state) {
        state.PauseTiming();
        record.id = JournalEntry(Operation::Production, {}, {}).record().id;
        state.ResumeTiming();
        if (!journal.append(record).isEmpty())
            state.SkipWithError("append failed");
    }
    state.counters["enregistrements_par_seconde"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(appendSynced)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
