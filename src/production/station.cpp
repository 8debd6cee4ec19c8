#include "production/station.h"

#include "link/exchanger.h"

namespace trivo::production {

bool PathRegistry::claim(const std::string& path)
{
    std::lock_guard lock(mutex_);
    return taken_.insert(path).second;
}

void PathRegistry::release(const std::string& path)
{
    std::lock_guard lock(mutex_);
    taken_.erase(path);
}

ClaimingTransport::ClaimingTransport(std::unique_ptr<HidTransport> inner, PathRegistry& registry)
    : inner_(std::move(inner)), registry_(registry)
{
}

ClaimingTransport::~ClaimingTransport()
{
    if (!held_.empty())
        registry_.release(held_);
}

std::vector<HidInterfaceInfo> ClaimingTransport::enumerate()
{
    const std::vector<HidInterfaceInfo> present = inner_->enumerate();
    if (!held_.empty()) {
        for (const HidInterfaceInfo& info : present)
            if (info.path == held_ && isDisplay(info))
                return {info};
        // Unplugged: the port is free for whatever comes next, here or at another place.
        registry_.release(held_);
        held_.clear();
        return {};
    }
    for (const HidInterfaceInfo& info : present) {
        if (isDisplay(info) && registry_.claim(info.path)) {
            held_ = info.path;
            return {info};
        }
    }
    return {};
}

UsbUnitSource::UsbUnitSource(std::function<std::unique_ptr<HidTransport>()> makeTransport)
    : makeTransport_(std::move(makeTransport))
{
}

std::unique_ptr<HidTransport> UsbUnitSource::busFor(int)
{
    return std::make_unique<ClaimingTransport>(makeTransport_(), registry_);
}

int UsbUnitSource::claimUnit(int, const std::string&) { return ++units_; }

}  // namespace trivo::production
