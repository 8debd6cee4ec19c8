#include "link/operation_queue.h"

#include <vector>

#include "common/handover.h"

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

std::shared_ptr<Progress> OperationQueue::relay(QObject* via, QObject* receiver, Progress* target)
{
    return std::make_shared<ProgressRelay>(via, receiver, target);
}

OperationQueue::Ticket OperationQueue::ask(bool periodic)
{
    if (periodic)
        periodicInFlight_ = true;
    else
        hold();
    Ticket ticket{++submitted_, std::make_shared<std::atomic<bool>>(false)};
    std::lock_guard lock(mutex_);
    tokens_.emplace(ticket.number, ticket.cancelled);
    return ticket;
}

void OperationQueue::ended(quint64 number)
{
    std::lock_guard lock(mutex_);
    tokens_.erase(number);
}

void OperationQueue::delivered(bool periodic)
{
    if (periodic)
        periodicInFlight_ = false;
    else
        release();
}

void OperationQueue::cancel(quint64 number)
{
    std::lock_guard lock(mutex_);
    if (auto token = tokens_.find(number); token != tokens_.end())
        *token->second = true;
}

void OperationQueue::cancelAll()
{
    std::lock_guard lock(mutex_);
    for (auto& [number, token] : tokens_)
        *token = true;
}

void OperationQueue::hold()
{
    if (pending_++ == 0)
        emit busyChanged(true);
}

void OperationQueue::release()
{
    if (--pending_ == 0)
        emit busyChanged(false);
}

}  // namespace trivo
