#include "production/line_clock.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace trivo::production {

namespace {

constexpr int kStopPollMs = 50;

class RealClock final : public LineClock {
public:
    RealClock() { timer_.start(); }
    void wait(int ms, const std::function<bool()>& stopped) override
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < ms && !(stopped && stopped()))
            QThread::msleep(std::clamp<qint64>(ms - waited.elapsed(), 1, kStopPollMs));
    }
    qint64 nowMs() const override { return timer_.elapsed(); }

private:
    QElapsedTimer timer_;
};

class VirtualClock final : public LineClock {
public:
    VirtualClock() { timer_.start(); }
    void wait(int ms, const std::function<bool()>&) override { waited_ += std::max(ms, 0); }
    qint64 nowMs() const override { return timer_.elapsed() + waited_; }

private:
    QElapsedTimer timer_;
    qint64 waited_ = 0;
};

}  // namespace

std::unique_ptr<LineClock> makeLineClock(bool virtualTime)
{
    if (virtualTime)
        return std::make_unique<VirtualClock>();
    return std::make_unique<RealClock>();
}

}  // namespace trivo::production
