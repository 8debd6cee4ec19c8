#include "hidapi_standin.h"

#include <hidapi.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <deque>
#include <memory>
#include <mutex>
#include <map>
#include <set>
#include <stdexcept>

namespace {

struct Device {
    standin::DeviceSpec spec;
    bool present = true;
    int generation = 0;  // raised by every unplug: older handles are dead
    bool silent = false;
    int missingBytes = 0;
    std::unique_ptr<trivo::EmulatedDisplay> display = std::make_unique<trivo::EmulatedDisplay>();
    std::deque<std::vector<uint8_t>> replies;  // as hid_read delivers them
    std::vector<std::vector<uint8_t>> writes;
};

struct Library {
    std::deque<Device> devices;  // stable addresses for open handles
    int entriesWithoutPath = 0;
    bool initFails = false;
    bool errorTextsMissing = false;
    int initCalls = 0;
    int exitCalls = 0;
    std::wstring globalError;
};

// Counted by hid_read_timeout and hid_close, which the real library lets threads call on their own devices
// without taking turns.
std::atomic<int> devicesOpen{0};
std::atomic<int> lastReadTimeoutMs{-1};

// Nodes whose permissions are not there yet; set from the test's thread while a link's thread opens.
std::mutex refusedMutex;
std::set<std::string> refusedPaths;
std::map<std::string, int> refusalsLeft;

bool openRefused(const std::string& path)
{
    const std::lock_guard lock(refusedMutex);
    if (auto left = refusalsLeft.find(path); left != refusalsLeft.end() && left->second > 0) {
        --left->second;
        return true;
    }
    return refusedPaths.count(path) > 0;
}

Library& lib()
{
    static Library library;
    return library;
}

Device* devicePath(const std::string& path)
{
    for (Device& d : lib().devices)
        if (d.spec.path == path)
            return &d;
    return nullptr;
}

Device& known(const std::string& path)
{
    Device* d = devicePath(path);
    if (!d)
        throw std::invalid_argument("stand-in: no device " + path);
    return *d;
}

const wchar_t* errorText(const std::wstring& text)
{
    if (lib().errorTextsMissing)
        return nullptr;
    return text.empty() ? L"Success" : text.c_str();
}

char* copyText(const char* text)
{
    const std::size_t n = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(std::malloc(n));
    std::memcpy(copy, text, n);
    return copy;
}

wchar_t* copyWide(const wchar_t* text)
{
    const std::size_t n = std::wcslen(text) + 1;
    auto* copy = static_cast<wchar_t*>(std::malloc(n * sizeof(wchar_t)));
    std::wmemcpy(copy, text, n);
    return copy;
}

}  // namespace

struct hid_device_ {
    Device* device;
    int generation;
    std::wstring error;

    // The device behind this handle, or null (with the error set) once it has gone.
    Device* live()
    {
        if (!device->present || device->generation != generation) {
            error = L"device disconnected";
            return nullptr;
        }
        return device;
    }
};

namespace standin {

void reset()
{
    lib() = Library{};
    ::devicesOpen = 0;
    ::lastReadTimeoutMs = -1;
    const std::lock_guard lock(refusedMutex);
    refusedPaths.clear();
    refusalsLeft.clear();
}

void addDevice(const DeviceSpec& spec)
{
    lib().devices.emplace_back();
    lib().devices.back().spec = spec;
}

void addDeviceFront(const DeviceSpec& spec)
{
    lib().devices.emplace_front();
    lib().devices.front().spec = spec;
}

void addEntryWithoutPath() { ++lib().entriesWithoutPath; }

void plug(const std::string& path, bool present)
{
    Device& d = known(path);
    if (d.present && !present) {
        ++d.generation;
        d.replies.clear();
    }
    d.present = present;
}

void setSilent(const std::string& path, bool silent) { known(path).silent = silent; }
void setOpenRefused(const std::string& path, bool refused)
{
    const std::lock_guard lock(refusedMutex);
    if (refused)
        refusedPaths.insert(path);
    else
        refusedPaths.erase(path);
}
void refuseOpens(const std::string& path, int times)
{
    const std::lock_guard lock(refusedMutex);
    refusalsLeft[path] = times;
}
void setShortWrite(const std::string& path, int missingBytes) { known(path).missingBytes = missingBytes; }
void setInitFails(bool fails) { lib().initFails = fails; }
void setErrorTextsMissing(bool missing) { lib().errorTextsMissing = missing; }

trivo::EmulatedDisplay& display(const std::string& path) { return *known(path).display; }
int initCalls() { return lib().initCalls; }
int exitCalls() { return lib().exitCalls; }
int devicesOpen() { return ::devicesOpen; }
int lastReadTimeoutMs() { return ::lastReadTimeoutMs; }
std::vector<std::vector<uint8_t>> writes(const std::string& path) { return known(path).writes; }

}  // namespace standin

// ===== the library's functions that HidapiTransport uses ===============================================

int HID_API_EXPORT HID_API_CALL hid_init(void)
{
    ++lib().initCalls;
    if (lib().initFails) {
        lib().globalError = L"no hidraw support";
        return -1;
    }
    lib().globalError.clear();
    return 0;
}

int HID_API_EXPORT HID_API_CALL hid_exit(void)
{
    ++lib().exitCalls;
    return 0;
}

struct hid_device_info HID_API_EXPORT* HID_API_CALL hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    hid_device_info* first = nullptr;
    hid_device_info** next = &first;
    auto append = [&next](const char* path, const standin::DeviceSpec* spec) {
        auto* info = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
        info->path = path ? copyText(path) : nullptr;
        if (spec) {
            info->vendor_id = spec->vendorId;
            info->product_id = spec->productId;
            info->release_number = spec->release;
        }
        info->manufacturer_string = copyWide(L"");
        info->product_string = copyWide(L"");
        const std::string serial = spec ? spec->serial : std::string();
        info->serial_number = copyWide(std::wstring(serial.begin(), serial.end()).c_str());
        info->interface_number = -1;
        *next = info;
        next = &info->next;
    };
    for (int i = 0; i < lib().entriesWithoutPath; ++i)
        append(nullptr, nullptr);
    for (const Device& d : lib().devices) {
        if (!d.present || (vendor_id && d.spec.vendorId != vendor_id) || (product_id && d.spec.productId != product_id))
            continue;
        for (int n = 0; n < d.spec.listings; ++n)
            append(d.spec.path.c_str(), &d.spec);
    }
    lib().globalError.clear();
    return first;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info* devs)
{
    while (devs) {
        hid_device_info* next = devs->next;
        std::free(devs->path);
        std::free(devs->manufacturer_string);
        std::free(devs->product_string);
        std::free(devs->serial_number);
        std::free(devs);
        devs = next;
    }
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open_path(const char* path)
{
    Device* d = path ? devicePath(path) : nullptr;
    if (!d || !d->present) {
        lib().globalError = L"No such file or directory";
        return nullptr;
    }
    if (openRefused(path)) {
        lib().globalError = L"Permission denied";
        return nullptr;
    }
    ++devicesOpen;
    lib().globalError.clear();
    return new hid_device_{d, d->generation, {}};
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device* dev, const unsigned char* data, size_t length)
{
    Device* d = dev->live();
    if (!d)
        return -1;
    if (!data || length == 0) {
        dev->error = L"Invalid argument";
        return -1;
    }
    d->writes.emplace_back(data, data + length);
    dev->error.clear();
    if (d->missingBytes > 0)
        return static_cast<int>(length) - std::min(static_cast<int>(length), d->missingBytes);
    if (!d->spec.display)
        return static_cast<int>(length);
    if (data[0] != d->spec.reportId) {
        dev->error = L"Broken pipe";  // the device stalls on a report it does not have
        return -1;
    }
    std::array<uint8_t, 64> request{};
    std::copy(data + 1, data + std::min<size_t>(length, 65), request.begin());
    const std::array<uint8_t, 64> answer = d->display->handle(request);
    if (!d->silent) {
        std::vector<uint8_t> reply;
        if (d->spec.reportId != 0)
            reply.push_back(d->spec.reportId);
        reply.insert(reply.end(), answer.begin(), answer.end());
        d->replies.push_back(std::move(reply));
    }
    return static_cast<int>(length);
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device* dev, unsigned char* data, size_t length, int milliseconds)
{
    lastReadTimeoutMs = milliseconds;
    Device* d = dev->live();
    if (!d)
        return -1;
    dev->error.clear();
    if (d->replies.empty())
        return 0;  // nothing came within the time-out; nothing else can arrive while this thread waits
    const std::vector<uint8_t> reply = std::move(d->replies.front());
    d->replies.pop_front();
    const std::size_t n = std::min(length, reply.size());
    std::copy(reply.begin(), reply.begin() + static_cast<long>(n), data);
    return static_cast<int>(n);
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device* dev)
{
    if (!dev)
        return;
    --devicesOpen;
    delete dev;
}

HID_API_EXPORT const wchar_t* HID_API_CALL hid_error(hid_device* dev)
{
    return errorText(dev ? dev->error : lib().globalError);
}
