#include "emulator/emulated_display.h"

#include <algorithm>
#include <thread>

namespace trivo {

namespace {

// Parameter block offsets used by the display itself.
constexpr int kWordCount = 13;  // word 0 = signature and mode, words 1..12 the values
constexpr int kFirstSettingByte = 0x34;
constexpr int kLastSettingByte = 0x43;
constexpr int kGeneralFlags = 0x34;
constexpr int kRelay1Rule = 0x3C;
constexpr int kRelay2Rule = 0x3D;
constexpr int kBuzzerRule = 0x3E;
constexpr int kRelay1ThresholdWord = 7;
constexpr int kRelay2ThresholdWord = 8;
constexpr int kBuzzerThresholdWord = 9;

// Rule bits shared by the relays and the buzzer.
constexpr uint8_t kRuleTotaliser = 0x02;
constexpr uint8_t kRuleOpens = 0x04;   // relay opens (buzzer: silent) when the rule fires
constexpr uint8_t kRuleCloses = 0x08;  // relay closes (buzzer: sounds) when the rule fires
constexpr uint8_t kRuleGreaterOrEqual = 0x40;

// Home-screen memory: written at 0x6000 upwards, read back from 0x0000 upwards.
constexpr int kPictureWriteBase = 0x6000;
constexpr int kPictureChunk = 32;

// Output drive: byte 3 bits of the three LEDs and of the buzzer.
constexpr uint8_t kLedBits[3] = {0x80, 0x20, 0x08};
constexpr uint8_t kBuzzerBit = 0x02;

uint8_t bcd(int value)
{
    value %= 100;
    return static_cast<uint8_t>(((value / 10) << 4) | (value % 10));
}

// Wraps like the display's 32-bit registers instead of overflowing.
int32_t wrappingAdd(int32_t value, int32_t delta)
{
    return static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(delta));
}

void putTime(std::array<uint8_t, 64>& reply, int at, const QDateTime& time, bool withSeconds)
{
    if (!time.isValid())
        return;
    const QDate d = time.date();
    const QTime t = time.time();
    int i = at;
    if (withSeconds)
        reply[i++] = bcd(t.second());
    reply[i++] = bcd(t.minute());
    reply[i++] = bcd(t.hour());
    reply[i++] = static_cast<uint8_t>(d.dayOfWeek());  // Qt: 1 = Monday .. 7 = Sunday, as the display
    reply[i++] = bcd(d.day());
    reply[i++] = bcd(d.month());
    reply[i++] = bcd(d.year());
}

}  // namespace

// ================================================================================================
// EmulatedDisplay

EmulatedDisplay::EmulatedDisplay()
{
    block.fill(0);
    setSignature(0x42, 0x43, 0x49, 0x50);
    // The configuration window's own initial values, so a fresh display reads back as a sensible form.
    const int32_t words[13] = {0, 0, 0, 10, 25, 8, 25, 2, 4, 6, 1, 0, 0};
    for (int n = 1; n < kWordCount; ++n)
        setWord(n, words[n]);
    const uint8_t bytes[16] = {0x0F,           // general_flags: white LCD, both relays and the buzzer in use
                               3,    3,        // parameter and home screen seconds at power-on
                               1,    1,    1,  // relay 1, relay 2, buzzer pulse seconds
                               0x01,           // decimal point at digit 0
                               0x55,  // immediate reset, no parameter or home screen at power-on, no anti-bounce
                               0xC9, 0xC9, 0xC9,      // counter, closes/active, greater or equal, re-armable
                               20,                    // anti-bounce 10 ms
                               3,    3,    0x07, 3};  // production, balance display seconds, all shown, total seconds
    std::copy(std::begin(bytes), std::end(bytes), block.begin() + kFirstSettingByte);
    picture.fill(0xFF);
    // Radio clocks usually synchronise at night: the last 03:00 that has passed.
    const QDateTime now = QDateTime::currentDateTime();
    radioSync = QDateTime(now.date(), QTime(3, 0));
    if (radioSync > now)
        radioSync = radioSync.addDays(-1);
}

void EmulatedDisplay::setSignature(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3)
{
    block[0] = b0;
    block[1] = b1;
    block[2] = b2;
    block[3] = b3;
}

int32_t EmulatedDisplay::word(int n) const
{
    if (n < 0 || n >= kWordCount)
        return 0;
    const int o = 4 * n;
    return static_cast<int32_t>((uint32_t(block[o]) << 24) | (uint32_t(block[o + 1]) << 16)
                                | (uint32_t(block[o + 2]) << 8) | uint32_t(block[o + 3]));
}

void EmulatedDisplay::setWord(int n, int32_t value)
{
    if (n < 0 || n >= kWordCount)
        return;
    const auto v = static_cast<uint32_t>(value);
    const int o = 4 * n;
    block[o] = static_cast<uint8_t>(v >> 24);
    block[o + 1] = static_cast<uint8_t>(v >> 16);
    block[o + 2] = static_cast<uint8_t>(v >> 8);
    block[o + 3] = static_cast<uint8_t>(v);
}

void EmulatedDisplay::setClock(const QDateTime& time)
{
    fixedClock_ = time;
    fixedAt_ = time;
}

void EmulatedDisplay::followPcClock() { fixedClock_.reset(); }

QDateTime EmulatedDisplay::clock() const { return fixedClock_ ? *fixedClock_ : QDateTime::currentDateTime(); }

void EmulatedDisplay::advanceClockMs(long long ms)
{
    if (fixedClock_)
        fixedClock_ = fixedClock_->addMSecs(ms);
}

std::array<uint8_t, 64> EmulatedDisplay::handle(const std::array<uint8_t, 64>& request)
{
    std::array<uint8_t, 64> reply{};
    if (updateMode) {
        // The loader takes every report as image bytes; it has no command codes.
        firmware.insert(firmware.end(), request.begin(), request.end());
        return reply;
    }
    const uint8_t code = request[0];
    ++requestCounts_[code];
    switch (code) {
    case 0x01: {  // output drive: 01 05 switch bits
        if (request[1] != 0x05)
            break;
        driveSwitch = request[2];
        driveBits = request[3];
        // Each request sets the whole output image: the LEDs light with the switch at 01, the buzzer
        // sounds with it at 00 (so 00 00 and 01 00 both leave everything quiet and dark).
        leds = 0;
        if (driveSwitch == 0x01)
            for (int i = 0; i < 3; ++i)
                if (driveBits & kLedBits[i])
                    leds |= static_cast<uint8_t>(1u << i);
        buzzer = driveSwitch == 0x00 && (driveBits & kBuzzerBit) != 0;
        break;
    }
    case 0x02: {  // memory read: 02 device address-high address-low device
        const int address = (request[2] << 8) | request[3];
        if (request[1] == 0xD0) {
            putTime(reply, 0, clock(), true);
            putTime(reply, 8, radioSync, false);
            reply[36] = leds & 0x07;
            reply[37] = buttons & 0x07;
            reply[38] = radioLevel;
            const auto t = static_cast<uint16_t>(temperatureSixteenths);
            reply[39] = static_cast<uint8_t>(t & 0xFF);
            reply[40] = static_cast<uint8_t>(t >> 8);
        } else if (request[1] == 0xA0) {
            for (int i = 0; i < kPictureChunk && address + i < kPictureBytes; ++i)
                reply[i] = picture[address + i];
        }
        break;
    }
    case 0x30: std::copy(block.begin(), block.begin() + 0x20, reply.begin()); break;
    case 0x31: std::copy(block.begin() + 0x20, block.end(), reply.begin()); break;
    case 0x32: {  // 32 n w3 w2 w1 w0
        const int n = request[1];
        if (n < kWordCount)
            std::copy(request.begin() + 2, request.begin() + 6, block.begin() + 4 * n);
        break;
    }
    case 0x33: {  // 33 offset index value: only the sixteen setting bytes are writable this way
        const int offset = request[1];
        if (offset >= kFirstSettingByte && offset <= kLastSettingByte)
            block[offset] = request[3];
        break;
    }
    case 0x34: counter = word(1); break;
    case 0x35: totaliser = word(2); break;
    case 0x36:
        counter = wrappingAdd(counter, 1);
        totaliser = wrappingAdd(totaliser, 1);
        break;
    case 0x37:
        counter = wrappingAdd(counter, -1);
        totaliser = wrappingAdd(totaliser, -1);
        break;
    case 0x38:
        ++restarts;
        leds = 0;
        buzzer = false;
        lcdCleared = false;
        break;
    case 0x46:
        lcdCleared = true;
        ++clears;
        break;
    case 0x49: {  // 49 A0 address-high address-low, 32 picture bytes
        const int offset = ((request[2] << 8) | request[3]) - kPictureWriteBase;
        if (request[1] != 0xA0 || offset < 0)
            break;
        for (int i = 0; i < kPictureChunk && offset + i < kPictureBytes; ++i)
            picture[offset + i] = request[4 + i];
        break;
    }
    default: break;
    }
    return reply;
}

bool EmulatedDisplay::ruleFires(int ruleOffset, int enableBit, int thresholdWord) const
{
    if ((block[kGeneralFlags] & (1u << enableBit)) == 0)
        return false;  // an output not in use never switches
    const uint8_t rule = block[ruleOffset];
    const int32_t value = (rule & kRuleTotaliser) ? totaliser : counter;
    const int32_t threshold = word(thresholdWord);
    return (rule & kRuleGreaterOrEqual) ? value >= threshold : value <= threshold;
}

// A relay with "S'OUVRE" is held closed until its rule fires; with "SE FERME" it closes when it fires.
// Pulse durations and latching are left out: the live view shows the level the rule asks for.
bool EmulatedDisplay::relay1() const
{
    if ((block[kGeneralFlags] & 0x02) == 0)
        return false;  // not in use: contact open, whatever the rule
    const bool fires = ruleFires(kRelay1Rule, 1, kRelay1ThresholdWord);
    return (block[kRelay1Rule] & kRuleOpens) ? !fires : fires;
}

bool EmulatedDisplay::relay2() const
{
    if ((block[kGeneralFlags] & 0x04) == 0)
        return false;
    const bool fires = ruleFires(kRelay2Rule, 2, kRelay2ThresholdWord);
    return (block[kRelay2Rule] & kRuleOpens) ? !fires : fires;
}

bool EmulatedDisplay::buzzerByRule() const
{
    return (block[kBuzzerRule] & kRuleCloses) != 0 && ruleFires(kBuzzerRule, 3, kBuzzerThresholdWord);
}

// ================================================================================================
// EmulatedTransport

namespace {
constexpr const char* kNoDevice = "No such device";
constexpr const char* kNoFile = "No such file or directory";
constexpr const char* kBadHandle = "Bad file descriptor";
constexpr const char* kTimedOut = "Connection timed out";
constexpr const char* kSuccess = "Success";
constexpr const char* kIoError = "Input/output error";
constexpr const char* kDenied = "Permission denied";
constexpr std::size_t kFrame = 65;
}  // namespace

EmulatedTransport::EmulatedTransport() : start_(std::chrono::steady_clock::now())
{
    Device main;
    main.info = {kDisplayPath, 0x1234, 0x0001, 0x0100, serialOf(0), true};
    main.kind = Kind::MainDisplay;
    devices_.push_back(main);
    plugged_ = true;
}

long long EmulatedTransport::nowMs() const
{
    if (!realTime_)
        return offsetMs_;
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() + offsetMs_;
}

void EmulatedTransport::setRealTime(bool realTime)
{
    const std::lock_guard lock(mutex_);
    // The clock carries on from where it stands.
    const long long now = nowMs();
    realTime_ = realTime;
    start_ = std::chrono::steady_clock::now();
    offsetMs_ = now;
}

void EmulatedTransport::wait(std::unique_lock<std::mutex>& lock, long long ms)
{
    if (ms <= 0)
        return;
    if (!realTime_) {
        offsetMs_ += ms;
        return;
    }
    // The operator's switches (plug, faults) stay usable while the link waits on the display.
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    lock.lock();
}

void EmulatedTransport::setLatencyMs(int ms)
{
    const std::lock_guard lock(mutex_);
    latencyMs_ = std::max(0, ms);
}

std::unique_lock<std::mutex> EmulatedTransport::lock() const { return std::unique_lock(mutex_); }

void EmulatedTransport::plug(bool present)
{
    const std::lock_guard lock(mutex_);
    plugLocked(present);
}

void EmulatedTransport::plugLocked(bool present)
{
    if (plugged_ && !present) {
        for (Device& d : devices_)
            if (d.kind == Kind::MainDisplay) {
                ++d.generation;
                d.pending.clear();
            }
    }
    plugged_ = present;
    unplugWhenDrained_ = false;
    if (present)
        unplugAfter_ = -1;
}

void EmulatedTransport::injectFault(Fault fault, int atExchange, int param)
{
    const std::lock_guard lock(mutex_);
    removeFaultLocked(fault);
    atExchange = std::max(0, atExchange);
    if (fault == Fault::Unplugged) {
        // Counted in answered reports, so that the last one's reply can still be read.
        unplugAfter_ = atExchange;
        if (atExchange == 0)
            plugLocked(false);
        return;
    }
    Injected injected;
    injected.spec = {fault, atExchange, param == kDefaultFaultParam ? faultInfo(fault).defaultParam : param};
    injected.startsAt = displayWrites_ + atExchange;
    faults_.push_back(injected);
}

void EmulatedTransport::removeFault(Fault fault)
{
    const std::lock_guard lock(mutex_);
    removeFaultLocked(fault);
}

void EmulatedTransport::removeFaultLocked(Fault fault)
{
    if (fault == Fault::Unplugged) {
        unplugAfter_ = -1;
        unplugWhenDrained_ = false;
        return;
    }
    std::erase_if(faults_, [fault](const Injected& i) { return i.spec.fault == fault; });
}

void EmulatedTransport::clearFaults()
{
    const std::lock_guard lock(mutex_);
    faults_.clear();
    removeFaultLocked(Fault::Unplugged);
}

bool EmulatedTransport::hasFault(Fault fault) const
{
    const std::lock_guard lock(mutex_);
    if (fault == Fault::Unplugged)
        return unplugAfter_ >= 0 || unplugWhenDrained_;
    return std::any_of(faults_.begin(), faults_.end(), [fault](const Injected& i) { return i.spec.fault == fault; });
}

const EmulatedTransport::Injected* EmulatedTransport::active(Fault fault, long long index) const
{
    for (const Injected& i : faults_)
        if (i.spec.fault == fault && index >= i.startsAt)
            return &i;
    return nullptr;
}

void EmulatedTransport::setSilent(bool silent)
{
    if (silent)
        injectFault(Fault::Silent);
    else
        removeFault(Fault::Silent);
}

void EmulatedTransport::setReplyDelayMs(int ms)
{
    if (ms > 0)
        injectFault(Fault::SlowReply, 0, ms);
    else
        removeFault(Fault::SlowReply);
}

void EmulatedTransport::setFailWrites(bool fail)
{
    if (fail)
        injectFault(Fault::FailingWrite);
    else
        removeFault(Fault::FailingWrite);
}

void EmulatedTransport::setReportLengths(ReportLengths lengths)
{
    const std::lock_guard lock(mutex_);
    lengths_ = lengths;
}

void EmulatedTransport::addOtherDevice(uint16_t vendorId, uint16_t productId, bool beforeDisplay)
{
    const std::lock_guard lock(mutex_);
    Device d;
    d.info = {"emulated:other" + std::to_string(++otherCount_), vendorId, productId, 0x0100, {}, true};
    if (beforeDisplay) {
        auto main =
            std::find_if(devices_.begin(), devices_.end(), [](const Device& x) { return x.kind == Kind::MainDisplay; });
        devices_.insert(main, d);
    } else {
        devices_.push_back(d);
    }
}

void EmulatedTransport::addSecondDisplay(uint16_t version) { addDisplay(version); }

std::string EmulatedTransport::serialOf(int unit) { return "EMU-" + std::to_string(1001 + unit); }

int EmulatedTransport::addDisplay(uint16_t version)
{
    const std::lock_guard lock(mutex_);
    const int unit = unitCountLocked();
    Device d;
    d.info = {"emulated:display" + std::to_string(unit + 1), 0x1234, 0x0001, version, serialOf(unit), true};
    d.kind = Kind::SecondDisplay;
    d.unit = unit;
    if (unit >= 2)
        more_.emplace_back();
    devices_.push_back(d);
    return unit;
}

int EmulatedTransport::unitCountLocked() const
{
    return 1 + int(std::count_if(devices_.begin(), devices_.end(),
                                 [](const Device& d) { return d.kind == Kind::SecondDisplay; }));
}

int EmulatedTransport::unitCount() const
{
    const std::lock_guard lock(mutex_);
    return unitCountLocked();
}

EmulatedDisplay& EmulatedTransport::unitDisplay(int unit)
{
    if (unit <= 0)
        return display_;
    if (unit == 1)
        return second_;
    return more_[std::size_t(unit - 2)];
}

EmulatedDisplay& EmulatedTransport::display(int unit) { return unitDisplay(unit); }

void EmulatedTransport::plugUnit(int unit, bool present)
{
    const std::lock_guard lock(mutex_);
    if (unit <= 0) {
        plugLocked(present);
        return;
    }
    for (Device& d : devices_)
        if (d.kind == Kind::SecondDisplay && d.unit == unit) {
            if (d.plugged && !present) {
                ++d.generation;
                d.pending.clear();
            }
            d.plugged = present;
        }
}

bool EmulatedTransport::unitPlugged(int unit) const
{
    const std::lock_guard lock(mutex_);
    for (const Device& d : devices_)
        if (d.kind != Kind::Other && d.unit == unit)
            return present(d);
    return false;
}

void EmulatedTransport::unplugAfterReports(int count)
{
    if (count < 0)
        removeFault(Fault::Unplugged);
    else
        injectFault(Fault::Unplugged, count);
}

void EmulatedTransport::advanceMs(int ms)
{
    const std::lock_guard lock(mutex_);
    offsetMs_ += ms;
    display_.advanceClockMs(ms);
    second_.advanceClockMs(ms);
    for (EmulatedDisplay& d : more_)
        d.advanceClockMs(ms);
}

std::vector<std::vector<uint8_t>> EmulatedTransport::outputReports() const
{
    return reports(true);
}

std::vector<std::vector<uint8_t>> EmulatedTransport::inputReports() const
{
    return reports(false);
}

std::vector<std::vector<uint8_t>> EmulatedTransport::reports(bool output) const
{
    const std::lock_guard lock(mutex_);
    std::vector<std::vector<uint8_t>> reports;
    for (const RecordedReport& r : record_)
        if (r.output == output)
            reports.push_back(r.bytes);
    return reports;
}

void EmulatedTransport::setRecordLimit(std::size_t maxReports)
{
    const std::lock_guard lock(mutex_);
    recordLimit_ = maxReports;
    trimRecord();
    if (recordLimit_ > 0 && openedPaths_.size() > recordLimit_)
        openedPaths_.erase(openedPaths_.begin(), openedPaths_.end() - static_cast<long>(recordLimit_));
}

void EmulatedTransport::trimRecord()
{
    if (recordLimit_ > 0 && record_.size() > recordLimit_)
        record_.erase(record_.begin(), record_.end() - static_cast<long>(recordLimit_));
}

void EmulatedTransport::addRecord(bool output, std::vector<uint8_t> bytes)
{
    record_.push_back({output, std::move(bytes)});
    trimRecord();
}

int EmulatedTransport::openHandles() const
{
    const std::lock_guard lock(mutex_);
    return static_cast<int>(handles_.size());
}

int EmulatedTransport::pendingReplies() const
{
    const std::lock_guard lock(mutex_);
    return pendingRepliesLocked();
}

int EmulatedTransport::pendingRepliesLocked() const
{
    for (const Device& d : devices_)
        if (d.kind == Kind::MainDisplay)
            return static_cast<int>(d.pending.size());
    return 0;
}

bool EmulatedTransport::present(const Device& device) const
{
    switch (device.kind) {
    case Kind::MainDisplay: return plugged_;
    case Kind::SecondDisplay: return device.plugged;
    case Kind::Other: break;
    }
    return true;
}

EmulatedTransport::Device* EmulatedTransport::deviceAt(const std::string& path)
{
    for (Device& d : devices_)
        if (d.info.path == path)
            return &d;
    return nullptr;
}

EmulatedTransport::Device* EmulatedTransport::liveDevice(Handle handle)
{
    auto h =
        std::find_if(handles_.begin(), handles_.end(), [handle](const OpenHandle& x) { return x.handle == handle; });
    if (h == handles_.end()) {
        lastError_ = kBadHandle;
        return nullptr;
    }
    Device* d = deviceAt(h->path);
    if (!d || !present(*d) || d->generation != h->generation) {
        lastError_ = kNoDevice;
        return nullptr;
    }
    return d;
}

// The host has moved on after the last answered report: the display goes away now.
void EmulatedTransport::checkDrained()
{
    if (unplugWhenDrained_ && pendingRepliesLocked() == 0)
        plugLocked(false);
}

std::vector<HidInterfaceInfo> EmulatedTransport::enumerate()
{
    const std::lock_guard lock(mutex_);
    if (unplugWhenDrained_)
        plugLocked(false);
    std::vector<HidInterfaceInfo> list;
    for (const Device& d : devices_)
        if (present(d))
            list.push_back(d.info);
    lastError_ = kSuccess;
    return list;
}

HidTransport::Handle EmulatedTransport::open(const std::string& path)
{
    const std::lock_guard lock(mutex_);
    openedPaths_.push_back(path);
    // The link opens the display again at every connection check: a training run must not keep them all.
    if (recordLimit_ > 0 && openedPaths_.size() > recordLimit_)
        openedPaths_.erase(openedPaths_.begin());
    Device* d = deviceAt(path);
    if (!d || !present(*d)) {
        lastError_ = kNoFile;
        return 0;
    }
    if (d->kind != Kind::Other) {
        for (Injected& i : faults_) {
            if (i.spec.fault != Fault::RefuseOpen || displayWrites_ < i.startsAt)
                continue;
            // param 0: every open fails; n: only the n-th attempt since the fault started.
            if (i.spec.param <= 0 || ++i.opensSeen == i.spec.param) {
                lastError_ = kDenied;
                return 0;
            }
        }
    }
    const Handle h = nextHandle_++;
    handles_.push_back({h, path, d->generation});
    lastError_ = kSuccess;
    return h;
}

ReportLengths EmulatedTransport::reportLengths(Handle handle)
{
    const std::lock_guard lock(mutex_);
    if (!liveDevice(handle))
        return {};
    lastError_ = kSuccess;
    return lengths_;
}

void EmulatedTransport::holdAfterWrites(long long writes)
{
    std::lock_guard lock(mutex_);
    holdAfter_ = displayWrites_ + writes;
}

bool EmulatedTransport::holding() const
{
    std::lock_guard lock(mutex_);
    return holding_;
}

void EmulatedTransport::release()
{
    {
        std::lock_guard lock(mutex_);
        holdAfter_ = -1;
    }
    released_.notify_all();
}

int EmulatedTransport::write(Handle handle, const uint8_t* data, std::size_t length)
{
    std::unique_lock lock(mutex_);
    if (holdAfter_ >= 0 && displayWrites_ >= holdAfter_) {
        holding_ = true;
        released_.wait(lock, [this] { return holdAfter_ < 0; });
        holding_ = false;
    }
    // A real link takes its time for every report; the training mode and the tests may ask for it.
    if (latencyMs_ > 0) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(latencyMs_));
        lock.lock();
    }
    if (unplugWhenDrained_)
        plugLocked(false);
    Device* d = liveDevice(handle);
    if (!d)
        return -1;
    const std::size_t maxLength = std::max(kFrame, static_cast<std::size_t>(std::max(lengths_.output, 0)));
    if (!data || length == 0 || length > maxLength) {
        lastError_ = "Invalid argument";
        return -1;
    }
    const long long index = d->kind == Kind::Other ? -1 : displayWrites_++;
    if (index >= 0 && active(Fault::FailingWrite, index)) {
        lastError_ = kIoError;
        return -1;
    }
    if (const Injected* partial = index >= 0 ? active(Fault::ShortWrite, index) : nullptr) {
        // Part of a report is no report: the display never sees it.
        lastError_ = kSuccess;
        return static_cast<int>(std::min<std::size_t>(length, std::size_t(std::max(partial->spec.param, 0))));
    }
    // The display sees report ID + 64 data bytes; a short report is padded with zeros.
    std::vector<uint8_t> frame(kFrame, 0);
    std::copy(data, data + std::min(length, kFrame), frame.begin());
    addRecord(true, frame);
    lastError_ = kSuccess;

    if (d->kind == Kind::Other)
        return static_cast<int>(length);
    std::array<uint8_t, 64> request{};
    std::copy(frame.begin() + 1, frame.end(), request.begin());
    EmulatedDisplay& target = unitDisplay(d->unit);
    std::array<uint8_t, 64> answer = target.handle(request);
    if (active(Fault::Silent, index))
        return static_cast<int>(length);

    if (request[0] == 0x30 && active(Fault::WrongSignature, index))
        std::fill(answer.begin(), answer.begin() + 4, 0xFF);  // a blank EEPROM
    if (const Injected* wrong = active(Fault::WrongReply, index))
        answer.fill(static_cast<uint8_t>(wrong->spec.param));
    std::vector<uint8_t> reply(kFrame, 0);
    reply[0] = inputReportId_;
    std::copy(answer.begin(), answer.end(), reply.begin() + 1);
    if (const Injected* cut = active(Fault::ShortReply, index))
        reply.resize(std::min(kFrame, std::size_t(std::max(cut->spec.param, 0))));
    long long delayMs = 0;
    for (Fault slow : {Fault::SlowReply, Fault::LateReply})
        if (const Injected* i = active(slow, index))
            delayMs = std::max<long long>(delayMs, i->spec.param);
    d->pending.push_back({std::move(reply), nowMs() + delayMs});
    if (d->kind == Kind::MainDisplay && unplugAfter_ > 0 && --unplugAfter_ == 0)
        unplugWhenDrained_ = true;
    return static_cast<int>(length);
}

HidTransport::ReadStatus EmulatedTransport::read(Handle handle, uint8_t* buffer, std::size_t length, int timeoutMs,
                                                 std::size_t& bytesRead)
{
    bytesRead = 0;
    std::unique_lock lock(mutex_);
    Device* d = liveDevice(handle);
    if (!d)
        return ReadStatus::Error;
    if (!buffer || length == 0) {
        lastError_ = "Invalid argument";
        return ReadStatus::Error;
    }
    timeoutMs = std::max(0, timeoutMs);
    if (d->kind != Kind::Other && active(Fault::ReadError, displayWrites_ - 1)) {
        // The report that came is lost with the read.
        if (!d->pending.empty())
            d->pending.pop_front();
        lastError_ = kIoError;
        return ReadStatus::Error;
    }
    // Wait like a blocking read would: until the reply is ready, at most timeoutMs.
    const long long waitMs = d->pending.empty() ? 0 : d->pending.front().readyAtMs - nowMs();
    if (d->pending.empty() || waitMs > timeoutMs) {
        wait(lock, timeoutMs);
        if (timeoutMs > 0)
            ++readTimeouts_;
        lastError_ = kTimedOut;
        return ReadStatus::TimedOut;
    }
    wait(lock, waitMs);
    // The device may have gone while the read waited.
    d = liveDevice(handle);
    if (!d || d->pending.empty())
        return ReadStatus::Error;
    std::vector<uint8_t> reply = std::move(d->pending.front().bytes);
    d->pending.pop_front();
    bytesRead = std::min(length, reply.size());
    std::copy(reply.begin(), reply.begin() + static_cast<long>(bytesRead), buffer);
    addRecord(false, reply);
    lastError_ = kSuccess;
    if (d->kind == Kind::MainDisplay)
        checkDrained();
    return ReadStatus::Completed;
}

bool EmulatedTransport::close(Handle handle)
{
    const std::lock_guard lock(mutex_);
    auto h =
        std::find_if(handles_.begin(), handles_.end(), [handle](const OpenHandle& x) { return x.handle == handle; });
    if (h == handles_.end()) {
        lastError_ = kBadHandle;
        return false;
    }
    handles_.erase(h);
    lastError_ = kSuccess;
    return true;
}

}  // namespace trivo
