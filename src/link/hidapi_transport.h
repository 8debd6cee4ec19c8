#pragma once
// The real HID access layer (hidapi, hidraw backend on Linux). The only file that includes hidapi.h.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/hid_transport.h"

struct hid_device_;

namespace trivo {

// Report lengths declared by a HID report descriptor: the longest Input and the longest Output report,
// each counting the report-ID byte (also for devices without numbered reports, where it is 0), and
// whether the device numbers its reports. A direction without any report has length 0.
struct DescriptorReportLengths {
    int input = 0;
    int output = 0;
    bool numbered = false;
};

// Parses the raw descriptor; nullopt when it is malformed (truncated item, pop without push,
// report ID 0, a report longer than a 16-bit length).
std::optional<DescriptorReportLengths> parseReportDescriptor(const std::vector<uint8_t>& descriptor);

// Where the kernel publishes the descriptor of a hidraw node ("/dev/hidraw3" ->
// "<sysfsRoot>/class/hidraw/hidraw3/device/report_descriptor"); "" for any other kind of path.
std::string hidrawDescriptorPath(const std::string& devicePath, const std::string& sysfsRoot = "/sys");

class HidapiTransport : public HidTransport {
public:
    // sysfsRoot: where the hidraw nodes' report descriptors are looked up (tests give a folder of their own).
    explicit HidapiTransport(std::string sysfsRoot = "/sys");
    ~HidapiTransport() override;
    HidapiTransport(const HidapiTransport&) = delete;
    HidapiTransport& operator=(const HidapiTransport&) = delete;

    std::vector<HidInterfaceInfo> enumerate() override;
    Handle open(const std::string& path) override;
    ReportLengths reportLengths(Handle handle) override;
    int write(Handle handle, const uint8_t* data, std::size_t length) override;
    ReadStatus read(Handle handle, uint8_t* buffer, std::size_t length, int timeoutMs, std::size_t& bytesRead) override;
    bool close(Handle handle) override;
    std::string lastError() const override { return lastError_; }

private:
    struct OpenDevice {
        hid_device_* device = nullptr;
        std::string path;
        DescriptorReportLengths lengths;
        bool lengthsKnown = false;
    };
    OpenDevice* find(Handle handle);
    void learnLengths(OpenDevice& device);
    void takeError(hid_device_* device, const char* fallback);

    std::string sysfsRoot_;
    std::string lastError_;
    bool initialised_ = false;
    std::map<Handle, OpenDevice> open_;
    Handle nextHandle_ = 1;
};

}  // namespace trivo
