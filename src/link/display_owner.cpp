#include "link/display_owner.h"

#include <QThread>

#include <mutex>

#include "common/handover.h"
#include "common/language.h"
#include "link/display_claim.h"

namespace trivo {

namespace {

// An operation's progress, told on the I/O thread and shown on the window's: the steps travel in order,
// but advances that follow each other become one, so that a window is never handed more than it can
// paint (a firmware update advances 500 times in a second). The steps go through the owner, which outlives
// the I/O thread: the window may be destroyed meanwhile, and is then told nothing.
class ProgressRelay final : public Progress, public std::enable_shared_from_this<ProgressRelay> {
public:
    ProgressRelay(QObject* owner, QObject* receiver, Progress* target)
        : owner_(owner), receiver_(receiver), target_(target)
    {
    }

    void begin(int maximum, const QString& text) override { add({Step::Begin, maximum, text}); }
    void advance(int value, const QString& text) override { add({Step::Advance, value, text}); }
    void end() override { add({Step::End, 0, QString()}); }

private:
    struct Step {
        enum Kind { Begin, Advance, End } kind;
        int value;
        QString text;
    };

    void add(Step step)
    {
        std::lock_guard lock(mutex_);
        if (step.kind == Step::Advance && !steps_.empty() && steps_.back().kind == Step::Advance) {
            if (step.text.isNull())
                step.text = steps_.back().text;
            steps_.back() = std::move(step);
        } else {
            steps_.push_back(std::move(step));
        }
        if (posted_)
            return;
        posted_ = true;
        postTo(owner_, [self = shared_from_this()] { self->flush(); });
    }

    // On the owner's thread, which is the receiver's.
    void flush()
    {
        std::vector<Step> steps;
        {
            std::lock_guard lock(mutex_);
            steps.swap(steps_);
            posted_ = false;
        }
        if (!receiver_)
            return;
        for (const Step& s : steps) {
            switch (s.kind) {
            case Step::Begin: target_->begin(s.value, s.text); break;
            case Step::Advance: target_->advance(s.value, s.text); break;
            case Step::End: target_->end(); break;
            }
        }
    }

    QObject* owner_;
    QPointer<QObject> receiver_;  // read on its own thread only
    Progress* target_;
    std::mutex mutex_;
    std::vector<Step> steps_;
    bool posted_ = false;
};

}  // namespace

// The I/O thread's object: every job runs in its thread.
class DisplayOwner::Worker : public QObject {
public:
    using QObject::QObject;
};

// What the owner's thread mirrors of the exchanger after each job.
struct DisplayOwner::Snapshot {
    LinkState state = LinkState::Unknown;
    bool deviceFound = false;
    HidInterfaceInfo device;
    ExchangeOutcome lastOutcome = ExchangeOutcome::NotOpen;
    ClaimResult claimRefusal;
    std::vector<HidInterfaceInfo> displays;
    std::string openError;

    static Snapshot of(const Exchanger& link)
    {
        return {link.state(),        link.deviceFound(),     link.device(),   link.lastOutcome(),
                link.claimRefusal(), link.displaysPresent(), link.openError()};
    }
};

// The link's records on their way from the I/O thread to the link window's model.
struct DisplayOwner::EventQueue {
    std::mutex mutex;
    std::vector<LinkEvent> events;
    bool posted = false;
};

DisplayOwner::DisplayOwner(HidTransport& transport, QObject* parent)
    : QObject(parent),
      transport_(transport),
      exchanger_(std::make_unique<Exchanger>(transport)),
      thread_(new QThread),
      worker_(new Worker),
      detectCon_(new QTimer(this)),
      events_(std::make_shared<EventQueue>())
{
    detectCon_->setObjectName(QStringLiteral("DETECT_CON"));
    detectCon_->setInterval(kMonitorIntervalMs);
    connect(detectCon_, &QTimer::timeout, this, &DisplayOwner::DETECT_CON_Timer);
    thread_->setObjectName(QStringLiteral("display I/O"));
    worker_->moveToThread(thread_);
    thread_->start();
}

DisplayOwner::~DisplayOwner()
{
    detectCon_->stop();
    cancelAll();
    // The operation under way ends at its next exchange; those waiting are dropped with the thread's queue.
    postTo(worker_, [this] { exchanger_->setEventSink({}); });
    // The link goes with the thread, its handles closed there: no transport call is made on this one.
    auto closeLink = [this] {
        exchanger_.reset();
        handover::gave(this);
    };
    connect(thread_, &QThread::finished, thread_, handover::Call(std::move(closeLink)), Qt::DirectConnection);
    thread_->quit();
    thread_->wait();
    handover::took(this);
    delete worker_;
    delete thread_;
}

void DisplayOwner::postSettings(std::function<void(Exchanger&)> change)
{
    postTo(worker_, [this, change = std::move(change)] { change(*exchanger_); });
}

void DisplayOwner::setReadTimeoutMs(int ms)
{
    postSettings([ms](Exchanger& link) { link.setReadTimeoutMs(ms); });
}

void DisplayOwner::setReportObserver(std::function<void(bool, const uint8_t*, std::size_t)> observer)
{
    postSettings([observer = std::move(observer)](Exchanger& link) { link.setReportObserver(observer); });
}

void DisplayOwner::setClaims(bool on)
{
    postSettings([on](Exchanger& link) { link.setClaims(on ? std::make_unique<DisplayClaim>() : nullptr); });
}

quint64 DisplayOwner::post(QObject* receiver, Progress* progress, bool periodic,
                           std::function<void(Exchanger&, Progress&)> work, std::function<void()> deliver)
{
    if (periodic)
        periodicInFlight_ = true;
    else
        addPending();
    const quint64 number = ++submitted_;
    auto token = std::make_shared<std::atomic<bool>>(false);
    {
        std::lock_guard lock(cancelMutex_);
        cancelTokens_.emplace(number, token);
    }
    auto relay = progress && receiver ? std::make_shared<ProgressRelay>(this, receiver, progress) : nullptr;
    QPointer<QObject> to(receiver);
    const bool anyReceiver = receiver == nullptr;
    auto job = [this, number, token, periodic, relay, work = std::move(work), deliver = std::move(deliver), to,
                anyReceiver]() mutable {
        Exchanger& link = *exchanger_;
        // This operation's token only: a cancel meant for another, before or after it, never reaches it.
        link.setCancelFlag(token.get());
        if (periodic) {
            const Exchanger::Periodic request(link);
            work(link, silentProgress());
        } else {
            const Exchanger::Operation operation(link);
            work(link, relay ? static_cast<Progress&>(*relay) : silentProgress());
        }
        link.setCancelFlag(nullptr);
        {
            std::lock_guard lock(cancelMutex_);
            cancelTokens_.erase(number);
        }
        const Snapshot snapshot = Snapshot::of(link);
        // The delivery goes whole to the owner's thread: what it holds (a window's state) is let go there,
        // never on this one. It is let go as soon as it has run: Qt may destroy the posted call on this
        // thread, when the owner's thread has handled it before the posting here has returned.
        postTo(this, [this, snapshot, periodic, deliver = std::move(deliver), to, anyReceiver]() mutable {
            apply(snapshot);
            if (anyReceiver || to)
                deliver();
            deliver = nullptr;
            if (periodic) {
                periodicInFlight_ = false;
                return;
            }
            emit operationFinished();
            removePending();
        });
    };
    postTo(worker_, std::move(job));
    return number;
}

void DisplayOwner::addPending()
{
    if (pending_++ == 0)
        emit busyChanged(true);
}

void DisplayOwner::removePending()
{
    if (--pending_ == 0)
        emit busyChanged(false);
}

DisplayOwner::Reservation::Reservation(DisplayOwner& owner) : owner_(&owner) { owner.addPending(); }

DisplayOwner::Reservation::~Reservation()
{
    if (owner_)
        owner_->removePending();
}

void DisplayOwner::cancel(quint64 operation)
{
    std::lock_guard lock(cancelMutex_);
    if (auto token = cancelTokens_.find(operation); token != cancelTokens_.end())
        *token->second = true;
}

void DisplayOwner::cancelAll()
{
    std::lock_guard lock(cancelMutex_);
    for (auto& [number, token] : cancelTokens_)
        *token = true;
}

void DisplayOwner::apply(const Snapshot& s)
{
    state_ = s.state;
    deviceFound_ = s.deviceFound;
    device_ = s.device;
    lastOutcome_ = s.lastOutcome;
    claimRefusal_ = s.claimRefusal;
    if (s.displays.size() != displays_.size()
        || !std::equal(s.displays.begin(), s.displays.end(), displays_.begin(),
                       [](const HidInterfaceInfo& a, const HidInterfaceInfo& b) {
                           return a.path == b.path && a.serial == b.serial && a.version == b.version;
                       })) {
        displays_ = s.displays;
        emit displaysChanged();
    }
    emit label3Changed();
}

// A display node may appear before the system has given it its permissions: the opening it refuses then is
// tried again for a while before the display is said to be unusable, and the check is not reported meanwhile.
bool DisplayOwner::settling(const Exchanger::Check& check, const Snapshot& s)
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
            DETECT_CON_Timer();
        });
        return true;
    }
    unusable_ = s.claimRefusal.status == ClaimResult::Status::Failed ? claimErrorText(s.claimRefusal.error)
                                                                    : QString::fromStdString(s.openError);
    return false;
}

QString DisplayOwner::label3Text() const
{
    // A display that another program holds, or that cannot be opened, is not ours to wait for in silence:
    // say why.
    if (state_ == LinkState::Waiting && claimRefusal_.status == ClaimResult::Status::InUse)
        return claimRefusalText(claimRefusal_);
    if (state_ == LinkState::Waiting && !unusable_.isEmpty())
        return T(kUnusableText).arg(unusable_);
    // The display chosen among several went away: the windows stay with it until the operator chooses.
    if (state_ == LinkState::Waiting && !target_.empty())
        return T(kChosenGoneText).arg(QString::fromStdString(target_));
    return T(stateText(state_));
}

void DisplayOwner::setTarget(const std::string& path)
{
    if (path == target_)
        return;
    target_ = path;
    openFailing_.invalidate();
    unusable_.clear();
    postSettings([path](Exchanger& link) { link.setTarget(path); });
    if (detectCon_->isActive() || state_ != LinkState::Unknown) {
        state_ = LinkState::Unknown;
        DETECT_CON_Timer();
    }
}

// --- monitor ----------------------------------------------------------------------------------

void DisplayOwner::startMonitor() { detectCon_->start(kMonitorIntervalMs); }
void DisplayOwner::stopMonitor() { detectCon_->stop(); }
bool DisplayOwner::monitorRunning() const { return detectCon_->isActive(); }

void DisplayOwner::DETECT_CON_Timer()
{
    // An operation has the display to itself: the check waits for a tick after it.
    if (busy() || checkInFlight_)
        return;
    checkInFlight_ = true;
    postTo(worker_, [this] {
        const Exchanger::Check check = exchanger_->connectionCheck();
        const Snapshot snapshot = Snapshot::of(*exchanger_);
        postTo(this, [this, check, snapshot] {
            checkInFlight_ = false;
            if (!check.ran)
                return;
            if (settling(check, snapshot))
                return;
            apply(snapshot);
            emit monitorTick(check.connected);
        });
    });
}

// --- the link window's model ------------------------------------------------------------------

void DisplayOwner::setWatched(Watch watch)
{
    std::shared_ptr<EventQueue> queue = events_;
    if (watch == Watch::Nothing) {
        postSettings([](Exchanger& link) { link.setEventSink({}); });
        std::lock_guard lock(queue->mutex);
        queue->events.clear();
        return;
    }
    const bool everything = watch == Watch::Everything;
    postSettings([this, queue, everything](Exchanger& link) {
        link.setEventSink([this, queue, everything](const LinkEvent& event) {
            // The monitor's passes and the calls' log only fill the diagnostics, which are not shown.
            if (!everything && !std::holds_alternative<ExchangeRecord>(event) && !std::holds_alternative<BufferEdit>(event)
                && !std::holds_alternative<BufferSnapshot>(event))
                return;
            std::lock_guard lock(queue->mutex);
            queue->events.push_back(event);
            if (queue->posted)
                return;
            queue->posted = true;
            postTo(this, [this] { emit eventsReady(); });
        });
    });
}

std::vector<LinkEvent> DisplayOwner::takeEvents()
{
    std::vector<LinkEvent> taken;
    std::lock_guard lock(events_->mutex);
    taken.swap(events_->events);
    events_->posted = false;
    return taken;
}

void DisplayOwner::editBuffer(int index, const QString& text)
{
    postSettings([index, text](Exchanger& link) { link.editBuffer(index, text); });
}

void DisplayOwner::clearBuffer()
{
    postSettings([](Exchanger& link) { link.but_CLEAR_HID_Click(); });
}

void DisplayOwner::setSuspended(bool suspended)
{
    if (suspended == suspended_)
        return;
    suspended_ = suspended;
    if (suspended) {
        CloseLink();
        return;
    }
    startMonitor();
    DETECT_CON_Timer();
}

void DisplayOwner::CloseLink()
{
    detectCon_->stop();
    cancelAll();
    ++closing_;
    // Behind what the I/O thread is doing: the GUI thread goes on meanwhile and is told by a queued call.
    postTo(worker_, [this] {
        exchanger_->CloseLink();
        postTo(this, [this] {
            --closing_;
            emit linkClosed();
        });
    });
}

}  // namespace trivo
