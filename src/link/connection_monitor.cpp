#include "link/connection_monitor.h"

#include <algorithm>

#include "link/display_claim.h"

namespace trivo {

LinkSnapshot LinkSnapshot::of(const Exchanger& link)
{
    return {link.state(),        link.deviceFound(),     link.device(),   link.lastOutcome(),
            link.claimRefusal(), link.displaysPresent(), link.openError()};
}

ConnectionMonitor::ConnectionMonitor(std::function<bool()> busy, RunCheck runCheck, Checked report,
                                     QObject* parent)
    : QObject(parent),
      busy_(std::move(busy)),
      runCheck_(std::move(runCheck)),
      report_(std::move(report)),
      detectCon_(new QTimer(this))
{
    detectCon_->setObjectName(QStringLiteral("DETECT_CON"));
    detectCon_->setInterval(kMonitorIntervalMs);
    connect(detectCon_, &QTimer::timeout, this, &ConnectionMonitor::tick);
}

void ConnectionMonitor::start() { detectCon_->start(kMonitorIntervalMs); }
void ConnectionMonitor::stop() { detectCon_->stop(); }
bool ConnectionMonitor::running() const { return detectCon_->isActive(); }

void ConnectionMonitor::tick()
{
    // An operation has the display to itself: the check waits for a tick after it.
    if (busy_() || checkInFlight_)
        return;
    checkInFlight_ = true;
    runCheck_([this](const Exchanger::Check& check, const LinkSnapshot& snapshot) {
        checkInFlight_ = false;
        if (!check.ran || settling(check, snapshot))
            return;
        report_(check, snapshot);
    });
}

// A display node may appear before the system has given it its permissions: the opening it refuses then is
// tried again for a while before the display is said to be unusable, and the check is not reported meanwhile.
bool ConnectionMonitor::settling(const Exchanger::Check& check, const LinkSnapshot& s)
{
    // A claim that failed is a refusal of the node like an opening's (the node's rights not given yet).
    const bool refused =
        !check.connected && !s.openError.empty() && s.claimRefusal.status != ClaimResult::Status::InUse;
    if (!refused) {
        openFailing_.invalidate();
        unusable_.clear();
        return false;
    }
    if (!openFailing_.isValid())
        openFailing_.start();
    if (openFailing_.elapsed() < kOpenRetryMs) {
        retryPending_ = true;
        QTimer::singleShot(kOpenRetryIntervalMs, this, [this] {
            retryPending_ = false;
            tick();
        });
        return true;
    }
    unusable_ = s.claimRefusal.status == ClaimResult::Status::Failed ? claimErrorText(s.claimRefusal.error)
                                                                    : QString::fromStdString(s.openError);
    return false;
}

bool ConnectionMonitor::setDisplays(const std::vector<HidInterfaceInfo>& displays)
{
    const bool same = displays.size() == displays_.size()
        && std::equal(displays.begin(), displays.end(), displays_.begin(),
                      [](const HidInterfaceInfo& a, const HidInterfaceInfo& b) {
                          return a.path == b.path && a.serial == b.serial && a.version == b.version;
                      });
    if (!same)
        displays_ = displays;
    return !same;
}

bool ConnectionMonitor::choose(const std::string& path)
{
    if (path == target_)
        return false;
    target_ = path;
    openFailing_.invalidate();
    unusable_.clear();
    return true;
}

}  // namespace trivo
