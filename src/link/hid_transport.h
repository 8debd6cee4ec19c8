#pragma once
// The platform seam of the device link: everything the link needs from an HID access layer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace trivo {

struct HidInterfaceInfo {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0;
    std::string serial{};  // empty while the display does not say
    bool emulated = false;  // the built-in emulated display (training, tests): its records are kept apart
};

// Whether an interface is one of our displays (by its USB identifiers), wherever displays are looked for.
bool isDisplay(const HidInterfaceInfo& info);

struct ReportLengths {
    int input = 65;  // both count the report-ID byte
    int output = 65;
};

class HidTransport {
public:
    using Handle = std::intptr_t;  // 0 = no handle
    enum class ReadStatus { Completed, TimedOut, Error };

    virtual ~HidTransport() = default;

    // Present HID interfaces, in enumeration order. Opens nothing.
    virtual std::vector<HidInterfaceInfo> enumerate() = 0;
    // 0 on failure (lastError() tells why).
    virtual Handle open(const std::string& path) = 0;
    virtual ReportLengths reportLengths(Handle handle) = 0;
    // Blocking write of one output report, report ID first; returns the count written or -1.
    virtual int write(Handle handle, const uint8_t* data, std::size_t length) = 0;
    // Reads one input report into buffer (report ID first, as on the wire) within timeoutMs;
    // timeoutMs 0 polls. bytesRead receives the count placed in buffer.
    virtual ReadStatus read(Handle handle, uint8_t* buffer, std::size_t length, int timeoutMs,
                            std::size_t& bytesRead) = 0;
    virtual bool close(Handle handle) = 0;
    // The system's text for the last call made through this transport ("" or "success" text when it worked).
    virtual std::string lastError() const = 0;
};

}  // namespace trivo
