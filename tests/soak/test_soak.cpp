// Soak: the program on the emulated display for an hour of its clock (after ten minutes to settle), in
// seconds of ours. The registers window reads twice a second, the display is unplugged and plugged back
// every minute, and the configuration is programmed every five minutes, all through the display's owner
// on its I/O thread, each step waited for before the next. The heap in use, resident memory, open files
// and the display's handles must be as flat in the last quarter of the measured hour as in its first.
//
// The emulator keeps its last 1000 reports and opened paths here (the training mode keeps 10000, which
// would take most of the hour to fill): the measured hour starts after ten minutes, once every bounded
// history of the program has reached its ceiling, so what still grows then grows without bound.
#include <QFile>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

#include "config/config_procedures.h"
#include "registers/ui/registers_window.h"
#include "support/rig.h"

using namespace trivo;
using namespace trivo::test;

namespace {

constexpr int kCycleMs = 500;  // the registers window's timer
constexpr int kCyclesPerMinute = 60'000 / kCycleMs;
constexpr int kCyclesPerHour = 60 * kCyclesPerMinute;  // 7200
constexpr int kWarmUpCycles = 10 * kCyclesPerMinute;
constexpr std::size_t kRecordLimit = 1000;
constexpr int kUnpluggedCycles = 4;  // two seconds off the bus
constexpr int kProgramEveryCycles = 5 * kCyclesPerMinute;
// Tolerance on the heap in use between the quarters' peaks: 32 KiB over the 2 700 read cycles of the 45
// minutes between them is 12 bytes a cycle, so a leak of one small string a cycle (a 32-byte block at
// least) fails; runs without a leak moved by -6 to +17 KiB (the peaks fall where the cycles happen to be).
constexpr long kHeapToleranceKiB = 32;
// Resident memory also follows the allocator's caches of the two threads (the window's and the display's
// own) and the pages they touch: runs without a leak grew by up to 224 KiB, settling after the first
// hour. Its bound catches what the heap does not count, a mapping or a thread stack left behind.
constexpr long kRssToleranceKiB = 512;

// Bytes allocated and not freed yet, whatever the allocator keeps aside.
long heapInUseKiB()
{
#if defined(__SANITIZE_ADDRESS__)
    return long(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    return long(mallinfo2().uordblks / 1024);
#endif
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Open file descriptors, less the event descriptors of Qt's own worker threads: those come and go with
// the threads on the wall clock, whatever the program does.
int openFiles()
{
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        count += target == "anon_inode:[eventfd]" ? 0 : 1;
    }
    return count;
}

struct Sample {
    long heapKiB;
    long rssKiB;
    int files;
    int handles;
};

// "HH:MM:SS" as the display sends its clock (BCD bytes shown as hex).
QString displayTime(const EmulatedDisplay& display) { return display.clock().toString(QStringLiteral("HH:mm:ss")); }

}  // namespace

class TestSoak : public QObject {
    Q_OBJECT
private slots:
    void registersWindowForAnHourWithUnplugsAndProgrammings();
};

void TestSoak::registersWindowForAnHourWithUnplugsAndProgrammings()
{
    OwnerRig rig;
    rig.transport.setRecordLimit(kRecordLimit);
    EmulatedDisplay& display = rig.transport.display();
    display.setClock(QDateTime(QDate(2024, 3, 4), QTime(8, 0, 0)));
    RegistersWindow window(rig.owner, rig.dialogs, rig.main);
    window.show();
    window.Form_Load();
    window.Timer1().stop();  // its ticks are called below, a cycle at a time
    QVERIFY(rig.settled());

    int readsChecked = 0, readFailures = 0, programmings = 0, programFailures = 0, reconnectFailures = 0;
    std::vector<Sample> measured;
    for (int cycle = 1; cycle <= kWarmUpCycles + kCyclesPerHour; ++cycle) {
        rig.transport.advanceMs(kCycleMs);
        const int inMinute = cycle % kCyclesPerMinute;
        if (inMinute == kCyclesPerMinute / 2)
            rig.transport.plug(false);
        if (inMinute == kCyclesPerMinute / 2 + kUnpluggedCycles)
            rig.transport.plug(true);
        if (cycle % 2 == 0) {  // the connection check runs every second
            rig.tick();
            if (inMinute == kCyclesPerMinute / 2 + kUnpluggedCycles && rig.owner.state() != LinkState::Connected)
                ++reconnectFailures;
        }

        window.Timer1_Timer();
        QVERIFY(rig.settled());
        if (rig.transport.plugged() && rig.owner.state() == LinkState::Connected) {
            ++readsChecked;
            if (window.lastReadout().heureTrivo != displayTime(display))
                ++readFailures;
        }

        if (cycle % kProgramEveryCycles == 10) {
            FormState form;
            form.REG_V[0] = QString::number(cycle);  // counter_start: a value the display can show back
            bool programmed = false;
            rig.owner.run<ProgramResult>(
                &window,
                [form](Exchanger& link, Progress& progress) { return programParameters(link, form, progress); },
                [&programmed](const ProgramResult& result) { programmed = result.ok(); });
            QVERIFY(rig.settled());
            ++programmings;
            if (!programmed || display.word(1) != cycle)
                ++programFailures;
        }

        if (cycle > kWarmUpCycles && cycle % kCyclesPerMinute == 0)
            measured.push_back({heapInUseKiB(), residentKiB(), openFiles(), rig.transport.openHandles()});
    }

    QCOMPARE(measured.size(), std::size_t(60));
    const auto quarter = [&](int q) {
        return std::vector<Sample>(measured.begin() + q * 15, measured.begin() + (q + 1) * 15);
    };
    const auto peak = [](const std::vector<Sample>& s, long Sample::*kiB) {
        return (*std::max_element(s.begin(), s.end(), [kiB](auto& a, auto& b) { return a.*kiB < b.*kiB; })).*kiB;
    };
    const long firstHeap = peak(quarter(0), &Sample::heapKiB);
    const long lastHeap = peak(quarter(3), &Sample::heapKiB);
    const long firstRss = peak(quarter(0), &Sample::rssKiB);
    const long lastRss = peak(quarter(3), &Sample::rssKiB);
    qInfo("soak: %d read cycles checked (%d wrong), %d programmings (%d failed), %d re-plugs not reconnected",
          readsChecked, readFailures, programmings, programFailures, reconnectFailures);
    qInfo("soak: heap in use peak %ld KiB in the first quarter, %ld KiB in the last (growth %ld KiB, tolerance "
          "%ld KiB)",
          firstHeap, lastHeap, lastHeap - firstHeap, kHeapToleranceKiB);
    qInfo("soak: resident memory peak %ld KiB in the first quarter, %ld KiB in the last (growth %ld KiB, "
          "tolerance %ld KiB)",
          firstRss, lastRss, lastRss - firstRss, kRssToleranceKiB);
    QStringList minutes;
    for (const Sample& s : measured)
        minutes << QString::number(s.rssKiB);
    qInfo("soak: resident memory each minute of the measured hour (KiB): %s", qPrintable(minutes.join(u' ')));
    qInfo("soak: open files %d first, %d last; display handles %d first, %d last", measured.front().files,
          measured.back().files, measured.front().handles, measured.back().handles);

    QVERIFY(firstHeap > 0);
    QVERIFY(firstRss > 0);
    QCOMPARE(readFailures, 0);
    QVERIFY(readsChecked > (kWarmUpCycles + kCyclesPerHour) * 9 / 10);
    QCOMPARE(programFailures, 0);
    QCOMPARE(programmings, (kWarmUpCycles + kCyclesPerHour) / kProgramEveryCycles);
    QCOMPARE(reconnectFailures, 0);
    QVERIFY2(lastHeap - firstHeap <= kHeapToleranceKiB, "the heap in use grows");
    QVERIFY2(lastRss - firstRss <= kRssToleranceKiB, "resident memory grows");
    for (const Sample& s : measured) {
        QCOMPARE(s.files, measured.front().files);
        QCOMPARE(s.handles, measured.front().handles);
    }
    QVERIFY(measured.front().handles <= 2);  // the link's write and read handles
}

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
