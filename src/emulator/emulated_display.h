#pragma once
// The emulated display: the display's side of every request of the command catalogue, and an in-process
// HidTransport that carries reports to it. Used by the tests, the training mode and the command line.
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <QDateTime>

#include "emulator/faults.h"
#include "link/hid_transport.h"

namespace trivo {

// The display's own behaviour, independent of any transport.
class EmulatedDisplay {
public:
    static constexpr int kBlockSize = 68;
    static constexpr int kPictureBytes = 1920;
    static constexpr int kFirmwareBytes = 32768;

    EmulatedDisplay();

    // Answers one request (the 64 data bytes, without report ID) with the 64 data bytes of the reply.
    std::array<uint8_t, 64> handle(const std::array<uint8_t, 64>& request);

    // Parameter block: signature 42 43 49 50/54, mode, words, setting bytes.
    std::array<uint8_t, kBlockSize> block;
    void setSignature(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3);

    int32_t counter = 0;
    int32_t totaliser = 0;
    int restarts = 0;

    // Clock: follows the PC's clock unless fixed by setClock.
    // A clock set by setClock stands still (tests read fixed registers) until advanceClockMs moves it.
    void setClock(const QDateTime& time);
    void followPcClock();
    QDateTime clock() const;
    void advanceClockMs(long long ms);
    // Last radio synchronisation (minutes resolution) and day of the week 1..7.
    QDateTime radioSync;
    uint8_t radioLevel = 5;                   // 0..7, above 7 = no valid level
    int16_t temperatureSixteenths = 21 * 16;  // signed, 1/16 degree Celsius
    uint8_t leds = 0;                         // bit 0 red, bit 1 green, bit 2 blue; 1 = lit
    uint8_t buttons = 0x07;                   // bit 2 red, bit 1 green, bit 0 blue; 0 = pressed
    bool buzzer = false;
    // The last output-drive request's switch and output bytes.
    uint8_t driveSwitch = 0;
    uint8_t driveBits = 0;

    // Home-screen picture as stored (1920 bytes, 1 = white) and what the LCD shows now.
    std::array<uint8_t, kPictureBytes> picture;
    bool lcdCleared = false;
    int clears = 0;

    // Update mode: every report is 64 firmware bytes, appended to firmware.
    bool updateMode = false;
    std::vector<uint8_t> firmware;

    // Relays follow the counter against the thresholds of the block (for the live view).
    bool relay1() const;
    bool relay2() const;
    bool buzzerByRule() const;

    // Parameter word n (0..12) of the block, signed, and the counts of requests seen by code.
    int32_t word(int n) const;
    void setWord(int n, int32_t value);
    int requests(uint8_t code) const { return requestCounts_[code]; }

private:
    bool ruleFires(int ruleOffset, int enableBit, int thresholdWord) const;

    std::optional<QDateTime> fixedClock_;
    QDateTime fixedAt_;
    std::array<int, 256> requestCounts_{};
};

// One recorded report: output (true) or input, 65 bytes with the report ID first.
struct RecordedReport {
    bool output = true;
    std::vector<uint8_t> bytes;
};

// Starts with the display plugged in and answering at once. Replies queue per device (as the display's
// own output buffer would), so a reply that arrives too late is what the next read gets.
class EmulatedTransport : public HidTransport {
public:
    static constexpr const char* kDisplayPath = "emulated:display";
    static constexpr const char* kSecondDisplayPath = "emulated:display2";

    EmulatedTransport();

    EmulatedDisplay& display() { return display_; }
    const EmulatedDisplay& display() const { return display_; }
    // The display added by addSecondDisplay (a default one before that).
    EmulatedDisplay& secondDisplay() { return second_; }
    // A bench of displays: unit 0 is the first ("emulated:display"), unit k is "emulated:display<k+1>",
    // each with a serial number of its own ("EMU-1001", "EMU-1002", ...).
    int addDisplay(uint16_t version = 0x0100);  // its unit number
    int unitCount() const;
    EmulatedDisplay& display(int unit);
    void plugUnit(int unit, bool present);
    bool unitPlugged(int unit) const;
    static std::string serialOf(int unit);

    // --- faults (of both displays; Unplugged concerns the first) ---------------------------------
    // The fault starts once atExchange more output reports have been written to a display (0 = at once;
    // Unplugged: once that many reports have been answered). Faults add up; injecting one again replaces it.
    void injectFault(Fault fault, int atExchange = 0, int param = kDefaultFaultParam);
    void injectFault(const FaultSpec& spec) { injectFault(spec.fault, spec.atExchange, spec.param); }
    void removeFault(Fault fault);
    // Ends every fault; a display already unplugged stays so until plug(true).
    void clearFaults();
    bool hasFault(Fault fault) const;  // injected, started or not
    // Shorthands: Silent, SlowReply of ms (0 = none), FailingWrite, Unplugged after count (-1 = never).
    void setSilent(bool silent);
    void setReplyDelayMs(int ms);
    void setFailWrites(bool fail);
    void unplugAfterReports(int count);

    // --- what is plugged in ------------------------------------------------------------------
    // Unplugging also makes every handle opened before it fail, as a vanished device node does.
    void plug(bool present);
    bool plugged() const { return plugged_; }
    void setReportLengths(ReportLengths lengths);
    // The report ID the displays' replies carry (0: unnumbered reports).
    void setInputReportId(uint8_t id) { inputReportId_ = id; }
    // Other HID interfaces present, in enumeration order before (front) or after the display.
    // They accept writes and never answer.
    void addOtherDevice(uint16_t vendorId, uint16_t productId, bool beforeDisplay = true);
    void addSecondDisplay(uint16_t version = 0x0100);

    // --- time --------------------------------------------------------------------------------
    // A wait (a reply's delay, a read's time-out) moves the transport's own clock and returns at once, so
    // that a silent display costs a test nothing; in real time (the training mode) it is waited for.
    void setRealTime(bool realTime);
    // Every exchange takes this long in real time (0: none), as on a real USB link.
    void setLatencyMs(int ms);
    // Once `writes` more reports have been written to the displays, the next write waits until release(): a test
    // then acts while an operation is provably in the middle of its exchanges, whatever the machine's load.
    void holdAfterWrites(long long writes);
    bool holding() const;  // a write is waiting at the hold
    void release();
    // Held while reading the displays' state from another thread than the link's (the panel view).
    std::unique_lock<std::mutex> lock() const;
    // Moves the transport's clock forward (a late reply becomes ready); a fixed display clock moves with it.
    void advanceMs(int ms);
    long long clockMs() const { return nowMs(); }
    // Reads that waited for a reply and gave up (polls without a wait are not counted).
    int readTimeouts() const { return readTimeouts_; }

    // --- record of every report in both directions -------------------------------------------
    // Written reports that reached a device and replies that a read delivered, 65 bytes each.
    const std::vector<RecordedReport>& record() const { return record_; }
    std::vector<std::vector<uint8_t>> outputReports() const;  // 65 bytes each
    std::vector<std::vector<uint8_t>> inputReports() const;   // the replies, 65 bytes each
    void clearRecord() { record_.clear(); }
    // Keeps only the newest maxReports entries (0 = keep all, the default), and as many opened paths;
    // for long training runs.
    void setRecordLimit(std::size_t maxReports);
    int openHandles() const;
    // Every path an open was attempted on, in order.
    std::vector<std::string> openedPaths() const { return openedPaths_; }
    int pendingReplies() const;  // replies of the main display not yet read

    // --- HidTransport ------------------------------------------------------------------------
    std::vector<HidInterfaceInfo> enumerate() override;
    Handle open(const std::string& path) override;
    ReportLengths reportLengths(Handle handle) override;
    int write(Handle handle, const uint8_t* data, std::size_t length) override;
    ReadStatus read(Handle handle, uint8_t* buffer, std::size_t length, int timeoutMs, std::size_t& bytesRead) override;
    bool close(Handle handle) override;
    std::string lastError() const override { return lastError_; }

private:
    std::vector<std::vector<uint8_t>> reports(bool output) const;
    struct Pending {
        std::vector<uint8_t> bytes;
        long long readyAtMs;
    };
    enum class Kind { Other, MainDisplay, SecondDisplay };
    struct Device {
        HidInterfaceInfo info;
        Kind kind = Kind::Other;
        int unit = 0;          // which display answers (Other: none)
        bool plugged = true;   // displays after the first; the first follows plug()
        int generation = 0;  // raised by every unplug: older handles are dead
        std::deque<Pending> pending;
    };
    struct OpenHandle {
        Handle handle;
        std::string path;
        int generation;
    };
    struct Injected {
        FaultSpec spec;          // param resolved to the fault's default
        long long startsAt = 0;  // index of the first display write it concerns
        int opensSeen = 0;
    };
    long long nowMs() const;
    // Waits ms on the transport's clock; in real time the lock is let go meanwhile.
    void wait(std::unique_lock<std::mutex>& lock, long long ms);
    void plugLocked(bool present);
    void removeFaultLocked(Fault fault);
    int pendingRepliesLocked() const;
    int unitCountLocked() const;
    EmulatedDisplay& unitDisplay(int unit);
    // The fault concerning write number `index`, if any.
    const Injected* active(Fault fault, long long index) const;
    Device* deviceAt(const std::string& path);
    bool present(const Device& device) const;
    // The device behind a live handle, or null with lastError set.
    Device* liveDevice(Handle handle);
    void checkDrained();
    void addRecord(bool output, std::vector<uint8_t> bytes);
    void trimRecord();

    // The link's thread and the operator's (plug, faults, the panel view) both reach the transport.
    mutable std::mutex mutex_;
    std::condition_variable released_;
    long long holdAfter_ = -1;  // -1: no hold
    bool holding_ = false;
    int latencyMs_ = 0;
    EmulatedDisplay display_;
    EmulatedDisplay second_;
    std::deque<EmulatedDisplay> more_;  // units 2 and on
    bool plugged_ = false;
    std::vector<Injected> faults_;
    long long displayWrites_ = 0;
    int unplugAfter_ = -1;
    bool unplugWhenDrained_ = false;
    long long offsetMs_ = 0;
    bool realTime_ = false;
    int readTimeouts_ = 0;
    uint8_t inputReportId_ = 0;
    ReportLengths lengths_;
    std::vector<Device> devices_;  // enumeration order
    std::vector<RecordedReport> record_;
    std::size_t recordLimit_ = 0;
    std::vector<OpenHandle> handles_;
    std::vector<std::string> openedPaths_;
    Handle nextHandle_ = 1;
    int otherCount_ = 0;
    std::string lastError_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace trivo
