#pragma once
// The display's connection as its owner watches it (DETECT_CON): a check on the I/O thread every second
// unless an operation has the display, the displays plugged in and the one chosen among them, and the
// openings a display refuses while the system is still giving it its permissions, tried again for a while
// before it is said to be unusable.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "link/exchanger.h"

namespace trivo {

// How long a display that refuses to be opened is tried again before it is said to be unusable, and how often.
constexpr int kOpenRetryMs = 2000;
constexpr int kOpenRetryIntervalMs = 100;

// What the owner's thread mirrors of the exchanger after each job of the I/O thread.
struct LinkSnapshot {
    LinkState state = LinkState::Unknown;
    bool deviceFound = false;
    HidInterfaceInfo device;
    ExchangeOutcome lastOutcome = ExchangeOutcome::NotOpen;
    ClaimResult claimRefusal;
    std::vector<HidInterfaceInfo> displays;
    std::string openError;

    static LinkSnapshot of(const Exchanger& link);
};

class ConnectionMonitor : public QObject {
    Q_OBJECT
public:
    // Runs a connection check on the I/O thread; `checked` is then called on this object's thread.
    using Checked = std::function<void(const Exchanger::Check&, const LinkSnapshot&)>;
    using RunCheck = std::function<void(Checked checked)>;
    // busy: an operation has the display (the check waits for a tick after it); report: a check's result,
    // unless the display is being tried again.
    ConnectionMonitor(std::function<bool()> busy, RunCheck runCheck, Checked report, QObject* parent);

    QTimer& timer() { return *detectCon_; }  // objectName "DETECT_CON"
    void start();
    void stop();
    bool running() const;
    // One tick: a connection check, skipped while an operation is asked or running or a check is on its way.
    void tick();

    bool checking() const { return checkInFlight_; }
    bool retrying() const { return retryPending_; }
    // Why the display cannot be opened, once it has refused for kOpenRetryMs ("" otherwise).
    const QString& unusable() const { return unusable_; }

    // Every display the last check saw; true when the list changed.
    bool setDisplays(const std::vector<HidInterfaceInfo>& displays);
    const std::vector<HidInterfaceInfo>& displays() const { return displays_; }
    // The display chosen (its USB path; empty: the first one found). False when it is the one already.
    bool choose(const std::string& path);
    const std::string& target() const { return target_; }

private:
    bool settling(const Exchanger::Check& check, const LinkSnapshot& snapshot);

    std::function<bool()> busy_;
    RunCheck runCheck_;
    Checked report_;
    QTimer* detectCon_;
    bool checkInFlight_ = false;
    bool retryPending_ = false;
    QElapsedTimer openFailing_;  // since when the display refuses to open
    QString unusable_;
    std::vector<HidInterfaceInfo> displays_;
    std::string target_;
};

}  // namespace trivo
