#include "link/display_owner.h"

#include <QThread>

#include <mutex>

#include "common/handover.h"
#include "common/language.h"
#include "link/display_claim.h"

namespace trivo {


// The I/O thread's object: every job runs in its thread.
class DisplayOwner::Worker : public QObject {
public:
    using QObject::QObject;
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
      events_(std::make_shared<EventQueue>())
{
    connect(&queue_, &OperationQueue::busyChanged, this, &DisplayOwner::busyChanged);
    auto runCheck = [this](ConnectionMonitor::Checked checked) {
        postTo(worker_, [this, checked = std::move(checked)] {
            const Exchanger::Check check = exchanger_->connectionCheck();
            const LinkSnapshot snapshot = LinkSnapshot::of(*exchanger_);
            postTo(this, [checked, check, snapshot] { checked(check, snapshot); });
        });
    };
    auto report = [this](const Exchanger::Check& check, const LinkSnapshot& snapshot) {
        apply(snapshot);
        emit monitorTick(check.connected);
    };
    monitor_ = new ConnectionMonitor([this] { return busy(); }, runCheck, report, this);
    thread_->setObjectName(QStringLiteral("display I/O"));
    worker_->moveToThread(thread_);
    thread_->start();
}

DisplayOwner::~DisplayOwner()
{
    monitor_->stop();
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
    const OperationQueue::Ticket ticket = queue_.ask(periodic);
    auto relay = progress && receiver ? OperationQueue::relay(this, receiver, progress) : nullptr;
    QPointer<QObject> to(receiver);
    const bool anyReceiver = receiver == nullptr;
    auto job = [this, ticket, periodic, relay, work = std::move(work), deliver = std::move(deliver), to,
                anyReceiver]() mutable {
        Exchanger& link = *exchanger_;
        // This operation's token only: a cancel meant for another, before or after it, never reaches it.
        link.setCancelFlag(ticket.cancelled.get());
        if (periodic) {
            const Exchanger::Periodic request(link);
            work(link, silentProgress());
        } else {
            const Exchanger::Operation operation(link);
            work(link, relay ? *relay : silentProgress());
        }
        link.setCancelFlag(nullptr);
        queue_.ended(ticket.number);
        const LinkSnapshot snapshot = LinkSnapshot::of(link);
        // The delivery goes whole to the owner's thread: what it holds (a window's state) is let go there,
        // never on this one. It is let go as soon as it has run: Qt may destroy the posted call on this
        // thread, when the owner's thread has handled it before the posting here has returned.
        postTo(this, [this, snapshot, periodic, deliver = std::move(deliver), to, anyReceiver]() mutable {
            apply(snapshot);
            if (anyReceiver || to)
                deliver();
            deliver = nullptr;
            if (!periodic)
                emit operationFinished();
            queue_.delivered(periodic);
        });
    };
    postTo(worker_, std::move(job));
    return ticket.number;
}

DisplayOwner::Reservation::Reservation(DisplayOwner& owner) : owner_(&owner) { owner.queue_.hold(); }

DisplayOwner::Reservation::~Reservation()
{
    if (owner_)
        owner_->queue_.release();
}

void DisplayOwner::cancel(quint64 operation) { queue_.cancel(operation); }

void DisplayOwner::cancelAll() { queue_.cancelAll(); }

void DisplayOwner::apply(const LinkSnapshot& s)
{
    state_ = s.state;
    deviceFound_ = s.deviceFound;
    device_ = s.device;
    lastOutcome_ = s.lastOutcome;
    claimRefusal_ = s.claimRefusal;
    if (monitor_->setDisplays(s.displays))
        emit displaysChanged();
    emit label3Changed();
}

QString DisplayOwner::label3Text() const
{
    // A display that another program holds, or that cannot be opened, is not ours to wait for in silence:
    // say why.
    if (state_ == LinkState::Waiting && claimRefusal_.status == ClaimResult::Status::InUse)
        return claimRefusalText(claimRefusal_);
    if (state_ == LinkState::Waiting && !unusable().isEmpty())
        return T(kUnusableText).arg(unusable());
    // The display chosen among several went away: the windows stay with it until the operator chooses.
    if (state_ == LinkState::Waiting && !target().empty())
        return T(kChosenGoneText).arg(QString::fromStdString(target()));
    return T(stateText(state_));
}

void DisplayOwner::setTarget(const std::string& path)
{
    if (!monitor_->choose(path))
        return;
    postSettings([path](Exchanger& link) { link.setTarget(path); });
    if (monitor_->running() || state_ != LinkState::Unknown) {
        state_ = LinkState::Unknown;
        DETECT_CON_Timer();
    }
}

// --- monitor ----------------------------------------------------------------------------------

void DisplayOwner::startMonitor() { monitor_->start(); }
void DisplayOwner::stopMonitor() { monitor_->stop(); }
bool DisplayOwner::monitorRunning() const { return monitor_->running(); }
void DisplayOwner::DETECT_CON_Timer() { monitor_->tick(); }

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
    monitor_->stop();
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
