#pragma once
// The operations a window has asked of the display's owner and not yet heard back from: closing the
// window while one runs cancels it (where it can be) and waits for its end, then closes.
#include <QCloseEvent>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

#include "link/display_owner.h"

namespace trivo {

class WindowOperations {
public:
    WindowOperations(QWidget& window, DisplayOwner& owner) : window_(&window), owner_(owner) {}

    // Runs work on the display's owner for this window; done gets the result here.
    template <class Result>
    quint64 run(std::function<Result(Exchanger&, Progress&)> work, std::function<void(const Result&)> done,
                Progress* progress = nullptr)
    {
        auto number = std::make_shared<quint64>(0);
        *number = owner_.run<Result>(
            window_, std::move(work),
            [this, number, done = std::move(done)](const Result& result) {
                running_.removeOne(*number);
                if (done && !closing_)
                    done(result);
                closeIfHeld();
            },
            progress);
        running_.append(*number);
        return *number;
    }

    bool running() const { return !running_.isEmpty(); }
    // Cancels what this window asked (between two exchanges, where the operation allows it).
    void cancel();
    DisplayOwner& owner() { return owner_; }

    // For closeEvent: while an operation of the window runs, the close waits for it (cancelled where it
    // can be) and happens once it has ended. True when the event was put off.
    bool holdClose(QCloseEvent* event);

private:
    // A close put off happens once the last operation's result has been delivered.
    void closeIfHeld();

    QPointer<QWidget> window_;
    DisplayOwner& owner_;
    QList<quint64> running_;
    bool closing_ = false;
};

}  // namespace trivo
