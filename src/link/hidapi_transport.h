#pragma once
// The real HID access layer (hidapi, hidraw backend on Linux). The only file that includes hidapi.h.
#include "link/hid_transport.h"

namespace trivo {

class HidapiTransport : public HidTransport {
public:
    HidapiTransport();
    ~HidapiTransport() override;

    std::vector<HidInterfaceInfo> enumerate() override;
    Handle open(const std::string& path) override;
    ReportLengths reportLengths(Handle handle) override;
    int write(Handle handle, const uint8_t* data, std::size_t length) override;
    ReadStatus read(Handle handle, uint8_t* buffer, std::size_t length, int timeoutMs,
                    std::size_t& bytesRead) override;
    bool close(Handle handle) override;
    std::string lastError() const override { return lastError_; }

private:
    std::string lastError_;
    bool initialised_ = false;
};

}  // namespace trivo
