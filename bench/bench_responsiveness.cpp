// How long the windows' event loop goes without coming round while the display works, on the emulated
// display at 2 ms per exchange (in real time, as on a USB cable): a firmware update from the maintenance
// window, a picture sent from the home-screen window, a read of a display that does not answer from the
// configuration window (the full 6 s time-out), and ten seconds of the registers window following the
// display (on its values page, then with its curves of a full hour shown). The counter maxStallMs is the longest gap between two passes of the event loop; the goal is
// 20 ms at most in each. maxBusyMs is the GUI thread's own processor time in its busiest gap, and the idle
// loop's figures are what the machine itself costs (other programs, the scheduler). Runs on the offscreen
// platform unless another is asked for.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>

#include <functional>

#include "bench_support.h"
#include "common/dialogs.h"
#include "common/main_services.h"
#include "configwindow/config_window.h"
#include "emulator/emulated_display.h"
#include "link/display_owner.h"
#include "maintenance/firmware_flasher.h"
#include "maintenance/ui/maintenance_window.h"
#include "registers/ui/registers_window.h"
#include "screen/ui/screen_window.h"

using namespace trivo;

namespace {

constexpr int kLatencyMs = 2;
constexpr int kLimitMs = 120000;  // a bound for an operation that never comes back, not a measure

// The emulated display at USB speed, its owner with the program's own time-out, found by a first check.
struct WindowRig {
    EmulatedTransport transport;
    DisplayOwner owner{transport};
    ScriptedDialogs dialogs;
    PlainMainServices main;
    bool ready = false;
    WindowRig()
    {
        transport.plug(true);
        transport.setRealTime(true);  // time-outs and replies waited for on the clock, as on a cable
        transport.setLatencyMs(kLatencyMs);
        owner.DETECT_CON_Timer();
        ready = bench::settle(owner) && owner.state() == LinkState::Connected;
        owner.startMonitor();  // the connection check once a second, as in the program
    }
};

// Starts the operation with the meter running and keeps the event loop going until it is over; the
// longest stall goes to the counter.
bool measure(benchmark::State& state, const std::function<void()>& start, const std::function<bool()>& over)
{
    bench::StallMeter meter;
    meter.start();
    start();
    const QDeadlineTimer deadline(kLimitMs);
    while (!over() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    meter.stop();
    state.counters["maxStallMs"] = meter.worstMs();
    state.counters["maxBusyMs"] = meter.busiestMs();
    state.counters["loopPasses"] = meter.passes();
    if (!over())
        state.SkipWithError("the operation did not end");
    return over();
}

}  // namespace

// The floor: the event loop with nothing to do for two seconds.
static void BM_IdleEventLoop(benchmark::State& state)
{
    for (auto _ : state) {
        QElapsedTimer idle;
        measure(state, [&] { idle.start(); }, [&] { return idle.hasExpired(2000); });
    }
}
BENCHMARK(BM_IdleEventLoop)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_FirmwareUpdateFromWindow(benchmark::State& state)
{
    WindowRig rig;
    rig.transport.display().updateMode = true;
    MaintenanceWindow window(rig.owner, rig.dialogs, rig.main);
    window.Form_Load();
    FirmwareImage image;
    for (std::size_t a = 0; a < image.size(); ++a)
        image[a] = uint8_t(a * 7);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fw.hex"));
    if (!rig.ready || !bench::exposed(window) || !bench::writeHexFile(path, image)) {
        state.SkipWithError("no display, window or file");
        return;
    }
    rig.dialogs.fileAnswers.append(path);
    window.Cmd_Openfile_Click();
    if (!window.imageLoaded()) {
        state.SkipWithError("the window did not read the image");
        return;
    }
    for (auto _ : state) {
        rig.dialogs.messageAnswers.append(MsgResult::Yes);
        if (!measure(state, [&] { window.CMD_Flash_OK_Click(); }, [&] { return rig.owner.idle(); }))
            return;
    }
    if (!window.lastFlash().completed)
        state.SkipWithError("the update did not complete");
}
BENCHMARK(BM_FirmwareUpdateFromWindow)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_PictureSendFromWindow(benchmark::State& state)
{
    WindowRig rig;
    ScreenWindow window(rig.owner, rig.dialogs, rig.main);
    window.Form_Load();
    if (!rig.ready || !bench::settle(rig.owner) || !bench::exposed(window)) {
        state.SkipWithError("no display or window");
        return;
    }
    for (auto _ : state) {
        rig.transport.clearRecord();
        if (!measure(state, [&] { window.but_WR_HID_ECR_Click(); }, [&] { return rig.owner.idle(); }))
            return;
    }
    const DisplayBitmap sent = window.picture().pack();
    const auto lock = rig.transport.lock();
    if (!std::equal(sent.begin(), sent.end(), rig.transport.display().picture.begin()))
        state.SkipWithError("the display does not hold the picture");
}
BENCHMARK(BM_PictureSendFromWindow)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_SilentDisplayReadFromWindow(benchmark::State& state)
{
    WindowRig rig;
    ConfigWindow window(rig.owner, rig.dialogs, rig.main);
    if (!rig.ready || !bench::exposed(window)) {
        state.SkipWithError("no display or window");
        return;
    }
    rig.transport.setSilent(true);
    for (auto _ : state) {
        rig.dialogs.messages.clear();
        if (!measure(state, [&] { window.LIRE_PARAM(); }, [&] { return rig.owner.idle(); }))
            return;
    }
    if (rig.dialogs.messages.isEmpty() || rig.dialogs.messages.back().title != QStringLiteral("Lecture interrompue."))
        state.SkipWithError("the read was not told as interrupted");
}
BENCHMARK(BM_SilentDisplayReadFromWindow)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_RegistersFollowingTenSeconds(benchmark::State& state)
{
    WindowRig rig;
    RegistersWindow window(rig.owner, rig.dialogs, rig.main);
    if (!rig.ready || !bench::exposed(window)) {
        state.SkipWithError("no display or window");
        return;
    }
    int reads = 0;
    for (auto _ : state) {
        rig.transport.clearRecord();
        QElapsedTimer following;
        if (!measure(
                state,
                [&] {
                    following.start();
                    window.Form_Load();  // one read at once, then the window's 500 ms timer
                },
                [&] { return following.hasExpired(10000); }))
            return;
        window.Timer1().stop();
        bench::settle(rig.owner);
        reads = int(rig.transport.outputReports().size());
    }
    state.counters["reads"] = reads;
    if (reads < 20)
        state.SkipWithError("the window did not follow the display");
}
BENCHMARK(BM_RegistersFollowingTenSeconds)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with the curves page shown and a full hour in memory (a read every 500 ms): each answered read
// redraws both curves.
static void BM_RegistersCurvesAnHourShown(benchmark::State& state)
{
    WindowRig rig;
    RegistersWindow window(rig.owner, rig.dialogs, rig.main);
    if (!rig.ready || !bench::exposed(window)) {
        state.SkipWithError("no display or window");
        return;
    }
    // The hour is read at full speed on the values page, on a clock half a second a read.
    window.setClock([at = std::make_shared<QDateTime>(QDateTime::currentDateTimeUtc().addSecs(-3600))] {
        return *at = at->addMSecs(500);
    });
    rig.transport.setRealTime(false);
    rig.transport.setLatencyMs(0);
    for (int i = 0; i < 7200; ++i) {
        rig.transport.display().temperatureSixteenths = int16_t(320 + (i / 40) % 64);
        rig.transport.display().radioLevel = uint8_t((i / 100) % 8);
        window.Timer1_Timer();
        if (!bench::settle(rig.owner)) {
            state.SkipWithError("the hour was not read");
            return;
        }
    }
    rig.transport.setRealTime(true);
    rig.transport.setLatencyMs(kLatencyMs);
    window.setClock([] { return QDateTime::currentDateTimeUtc(); });
    window.pages()->setCurrentIndex(1);
    int reads = 0;
    for (auto _ : state) {
        rig.transport.clearRecord();
        QElapsedTimer following;
        if (!measure(
                state,
                [&] {
                    following.start();
                    window.Form_Load();
                },
                [&] { return following.hasExpired(10000); }))
            return;
        window.Timer1().stop();
        bench::settle(rig.owner);
        reads = int(rig.transport.outputReports().size());
    }
    state.counters["reads"] = reads;
    state.counters["points"] = window.history().size();
    if (reads < 20)
        state.SkipWithError("the window did not follow the display");
}
BENCHMARK(BM_RegistersCurvesAnHourShown)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The windows read the Outils menu's switches: the benchmark's own, never the user's.
    QTemporaryDir settings;
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("trivo-bench"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
