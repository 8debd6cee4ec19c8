#pragma once
// The real USB bus as the places of a line see it: each place takes one display that no other place has
// taken, keeps it until it is unplugged, and sees nothing else; a row of displays on a hub is shared out
// among the places.
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "link/hid_transport.h"
#include "production/production_line.h"

namespace trivo::production {

// Which display paths are taken, by any place.
class PathRegistry {
public:
    bool claim(const std::string& path);
    void release(const std::string& path);

private:
    std::mutex mutex_;
    std::set<std::string> taken_;
};

// One place's view of a transport: enumeration shows the display this place holds, or the first free one,
// which it then holds until an enumeration no longer finds it.
class ClaimingTransport final : public HidTransport {
public:
    ClaimingTransport(std::unique_ptr<HidTransport> inner, PathRegistry& registry);
    ~ClaimingTransport() override;

    const std::string& held() const { return held_; }

    std::vector<HidInterfaceInfo> enumerate() override;
    Handle open(const std::string& path) override { return inner_->open(path); }
    ReportLengths reportLengths(Handle handle) override { return inner_->reportLengths(handle); }
    int write(Handle handle, const uint8_t* data, std::size_t length) override
    {
        return inner_->write(handle, data, length);
    }
    ReadStatus read(Handle handle, uint8_t* buffer, std::size_t length, int timeoutMs, std::size_t& bytesRead) override
    {
        return inner_->read(handle, buffer, length, timeoutMs, bytesRead);
    }
    bool close(Handle handle) override { return inner_->close(handle); }
    std::string lastError() const override { return inner_->lastError(); }

private:
    std::unique_ptr<HidTransport> inner_;
    PathRegistry& registry_;
    std::string held_;
};

// The displays plugged into this computer, numbered in the order the places find them.
class UsbUnitSource final : public UnitSource {
public:
    // makeTransport gives each place a transport of its own (hidapi on a real station).
    explicit UsbUnitSource(std::function<std::unique_ptr<HidTransport>()> makeTransport);
    std::unique_ptr<HidTransport> busFor(int place) override;
    int claimUnit(int place, const std::string& path) override;
    bool exhausted(int) const override { return false; }

private:
    std::function<std::unique_ptr<HidTransport>()> makeTransport_;
    PathRegistry registry_;
    std::atomic<int> units_{0};
};

}  // namespace trivo::production
