#pragma once
// What the window benchmarks share: a window on screen, a firmware file to hand the maintenance window,
// waiting for the display's owner, and the longest stall of the event loop.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <ctime>

#include "link/display_owner.h"
#include "maintenance/firmware_image.h"

namespace trivo::bench {

// Painting starts once a window is on screen; wait for that as a test would.
inline bool exposed(QWidget& w)
{
    w.show();
    const QDeadlineTimer deadline(10000);
    while (!(w.windowHandle() && w.windowHandle()->isExposed()) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    QCoreApplication::processEvents();
    return w.windowHandle() && w.windowHandle()->isExposed();
}

// The image as an Intel HEX file, 16 bytes a record, as the maintenance window reads it.
inline bool writeHexFile(const QString& path, const FirmwareImage& image)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    for (int n = 0; n < kMaxRecords; ++n) {
        QByteArray line = ":10" + QByteArray::number(n * 16, 16).rightJustified(4, '0').toUpper() + "00";
        unsigned sum = 0x10 + ((n * 16) >> 8) + ((n * 16) & 0xFF);
        for (int i = 0; i < 16; ++i) {
            const uint8_t b = image[std::size_t(n * 16 + i)];
            line += QByteArray::number(b, 16).rightJustified(2, '0').toUpper();
            sum += b;
        }
        line += QByteArray::number((0x100 - (sum & 0xFF)) & 0xFF, 16).rightJustified(2, '0').toUpper() + "\r\n";
        f.write(line);
    }
    return f.write(":00000001FF\r\n") > 0;
}

// Runs the event loop until everything asked of the owner has come back; false past the limit.
inline bool settle(DisplayOwner& owner, int limitMs = 60000)
{
    const QDeadlineTimer deadline(limitMs);
    while (!owner.idle() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    QCoreApplication::processEvents();
    return owner.idle();
}

// The longest time the GUI thread went without its event loop coming round: a 1 ms timer notes the
// time of every pass; whatever runs on the GUI thread between two passes is a stall. On a busy machine a
// gap may also be time the thread was not given the processor: the thread's own processor time in its
// longest-working gap (busy) tells the two apart, though not a wait for another thread.
class StallMeter {
public:
    StallMeter()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { pass(); });
    }
    void start()
    {
        worstNs_ = 0;
        busiestNs_ = 0;
        passes_ = 0;
        clock_.start();
        lastNs_ = clock_.nsecsElapsed();
        lastCpuNs_ = threadCpuNs();
        timer_.start();
    }
    // Ends the measure with one last pass (what ran since the last one counts).
    void stop()
    {
        pass();
        timer_.stop();
    }
    double worstMs() const { return double(worstNs_) / 1e6; }
    double busiestMs() const { return double(busiestNs_) / 1e6; }
    int passes() const { return passes_; }

private:
    static qint64 threadCpuNs()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
    }
    void pass()
    {
        const qint64 now = clock_.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        worstNs_ = std::max(worstNs_, now - lastNs_);
        busiestNs_ = std::max(busiestNs_, cpu - lastCpuNs_);
        lastNs_ = now;
        lastCpuNs_ = cpu;
        ++passes_;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 lastNs_ = 0;
    qint64 lastCpuNs_ = 0;
    qint64 worstNs_ = 0;
    qint64 busiestNs_ = 0;
    int passes_ = 0;
};

}  // namespace trivo::bench
