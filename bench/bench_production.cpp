// How many units a minute the production line programs with K displays side by side (K = 1, 2, 4), on an
// emulated line whose displays take 2 ms to answer each report, waited for in real time: each unit is
// about 160 exchanges (read, programming, read-back, the picture and its read-back, the signal). The
// connection checks and the beeps are the line's own pace, the same whatever K, and are not waited for
// here, so that the figure shows what running the links side by side gains. The second argument records
// every unit in the service journal (SQLite, synced), kept on the build's disk rather than a memory-backed
// temporary folder where a sync costs nothing.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>

#include "journal/journal.h"
#include "production/emulated_line.h"
#include "production/production_line.h"

using namespace trivo;
using namespace trivo::production;

namespace {

constexpr int kReplyDelayMs = 2;
constexpr int kUnitsPerRun = 8;

const Model& model()
{
    static QTemporaryDir dir;
    static const Model loaded = [] {
        QImage image(240, 64, QImage::Format_RGB32);
        image.fill(Qt::blue);
        for (int x = 0; x < 240; x += 3)
            image.setPixel(x, x % 64, qRgb(255, 255, 255));
        const QString picture = dir.filePath(QStringLiteral("logo.png"));
        image.save(picture);
        return loadModel(QStringLiteral(TRIVO_MODEL), picture).model;
    }();
    return loaded;
}

void lineSideBySide(benchmark::State& state)
{
    const int places = int(state.range(0));
    const bool journalOn = state.range(1) != 0;
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-production-XXXXXX"));
    journal::JournalSettings journalSettings;
    journalSettings.databasePath = dir.filePath(QStringLiteral("journal.sqlite"));
    journal::Journal journal(journalSettings);
    int units = 0;
    qint64 elapsedMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ProductionLog log;
        log.open(dir.filePath(QStringLiteral("journal.csv")), nullptr);
        EmulatedLineSettings emulated;
        emulated.units = kUnitsPerRun;
        emulated.places = places;
        emulated.replyDelayMs = kReplyDelayMs;
        emulated.realTime = true;
        EmulatedLine source(emulated);
        LineSettings settings;
        settings.places = places;
        settings.virtualTime = true;
        settings.journal = journalOn ? &journal : nullptr;
        ProductionLine line(model(), log, source, settings);
        LineObserver quiet;
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        const LineSummary summary = line.run(quiet);
        elapsedMs += timer.elapsed();
        if (summary.passed != kUnitsPerRun)
            state.SkipWithError("a unit failed");
        units += summary.units;
    }
    state.counters["unites_par_minute"] = elapsedMs > 0 ? units * 60000.0 / double(elapsedMs) : 0.0;
}

}  // namespace

BENCHMARK(lineSideBySide)
    ->ArgNames({"K", "journal"})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({4, 0})
    ->Args({4, 1})
    ->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
