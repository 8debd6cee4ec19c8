#pragma once
// The time of a line: the waits between connection checks and between beeps, and the clock that times
// each unit. A line on real displays waits for real; an emulated line for the command line, the tests and
// the benchmark counts its waits without sleeping, so that a day of units runs in moments.
#include <QtGlobal>

#include <functional>
#include <memory>

namespace trivo::production {

class LineClock {
public:
    virtual ~LineClock() = default;
    // Waits ms, or less when stopped() turns true; stopped is asked at least every 50 ms.
    virtual void wait(int ms, const std::function<bool()>& stopped) = 0;
    // Milliseconds since the clock was made, waits included.
    virtual qint64 nowMs() const = 0;
};

std::unique_ptr<LineClock> makeLineClock(bool virtualTime);

}  // namespace trivo::production
