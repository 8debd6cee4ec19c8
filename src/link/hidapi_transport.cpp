#include "link/hidapi_transport.h"

#include <hidapi.h>

#include <QString>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <mutex>
#include <utility>

namespace trivo {

namespace {

constexpr int kDefaultReportLength = 65;  // the display's: report ID + 64 data bytes
constexpr const char* kSuccess = "Success";
// Report lengths are 16-bit on every platform's HID stack; a descriptor that claims more is broken.
constexpr uint64_t kMaxReportBytes = 0xFFFF;

// Item prefixes (type and tag, size bits masked off).
enum : uint8_t {
    kMainInput = 0x80,
    kMainOutput = 0x90,
    kGlobalReportSize = 0x74,
    kGlobalReportId = 0x84,
    kGlobalReportCount = 0x94,
    kGlobalPush = 0xA4,
    kGlobalPop = 0xB4,
    kLongItem = 0xFE,
};

struct Globals {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;
};

int longestReport(const std::map<uint32_t, uint64_t>& bitsById)
{
    uint64_t bytes = 0;
    for (const auto& [id, bits] : bitsById)
        bytes = std::max(bytes, (bits + 7) / 8);
    return bitsById.empty() ? 0 : static_cast<int>(bytes) + 1;
}

}  // namespace

std::optional<DescriptorReportLengths> parseReportDescriptor(const std::vector<uint8_t>& descriptor)
{
    Globals globals;
    std::vector<Globals> stack;
    std::map<uint32_t, uint64_t> inputBits, outputBits;
    bool numbered = false;

    std::size_t i = 0;
    while (i < descriptor.size()) {
        const uint8_t prefix = descriptor[i];
        if (prefix == kLongItem) {  // vendor long item: size, tag, data; carries no report layout
            if (i + 2 >= descriptor.size())
                return std::nullopt;
            i += 3 + descriptor[i + 1];
            if (i > descriptor.size())
                return std::nullopt;
            continue;
        }
        const std::size_t size = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
        if (i + 1 + size > descriptor.size())
            return std::nullopt;
        uint32_t value = 0;
        for (std::size_t b = 0; b < size; ++b)
            value |= static_cast<uint32_t>(descriptor[i + 1 + b]) << (8 * b);
        i += 1 + size;

        switch (prefix & 0xFC) {
        case kGlobalReportSize: globals.reportSize = value; break;
        case kGlobalReportCount: globals.reportCount = value; break;
        case kGlobalReportId:
            if (value == 0 || value > 0xFF)
                return std::nullopt;  // report ID 0 is reserved, and IDs are one byte on the wire
            globals.reportId = value;
            numbered = true;
            break;
        case kGlobalPush: stack.push_back(globals); break;
        case kGlobalPop:
            if (stack.empty())
                return std::nullopt;
            globals = stack.back();
            stack.pop_back();
            break;
        case kMainInput:
        case kMainOutput: {
            auto& bits = (prefix & 0xFC) == kMainInput ? inputBits : outputBits;
            uint64_t& total = bits[globals.reportId];
            total += static_cast<uint64_t>(globals.reportSize) * globals.reportCount;
            if (total > kMaxReportBytes * 8)
                return std::nullopt;
            break;
        }
        default: break;  // usages, collections, logical ranges: no bearing on the lengths
        }
    }
    return DescriptorReportLengths{longestReport(inputBits), longestReport(outputBits), numbered};
}

std::string hidrawDescriptorPath(const std::string& devicePath, const std::string& sysfsRoot)
{
    const std::string prefix = "/dev/";
    if (devicePath.rfind(prefix, 0) != 0)
        return {};
    const std::string node = devicePath.substr(prefix.size());
    const std::string kind = "hidraw";
    if (node.size() <= kind.size() || node.rfind(kind, 0) != 0
        || !std::all_of(node.begin() + static_cast<long>(kind.size()), node.end(),
                        [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    return sysfsRoot + "/class/hidraw/" + node + "/device/report_descriptor";
}

// ================================================================================================

namespace {
// hid_init and hid_exit are process-wide: the last transport to go releases the library.
int libraryUsers = 0;
// The library's own state (its user count, enumeration, the error of a failed open) is process-wide too:
// transports on several threads (a production line's places) take turns with it.
std::mutex libraryMutex;
}  // namespace

HidapiTransport::HidapiTransport(std::string sysfsRoot) : sysfsRoot_(std::move(sysfsRoot))
{
    const std::lock_guard lock(libraryMutex);
    initialised_ = libraryUsers > 0 || hid_init() == 0;
    if (initialised_)
        ++libraryUsers;
    else
        takeError(nullptr, "HID library initialisation failed");
}

HidapiTransport::~HidapiTransport()
{
    for (auto& [handle, device] : open_)
        hid_close(device.device);
    open_.clear();
    const std::lock_guard lock(libraryMutex);
    if (initialised_ && --libraryUsers == 0)
        hid_exit();
}

void HidapiTransport::takeError(hid_device_* device, const char* fallback)
{
    const wchar_t* text = hid_error(device);
    lastError_ = text && *text ? QString::fromWCharArray(text).toStdString() : std::string(fallback);
}

HidapiTransport::OpenDevice* HidapiTransport::find(Handle handle)
{
    auto it = open_.find(handle);
    if (it == open_.end()) {
        lastError_ = "Bad file descriptor";
        return nullptr;
    }
    return &it->second;
}

std::vector<HidInterfaceInfo> HidapiTransport::enumerate()
{
    std::vector<HidInterfaceInfo> list;
    if (!initialised_) {
        lastError_ = "HID library not initialised";
        return list;
    }
    const std::lock_guard lock(libraryMutex);
    hid_device_info* all = hid_enumerate(0, 0);
    for (hid_device_info* i = all; i; i = i->next) {
        if (!i->path)
            continue;
        // hidapi may list one interface once per top-level usage; the link wants each path once.
        if (std::any_of(list.begin(), list.end(), [i](const HidInterfaceInfo& x) { return x.path == i->path; }))
            continue;
        // The serial number tells two displays apart whatever port they are plugged into.
        std::string serial;
        if (i->serial_number)
            serial = QString::fromWCharArray(i->serial_number).trimmed().toStdString();
        list.push_back({i->path, i->vendor_id, i->product_id, i->release_number, serial});
    }
    hid_free_enumeration(all);
    lastError_ = kSuccess;
    return list;
}

HidTransport::Handle HidapiTransport::open(const std::string& path)
{
    if (!initialised_) {
        lastError_ = "HID library not initialised";
        return 0;
    }
    const std::lock_guard lock(libraryMutex);
    hid_device* device = hid_open_path(path.c_str());
    if (!device) {
        takeError(nullptr, "Unable to open the device");
        return 0;
    }
    const Handle handle = nextHandle_++;
    open_[handle] = OpenDevice{device, path, {}, false};
    lastError_ = kSuccess;
    return handle;
}

// hidapi 0.13 has no descriptor call; the hidraw node's descriptor is in sysfs. Anything unreadable
// leaves the display's own framing: unnumbered 65-byte reports.
void HidapiTransport::learnLengths(OpenDevice& device)
{
    if (device.lengthsKnown)
        return;
    device.lengthsKnown = true;
    device.lengths = {kDefaultReportLength, kDefaultReportLength, false};
    const std::string file = hidrawDescriptorPath(device.path, sysfsRoot_);
    if (file.empty())
        return;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (auto parsed = parseReportDescriptor(bytes))
        device.lengths = *parsed;
}

ReportLengths HidapiTransport::reportLengths(Handle handle)
{
    OpenDevice* device = find(handle);
    if (!device)
        return {};
    learnLengths(*device);
    lastError_ = kSuccess;
    return {device->lengths.input, device->lengths.output};
}

int HidapiTransport::write(Handle handle, const uint8_t* data, std::size_t length)
{
    OpenDevice* device = find(handle);
    if (!device)
        return -1;
    // The report ID goes first, as the display's frame already has it.
    const int written = hid_write(device->device, data, length);
    if (written < 0)
        takeError(device->device, "Input/output error");
    else
        lastError_ = kSuccess;
    return written;
}

HidTransport::ReadStatus HidapiTransport::read(Handle handle, uint8_t* buffer, std::size_t length, int timeoutMs,
                                               std::size_t& bytesRead)
{
    bytesRead = 0;
    OpenDevice* device = find(handle);
    if (!device)
        return ReadStatus::Error;
    if (!buffer || length < 2) {
        lastError_ = "Invalid argument";
        return ReadStatus::Error;
    }
    learnLengths(*device);
    // Unnumbered reports arrive without their report-ID byte: put the 0 back so the link sees the frame.
    const bool addId = !device->lengths.numbered;
    uint8_t* target = addId ? buffer + 1 : buffer;
    const std::size_t room = addId ? length - 1 : length;
    const int got = hid_read_timeout(device->device, target, room, std::max(0, timeoutMs));
    if (got < 0) {
        takeError(device->device, "Input/output error");
        return ReadStatus::Error;
    }
    if (got == 0) {
        lastError_ = "Connection timed out";
        return ReadStatus::TimedOut;
    }
    if (addId)
        buffer[0] = 0;
    bytesRead = static_cast<std::size_t>(got) + (addId ? 1 : 0);
    lastError_ = kSuccess;
    return ReadStatus::Completed;
}

bool HidapiTransport::close(Handle handle)
{
    OpenDevice* device = find(handle);
    if (!device)
        return false;
    hid_close(device->device);
    open_.erase(handle);
    lastError_ = kSuccess;
    return true;
}

}  // namespace trivo
