#include "production/emulated_line.h"

#include <QRandomGenerator>

#include "link/exchanger.h"

namespace trivo::production {

namespace {

constexpr int kUnitShift = 24;  // a handle carries its unit's number above the emulated transport's handle
constexpr HidTransport::Handle kInnerMask = (HidTransport::Handle(1) << kUnitShift) - 1;

int beepsIn(const EmulatedTransport& transport)
{
    int beeps = 0;
    for (const RecordedReport& r : transport.record())
        if (r.output && r.bytes.size() > 4 && r.bytes[1] == 0x01 && r.bytes[2] == 0x05 && r.bytes[3] == 0x00
            && (r.bytes[4] & 0x02))
            ++beeps;
    return beeps;
}

}  // namespace

// One place's view of the line: its port, with whichever unit is plugged into it.
class EmulatedLine::Port final : public HidTransport {
public:
    Port(EmulatedLine& line, int place) : line_(line), place_(place), path_(portPath(place)) {}

    std::vector<HidInterfaceInfo> enumerate() override
    {
        Unit* unit = line_.unitForCheck(place_);
        lastError_ = "Success";
        if (!unit)
            return {};
        std::vector<HidInterfaceInfo> list = unit->transport->enumerate();
        for (HidInterfaceInfo& info : list)
            if (info.path == EmulatedTransport::kDisplayPath)
                info.path = path_;
        return list;
    }
    Handle open(const std::string& path) override
    {
        Unit* unit = line_.unitAt(place_);
        if (!unit || path != path_) {
            lastError_ = "No such file or directory";
            return 0;
        }
        const Handle inner = unit->transport->open(EmulatedTransport::kDisplayPath);
        lastError_ = unit->transport->lastError();
        return inner == 0 ? 0 : (Handle(unit->number) << kUnitShift) | inner;
    }
    ReportLengths reportLengths(Handle handle) override
    {
        Unit* unit = owner(handle);
        return unit ? keep(unit, unit->transport->reportLengths(handle & kInnerMask)) : ReportLengths{};
    }
    int write(Handle handle, const uint8_t* data, std::size_t length) override
    {
        Unit* unit = owner(handle);
        return unit ? keep(unit, unit->transport->write(handle & kInnerMask, data, length)) : -1;
    }
    ReadStatus read(Handle handle, uint8_t* buffer, std::size_t length, int timeoutMs, std::size_t& bytesRead) override
    {
        bytesRead = 0;
        Unit* unit = owner(handle);
        if (!unit)
            return ReadStatus::Error;
        return keep(unit, unit->transport->read(handle & kInnerMask, buffer, length, timeoutMs, bytesRead));
    }
    bool close(Handle handle) override
    {
        Unit* unit = owner(handle);
        return unit && keep(unit, unit->transport->close(handle & kInnerMask));
    }
    std::string lastError() const override { return lastError_; }

private:
    // The unit a handle was opened on, if it is still plugged here; a handle of a unit taken away is dead.
    Unit* owner(Handle handle)
    {
        Unit* unit = line_.unitAt(place_);
        if (!unit || (handle >> kUnitShift) != unit->number) {
            lastError_ = "Bad file descriptor";
            return nullptr;
        }
        return unit;
    }
    template <typename T>
    T keep(Unit* unit, T value)
    {
        lastError_ = unit->transport->lastError();
        return value;
    }

    EmulatedLine& line_;
    int place_;
    std::string path_;
    std::string lastError_;
};

EmulatedLine::EmulatedLine(EmulatedLineSettings settings) : settings_(settings)
{
    ports_.resize(std::size_t(std::max(1, settings_.places)));
    resting_.resize(ports_.size(), false);
}

EmulatedLine::~EmulatedLine() = default;

ParameterBlock EmulatedLine::randomBlock(quint32 seed, int unit)
{
    QRandomGenerator random(seed * 1000003u + quint32(unit));
    ParameterBlock block{};
    block[0] = kBlockSignature[0];
    block[1] = kBlockSignature[1];
    block[2] = kBlockSignature[2];
    block[3] = random.bounded(2) ? kModeTotaliser : kModeProduction;
    for (std::size_t i = 4; i < block.size(); ++i)
        block[i] = uint8_t(random.bounded(256));
    return block;
}

std::string EmulatedLine::portPath(int place) { return "emulated:hub-port" + std::to_string(place + 1); }

std::unique_ptr<HidTransport> EmulatedLine::busFor(int place) { return std::make_unique<Port>(*this, place); }

EmulatedLine::Unit* EmulatedLine::unitAt(int place)
{
    std::lock_guard lock(mutex_);
    return ports_[std::size_t(place)].get();
}

EmulatedLine::Unit* EmulatedLine::unitForCheck(int place)
{
    std::lock_guard lock(mutex_);
    std::unique_ptr<Unit>& slot = ports_[std::size_t(place)];
    bool takenAway = false;
    if (slot && slot->checks >= 1) {
        const EmulatedDisplay& display = slot->transport->display();
        EmulatedUnitOutcome outcome;
        outcome.unit = slot->number;
        outcome.path = portPath(place);
        outcome.leds = display.leds;
        outcome.beeps = beepsIn(*slot->transport);
        std::copy(display.block.begin(), display.block.end(), outcome.block.begin());
        outcome.picture = display.picture;
        outcomes_.push_back(outcome);
        slot.reset();
        takenAway = true;
        // A connection check may look twice (once for the display that stopped answering, once for any
        // display): the port stays empty for the next look too, so that the place sees the unplug.
        resting_[std::size_t(place)] = true;
    } else if (!slot && resting_[std::size_t(place)]) {
        resting_[std::size_t(place)] = false;
        takenAway = true;
    }
    // As many displays at a time as there are places: every empty port gets the next unit, except one just
    // emptied, whose place must first see it empty.
    for (std::size_t p = 0; p < ports_.size() && next_ <= settings_.units; ++p) {
        if (ports_[p] || resting_[p] || (int(p) == place && takenAway))
            continue;
        auto unit = std::make_unique<Unit>();
        unit->number = next_++;
        unit->transport = std::make_unique<EmulatedTransport>();
        const ParameterBlock block = randomBlock(settings_.seed, unit->number);
        std::copy(block.begin(), block.end(), unit->transport->display().block.begin());
        unit->transport->setRealTime(settings_.realTime);
        if (settings_.replyDelayMs > 0)
            unit->transport->setReplyDelayMs(settings_.replyDelayMs);
        unit->transport->setLatencyMs(settings_.latencyMs);
        if (const auto fault = settings_.faults.find(unit->number); fault != settings_.faults.end())
            unit->transport->injectFault(fault->second);
        ports_[p] = std::move(unit);
    }
    if (takenAway || !slot)
        return nullptr;
    ++slot->checks;
    return slot.get();
}

int EmulatedLine::claimUnit(int place, const std::string&)
{
    std::lock_guard lock(mutex_);
    const Unit* unit = ports_[std::size_t(place)].get();
    return unit ? unit->number : 0;
}

bool EmulatedLine::exhausted(int place) const
{
    std::lock_guard lock(mutex_);
    return next_ > settings_.units && !ports_[std::size_t(place)];
}

std::vector<EmulatedUnitOutcome> EmulatedLine::outcomes() const
{
    std::lock_guard lock(mutex_);
    return outcomes_;
}

}  // namespace trivo::production
