#pragma once
// A line of emulated displays for training, the tests and the benchmark: as many displays at a time as
// there are places, one per port. A display is taken away at the check after the one that found it
// (shortly after its signal), and the port gets the next unit once its place has seen it empty. Every unit is a
// fresh display with its own random parameter block, reproducible from the seed.
#include <QtGlobal>

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "config/parameter_block.h"
#include "emulator/emulated_display.h"
#include "emulator/faults.h"
#include "production/production_line.h"

namespace trivo::production {

struct EmulatedLineSettings {
    int units = 1;
    int places = 1;
    quint32 seed = 1;
    int replyDelayMs = 0;  // each reply this long after its request
    int latencyMs = 0;     // every exchange this long in real time, as on a real USB link (--latence)
    // Replies and time-outs waited for in real time (training in the window, the benchmark); otherwise on
    // each display's own clock, at once.
    bool realTime = false;
    std::map<int, FaultSpec> faults;  // by unit number
};

// What a unit held when it was taken away.
struct EmulatedUnitOutcome {
    int unit = 0;
    std::string path;
    uint8_t leds = 0;  // bit 0 red, bit 1 green, bit 2 blue
    int beeps = 0;     // output-drive reports that sounded the buzzer
    ParameterBlock block{};
    std::array<uint8_t, EmulatedDisplay::kPictureBytes> picture{};
};

class EmulatedLine final : public UnitSource {
public:
    explicit EmulatedLine(EmulatedLineSettings settings);
    ~EmulatedLine() override;

    // The block unit `unit` holds when it is plugged.
    static ParameterBlock randomBlock(quint32 seed, int unit);
    // The USB path of a place's port.
    static std::string portPath(int place);

    std::unique_ptr<HidTransport> busFor(int place) override;
    int claimUnit(int place, const std::string& path) override;
    bool exhausted(int place) const override;

    // The units taken away so far, in that order.
    std::vector<EmulatedUnitOutcome> outcomes() const;

private:
    class Port;
    struct Unit {
        int number = 0;
        std::unique_ptr<EmulatedTransport> transport;
        int checks = 0;  // enumerations that found it
    };
    // Under the mutex: the unit at a place, plugging the next one or taking one away as a check comes.
    Unit* unitForCheck(int place);
    Unit* unitAt(int place);

    EmulatedLineSettings settings_;
    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<Unit>> ports_;
    std::vector<bool> resting_;  // by port: emptied, and its place has not looked again yet
    int next_ = 1;
    std::vector<EmulatedUnitOutcome> outcomes_;
};

}  // namespace trivo::production
