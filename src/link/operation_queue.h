#pragma once
// The display's operations as its owner asks them: numbered in the order asked, each with a cancel token
// of its own from the moment it is asked until it has ended on the I/O thread, and counted from then until
// its result is delivered (busy). A periodic request is not counted: one at a time, skipped while busy.
// Its progress goes to the window through a relay that merges what the window could not paint.
#include <QObject>
#include <QPointer>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

#include "common/progress.h"

namespace trivo {

class OperationQueue : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    struct Ticket {
        quint64 number = 0;
        std::shared_ptr<std::atomic<bool>> cancelled;
    };
    // On the owner's thread. An operation makes the queue busy until delivered(false).
    Ticket ask(bool periodic);
    // On the I/O thread, once the work has returned: a cancel can no longer reach it.
    void ended(quint64 number);
    // On the owner's thread, once the result has been handed over.
    void delivered(bool periodic);

    void cancel(quint64 number);
    void cancelAll();

    bool busy() const { return pending_ > 0; }
    bool periodicInFlight() const { return periodicInFlight_; }
    // The display kept for an operation about to be asked (a confirmation box): busy meanwhile.
    void hold();
    void release();

    // The progress of an operation, told on the I/O thread, shown on the receiver's (the owner's) thread
    // through `via`, which outlives the I/O thread; nothing is shown once the receiver is gone.
    static std::shared_ptr<Progress> relay(QObject* via, QObject* receiver, Progress* target);

signals:
    void busyChanged(bool busy);

private:
    quint64 submitted_ = 0;  // operations asked, numbered from 1
    std::mutex mutex_;
    std::map<quint64, std::shared_ptr<std::atomic<bool>>> tokens_;
    int pending_ = 0;
    bool periodicInFlight_ = false;
};

}  // namespace trivo
