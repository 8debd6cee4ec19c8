// What a firmware update costs the program itself, all on the emulated display (whose answers cost next to
// nothing, so any work of ours shows up in full): the 500 reports written and read on the bare transport,
// the same 500 exchanges through the link, and the transfer with its progress shown. One run prints the
// link's own cost per exchange (link loop minus transport loop, over 500). Runs on the offscreen platform
// unless another is asked for; the window's transfer runs on the display's owner, as in the program.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressBar>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <string>

#include <unistd.h>

#include "bench_support.h"
#include "common/dialogs.h"
#include "common/main_services.h"
#include "emulator/emulated_display.h"
#include "link/commands.h"
#include "link/display_owner.h"
#include "link/exchanger.h"
#include "link/usb_model.h"
#include "maintenance/firmware_flasher.h"
#include "maintenance/ui/maintenance_window.h"

using namespace trivo;

namespace {

struct Rig {
    EmulatedTransport transport;
    Exchanger link{transport};
    FirmwareImage image;
    Rig()
    {
        transport.plug(true);
        transport.display().updateMode = true;
        link.connectionCheck();
        for (int a = 0; a < kImageSize; ++a)
            image[a] = static_cast<uint8_t>(a * 7);
    }
    // Keeps the record and the display's memory from growing over the iterations.
    void reset()
    {
        transport.clearRecord();
        transport.display().firmware.clear();
    }
};

// A progress bar painted after every report, with no limit on how often.
struct EveryReport : Progress {
    QProgressBar* bar;
    void begin(int maximum, const QString&) override { bar->setMaximum(maximum); }
    void advance(int position, const QString&) override
    {
        bar->setValue(position);
        bar->repaint();
    }
    void end() override {}
};

// A progress bar the size of the window's, on screen, so that its repaints really paint.
bool exposedProgressBar(QProgressBar& bar)
{
    bar.setRange(0, kFlashProgressMaximum);
    bar.resize(444, 28);
    return bench::exposed(bar);
}

// Counts the paints of one widget, to show how often the progress was actually drawn.
struct PaintCounter : QObject {
    int paints = 0;
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void checkDelivered(benchmark::State& state, const Rig& rig)
{
    if (rig.transport.outputReports().size() != std::size_t(kFlashReports))
        state.SkipWithError("not all 500 reports were sent");
}

// One report of the update through the link: the request built and exchanged.
bool sendReport(Exchanger& link, const FirmwareImage& image, int n)
{
    return link.send(commands::firmwareData(image.data() + n * kFlashReportBytes)).ok();
}

}  // namespace

// The floor: the same 500 reports written and their replies read on the transport, no link at all.
static void BM_TransportLoop(benchmark::State& state)
{
    Rig rig;
    const HidTransport::Handle handle = rig.transport.open(EmulatedTransport::kDisplayPath);
    std::array<uint8_t, kReportLength> report{};
    std::array<uint8_t, kReportLength> reply{};
    for (auto _ : state) {
        rig.reset();
        for (int n = 0; n < kFlashReports; ++n) {
            std::copy_n(rig.image.data() + n * kFlashReportBytes, kFlashReportBytes, report.begin() + 1);
            benchmark::DoNotOptimize(rig.transport.write(handle, report.data(), report.size()));
            std::size_t got = 0;
            benchmark::DoNotOptimize(rig.transport.read(handle, reply.data(), reply.size(), kReadTimeoutMs, got));
        }
    }
    checkDelivered(state, rig);
    rig.transport.close(handle);
}
BENCHMARK(BM_TransportLoop)->Unit(benchmark::kMillisecond);

// The same 500 reports through the link, nothing else.
static void BM_LinkLoop(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        rig.reset();
        for (int n = 0; n < kFlashReports; ++n)
            benchmark::DoNotOptimize(sendReport(rig.link, rig.image, n));
    }
    checkDelivered(state, rig);
}
BENCHMARK(BM_LinkLoop)->Unit(benchmark::kMillisecond);

// The link loop while a technician watches the link window's details: its model made from every record.
static void BM_LinkLoopLinkWindowDetails(benchmark::State& state)
{
    Rig rig;
    UsbModel model;
    rig.link.setEventSink([&model](const LinkEvent& e) { model.apply(e); });
    for (auto _ : state) {
        rig.reset();
        for (int n = 0; n < kFlashReports; ++n)
            benchmark::DoNotOptimize(sendReport(rig.link, rig.image, n));
    }
    checkDelivered(state, rig);
}
BENCHMARK(BM_LinkLoopLinkWindowDetails)->Unit(benchmark::kMillisecond);

// The flashing procedure with nobody watching.
static void BM_FlashProcedure(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        rig.reset();
        benchmark::DoNotOptimize(flashFirmware(rig.link, rig.image).completed);
    }
    checkDelivered(state, rig);
}
BENCHMARK(BM_FlashProcedure)->Unit(benchmark::kMillisecond);

// The whole update as the operator starts it from the window: confirmation answered, status texts,
// the progress bar as the window paints it, the exchanges on the display's own thread.
static void BM_FlashFromWindow(benchmark::State& state)
{
    Rig rig;  // the image and the display in its update mode; the window has its own owner on it
    DisplayOwner owner(rig.transport);
    owner.DETECT_CON_Timer();
    ScriptedDialogs dialogs;
    PlainMainServices main;
    MaintenanceWindow window(owner, dialogs, main);
    window.Form_Load();
    if (!bench::settle(owner) || !bench::exposed(window)) {
        state.SkipWithError("the window was not exposed");
        return;
    }
    PaintCounter paints(window.findChild<QProgressBar*>(QStringLiteral("ProgressBar1")));
    // The window flashes only what it read from a file: hand it one.
    const QString path =
        QDir::temp().filePath(QStringLiteral("bench_flash_%1.HEX").arg(QCoreApplication::applicationPid()));
    bench::writeHexFile(path, rig.image);
    dialogs.fileAnswers.append(path);
    window.Cmd_Openfile_Click();
    QFile::remove(path);
    if (!window.imageLoaded()) {
        state.SkipWithError("the window did not read the image");
        return;
    }
    for (auto _ : state) {
        rig.reset();
        dialogs.messageAnswers.append(MsgResult::Yes);
        window.CMD_Flash_OK_Click();
        if (!bench::settle(owner)) {
            state.SkipWithError("the update did not come back");
            return;
        }
    }
    state.counters["barPaints"] = benchmark::Counter(paints.paints, benchmark::Counter::kAvgIterations);
    checkDelivered(state, rig);
    if (!window.lastFlash().completed)
        state.SkipWithError("the update did not complete");
}
BENCHMARK(BM_FlashFromWindow)->Unit(benchmark::kMillisecond);

// For comparison: the bar painted after every report, without the window's limit.
static void BM_FlashRepaintEveryReport(benchmark::State& state)
{
    Rig rig;
    QProgressBar bar;
    if (!exposedProgressBar(bar)) {
        state.SkipWithError("the bar was not exposed");
        return;
    }
    PaintCounter paints(&bar);
    EveryReport observer;
    observer.bar = &bar;
    for (auto _ : state) {
        rig.reset();
        benchmark::DoNotOptimize(flashFirmware(rig.link, rig.image, observer).completed);
    }
    state.counters["barPaints"] = benchmark::Counter(paints.paints, benchmark::Counter::kAvgIterations);
    checkDelivered(state, rig);
}
BENCHMARK(BM_FlashRepaintEveryReport)->Unit(benchmark::kMillisecond);

// For comparison: the bar set and painted after every byte, 32000 times per update.
static void BM_FlashRepaintEveryByte(benchmark::State& state)
{
    Rig rig;
    QProgressBar bar;
    if (!exposedProgressBar(bar)) {
        state.SkipWithError("the bar was not exposed");
        return;
    }
    PaintCounter paints(&bar);
    for (auto _ : state) {
        rig.reset();
        for (int n = 0; n < kFlashReports; ++n) {
            for (int j = 0; j < kFlashReportBytes; ++j) {
                bar.setValue(n * kFlashReportBytes + j);
                bar.repaint();
            }
            benchmark::DoNotOptimize(sendReport(rig.link, rig.image, n));
        }
    }
    state.counters["barPaints"] = benchmark::Counter(paints.paints, benchmark::Counter::kAvgIterations);
    checkDelivered(state, rig);
}
BENCHMARK(BM_FlashRepaintEveryByte)->Unit(benchmark::kMillisecond);

namespace {

// The console report, followed by the link's own cost per exchange once both loops have run: in real
// time, and in processor time, which other programs on a busy machine disturb less.
class OwnCostReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, as the library's own console report does by default.
    OwnCostReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0)
                seconds_[run.benchmark_name()] = {run.real_accumulated_time / double(run.iterations),
                                                  run.cpu_accumulated_time / double(run.iterations)};
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto transport = seconds_.find("BM_TransportLoop");
        const auto link = seconds_.find("BM_LinkLoop");
        if (transport == seconds_.end() || link == seconds_.end())
            return;
        auto perExchangeUs = [](double linkSeconds, double transportSeconds) {
            return (linkSeconds - transportSeconds) * 1e6 / kFlashReports;
        };
        std::printf("Link's own cost per exchange = (link loop - transport loop) / %d: %.2f us real "
                    "(%.3f ms - %.3f ms), %.2f us CPU (%.3f ms - %.3f ms)\n",
                    kFlashReports, perExchangeUs(link->second.real, transport->second.real), link->second.real * 1e3,
                    transport->second.real * 1e3, perExchangeUs(link->second.cpu, transport->second.cpu),
                    link->second.cpu * 1e3, transport->second.cpu * 1e3);
    }

private:
    struct Times {
        double real = 0;
        double cpu = 0;
    };
    std::map<std::string, Times> seconds_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    OwnCostReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
