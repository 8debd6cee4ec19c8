#pragma once
// The typed core of the link: the report written to the display, the request an operation builds, and the
// reply that comes back with how the exchange ended.
#include <QString>

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>

#include "common/exchange_outcome.h"

namespace trivo {

constexpr int kReportLength = 65;    // report ID + 64 data bytes
constexpr int kReportDataBytes = 64;

// The 64 data bytes of a report, without its ID.
using ReportData = std::array<uint8_t, kReportDataBytes>;

// One output report as written: report ID 0x00, then the 64 data bytes.
struct Report {
    std::array<uint8_t, kReportLength> bytes{};

    uint8_t data(int index) const { return bytes[std::size_t(index) + 1]; }
    ReportData payload() const;
    bool operator==(const Report&) const = default;
};

// What an operation puts into a report: the bytes it sets. The display keeps its request buffer from one
// report to the next, and some requests rely on it: the bytes a request does not set go out as the
// previous exchange left them (its request, or the reply it took in). A request that sets every byte
// carries nothing over.
class Request {
public:
    // Every byte set to 00: nothing of the previous exchange goes out.
    static Request zeroed();

    Request& set(int index, uint8_t value);
    Request& set(int first, const uint8_t* values, int count);

    bool sets(int index) const { return index >= 0 && index < kReportDataBytes && mask_.test(std::size_t(index)); }
    uint8_t value(int index) const { return bytes_[std::size_t(index)]; }
    // The report this request makes over the bytes the previous exchange left.
    Report over(const ReportData& carried) const;

    // How the link window shows the bytes of this request: the keys' requests have always been typed
    // in short form ("1", "5", "80", "0").
    bool shortTexts() const { return shortTexts_; }
    Request& withShortTexts()
    {
        shortTexts_ = true;
        return *this;
    }

private:
    ReportData bytes_{};
    std::bitset<kReportDataBytes> mask_;
    bool shortTexts_ = false;
};

// True for the outcomes where nothing went out.
bool nothingSent(ExchangeOutcome outcome);

// The input report read back, report ID first, zero where nothing came, and how the exchange ended.
struct Reply {
    ExchangeOutcome outcome = ExchangeOutcome::NotOpen;
    std::array<uint8_t, kReportLength> bytes{};
    std::size_t length = 0;  // bytes the read delivered

    bool ok() const { return outcome == ExchangeOutcome::Done; }
    uint8_t data(int index) const { return bytes[std::size_t(index) + 1]; }
    ReportData payload() const;
};

// Two upper-case hex digits, the form a byte shows in on the link window and in the logs.
QString byteText(uint8_t value);

}  // namespace trivo
