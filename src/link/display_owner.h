#pragma once
// The one owner of a display inside the program: its own I/O thread is the only one that opens the
// display and exchanges with it. It wires three parts: the queue of operations (OperationQueue: their
// order, their cancel tokens, busy), the connection monitor (ConnectionMonitor: DETECT_CON's checks, the
// displays and the chosen one, the openings tried again), and the I/O thread with its exchanger. Each
// operation runs there, one at a time in the order given, its progress and result coming back to the
// window's thread through queued calls, so that no window waits for the display; the status line and the
// link window's model are fed from what the I/O thread did.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

#include "common/language.h"
#include "common/progress.h"
#include "link/connection_monitor.h"
#include "link/exchanger.h"
#include "link/operation_queue.h"

class QThread;

namespace trivo {

inline const QString kUnusableText = FR("Afficheur inaccessible (%1) : voir la règle udev dans le README.");
inline const QString kChosenGoneText = FR("Afficheur %1 débranché : rebranchez-le ou choisissez-en un autre.");

class DisplayOwner : public QObject {
    Q_OBJECT
public:
    // The owner takes the transport's calls to its I/O thread; the transport must outlive it.
    explicit DisplayOwner(HidTransport& transport, QObject* parent = nullptr);
    // Cancels what runs, waits for it, closes the link and ends the I/O thread.
    ~DisplayOwner() override;

    // --- settings, applied on the I/O thread before the next operation -----------------------
    void setReadTimeoutMs(int ms);
    void setReportObserver(std::function<void(bool output, const uint8_t* data, std::size_t length)> observer);
    // Claims the display against other programs before opening it (real displays).
    void setClaims(bool on);

    // --- operations ---------------------------------------------------------------------------
    // What the window that asked is told: the work's result on its own thread, unless it is gone.
    template <class Result>
    using Done = std::function<void(const Result&)>;

    // Runs work on the I/O thread as one operation (Exchanger::Operation), after those asked before it;
    // progress (when given, a view on the receiver's thread) follows it; done gets the result on the
    // receiver's thread. Nothing is delivered to a receiver that no longer exists.
    // Returns the operation's number, for cancel().
    template <class Result>
    quint64 run(QObject* receiver, std::function<Result(Exchanger&, Progress&)> work, Done<Result> done,
                Progress* progress = nullptr)
    {
        auto result = std::make_shared<Result>();
        return post(receiver, progress, false,
             [work = std::move(work), result](Exchanger& link, Progress& p) { *result = work(link, p); },
             [done = std::move(done), result] {
                 if (done)
                     done(*result);
             });
    }
    // The same for a request that repeats by itself (a window's timer): it is not an operation, does not
    // make the owner busy, and its exchanges are held while the display does not answer. Skipped (false)
    // while an operation is waiting or running: the next tick tries again.
    template <class Result>
    bool runPeriodic(QObject* receiver, std::function<Result(Exchanger&)> work, Done<Result> done)
    {
        if (busy() || queue_.periodicInFlight())
            return false;
        auto result = std::make_shared<Result>();
        post(receiver, nullptr, true, [work = std::move(work), result](Exchanger& link, Progress&) {
            *result = work(link);
        }, [done = std::move(done), result] {
            if (done)
                done(*result);
        });
        return true;
    }
    // True from the moment an operation is asked until its result has been delivered, and while the
    // display is reserved. Like every state below, kept and read on the owner's thread only.
    bool busy() const { return queue_.busy(); }

    // The display kept for an operation about to be asked (a confirmation box is open): periodic requests
    // and connection checks wait meanwhile, as they would for the operation itself.
    class Reservation {
    public:
        explicit Reservation(DisplayOwner& owner);
        ~Reservation();
        Reservation(const Reservation&) = delete;
        Reservation& operator=(const Reservation&) = delete;

    private:
        QPointer<DisplayOwner> owner_;
    };
    // Stops an operation between two exchanges (not inside a stretch that must finish), or drops it
    // before it starts: its exchanges send nothing and say Cancelled. Each operation has a cancel token of
    // its own, so a cancel never reaches another one, even as the I/O thread goes from one to the next; an
    // operation that has ended is not affected either.
    void cancel(quint64 operation);
    // Every operation asked so far (closing the program).
    void cancelAll();
    // A connection check is on its way.
    bool checking() const { return monitor_->checking(); }
    // Nothing asked of the I/O thread is still to come back: no operation, check or periodic request.
    bool idle() const
    {
        return !queue_.busy() && !queue_.periodicInFlight() && !monitor_->checking() && !monitor_->retrying()
            && closing_ == 0;
    }

    // --- connection monitor --------------------------------------------------------------------
    QTimer& monitorTimer() { return monitor_->timer(); }  // objectName "DETECT_CON"
    void startMonitor();
    void stopMonitor();
    bool monitorRunning() const;
    // One tick: a connection check on the I/O thread, skipped while an operation is asked or running.
    void DETECT_CON_Timer();

    // The state as the last check or operation left it, on the owner's thread.
    LinkState state() const { return state_; }
    QString label3Text() const;
    bool deviceFound() const { return deviceFound_; }
    HidInterfaceInfo device() const { return device_; }
    ExchangeOutcome lastOutcome() const { return lastOutcome_; }
    // Why the display was not claimed at the last check (taken() when it was, or claims are off).
    const ClaimResult& claimRefusal() const { return claimRefusal_; }
    // Why the display cannot be opened, once it has refused for kOpenRetryMs ("" otherwise).
    QString unusable() const { return monitor_->unusable(); }

    // --- several displays ----------------------------------------------------------------------
    // Every display the last check saw (displaysChanged when the list changes).
    const std::vector<HidInterfaceInfo>& displays() const { return monitor_->displays(); }
    // The display the windows work on (its USB path); empty: the first one found. A chosen display that
    // is unplugged stays the chosen one: nothing switches to another by itself.
    void setTarget(const std::string& path);
    const std::string& target() const { return monitor_->target(); }

    // --- the link window's model ----------------------------------------------------------------
    // What of the link's records comes to takeEvents() (eventsReady says when): nothing; only what the
    // exchanges leave in the buffer and the progress label (the window's details hidden); or everything,
    // the records kept since the last exchange first (the details shown).
    enum class Watch { Nothing, Exchanges, Everything };
    void setWatched(Watch watch);
    std::vector<LinkEvent> takeEvents();
    // The link window's edits of the buffer.
    void editBuffer(int index, const QString& text);
    void clearBuffer();

    // Asks the I/O thread to close the link ("Quitter"), after the operation under way (cancelled, or
    // waited for to its time-out there, never here); linkClosed() tells when it is closed.
    void CloseLink();
    // Lets go of the display while another part of the program (a production line) works on it: the
    // monitor stops and the link is closed as CloseLink() does, its claim given up once linkClosed() has
    // come; false takes it back at the next check.
    void setSuspended(bool suspended);
    bool suspended() const { return suspended_; }

signals:
    void busyChanged(bool busy);
    void label3Changed();
    // After every connection check, with its result (every check, not only on a change).
    void monitorTick(bool connected);
    void eventsReady();
    void displaysChanged();
    // An operation's result has been delivered.
    void operationFinished();
    // The link asked closed by CloseLink() is closed, its handles and claim given up.
    void linkClosed();

private:
    class Worker;
    quint64 post(QObject* receiver, Progress* progress, bool periodic,
                 std::function<void(Exchanger&, Progress&)> work, std::function<void()> deliver);
    void postSettings(std::function<void(Exchanger&)> change);
    void apply(const LinkSnapshot& snapshot);

    HidTransport& transport_;
    std::unique_ptr<Exchanger> exchanger_;
    QThread* thread_ = nullptr;
    Worker* worker_ = nullptr;
    OperationQueue queue_;
    ConnectionMonitor* monitor_ = nullptr;
    bool suspended_ = false;
    int closing_ = 0;  // closes asked and not yet told
    // The state as the I/O thread last left it.
    LinkState state_ = LinkState::Unknown;
    bool deviceFound_ = false;
    HidInterfaceInfo device_;
    ExchangeOutcome lastOutcome_ = ExchangeOutcome::NotOpen;
    ClaimResult claimRefusal_;

    struct EventQueue;
    std::shared_ptr<EventQueue> events_;
};

}  // namespace trivo
