#pragma once
// A stand-in for the hidapi library, for tests of HidapiTransport without hardware. A test program that
// links it gets these hid_* functions instead of the real library's. Devices answer like the display
// does through hidraw: the report ID first in every write, no ID byte in what a read returns for
// unnumbered reports, the ID first for numbered ones; a read with nothing waiting times out (0), a handle
// opened before an unplug fails (-1). The functions below set up what the library shows.
#include <cstdint>
#include <string>
#include <vector>

#include "emulator/emulated_display.h"

namespace standin {

struct DeviceSpec {
    std::string path;  // "/dev/hidrawN": HidapiTransport looks for its report descriptor in sysfs
    uint16_t vendorId = 0x1234;
    uint16_t productId = 0x0001;
    uint16_t release = 0x0100;
    uint8_t reportId = 0;  // 0 = unnumbered reports
    bool display = true;   // answers like the display; otherwise takes writes and never answers
    int listings = 1;      // entries in an enumeration (hidapi lists an interface once per top-level usage)
    std::string serial{};  // the USB serial number ("" when the device has none)
};

// No devices, no faults, nothing counted.
void reset();
// Devices in enumeration order.
void addDevice(const DeviceSpec& spec);
void addDeviceFront(const DeviceSpec& spec);
// An enumeration entry without a path.
void addEntryWithoutPath();

// --- faults ------------------------------------------------------------------------------------------
// Gone from enumeration and opening; every handle opened before fails from now on, also after a replug.
void plug(const std::string& path, bool present);
void setSilent(const std::string& path, bool silent);           // writes taken, no reply ever
// Opening refused ("Permission denied") until cleared, as a node before udev has given it its rights; may be
// called from any thread.
void setOpenRefused(const std::string& path, bool refused);
// The next `times` openings refused so, then allowed: the rights come after that many tries, whatever the time.
void refuseOpens(const std::string& path, int times);
void setShortWrite(const std::string& path, int missingBytes);  // hid_write stops short, nothing delivered
void setInitFails(bool fails);
// hid_error gives no text at all (nullptr) instead of the failure's text.
void setErrorTextsMissing(bool missing);

// --- what the transport did --------------------------------------------------------------------------
trivo::EmulatedDisplay& display(const std::string& path);
int initCalls();
int exitCalls();
int devicesOpen();  // hid_open_path that succeeded minus hid_close
int lastReadTimeoutMs();
std::vector<std::vector<uint8_t>> writes(const std::string& path);  // every hid_write buffer as passed

}  // namespace standin
