#pragma once
// Work handed from one thread to another through Qt, told to ThreadSanitizer. Qt orders a queued call
// (the poster's writes before the call, the call before its destruction, wherever Qt destroys it) and the
// end of a QThread before QThread::wait() returns, but it does so in its own library, which Debian does
// not build with the sanitizer: seen from the sanitizer, every capture of a queued call would race. In a
// sanitizer build these calls say where the order is made; elsewhere they are nothing.
#include <QMetaObject>
#include <QObject>

#include <utility>

#if defined(__SANITIZE_THREAD__)
#define TRIVO_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TRIVO_THREAD_SANITIZER 1
#endif
#endif

#ifdef TRIVO_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace trivo {

namespace handover {

// What this thread did so far happens before what a thread does after took(token).
inline void gave([[maybe_unused]] const void* token)
{
#ifdef TRIVO_THREAD_SANITIZER
    __tsan_release(const_cast<void*>(token));
#endif
}

inline void took([[maybe_unused]] const void* token)
{
#ifdef TRIVO_THREAD_SANITIZER
    __tsan_acquire(const_cast<void*>(token));
#endif
}

// A queued call's functor, its own address the token. Qt moves it into the call it queues, so the last move
// gives what the poster wrote; the call takes it, and gives what it did to the destruction.
template <class F>
class Call {
public:
    explicit Call(F f) : f_(std::move(f)) { gave(this); }
    Call(Call&& other) : f_(std::move(other.f_)) { gave(this); }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
    Call& operator=(Call&&) = delete;
    ~Call() { took(this); }

    void operator()()
    {
        took(this);
        f_();
        gave(this);
    }

private:
    F f_;
};

}  // namespace handover

// Runs f on the thread of `context` through its event queue (dropped with the context, as Qt does).
template <class F>
void postTo(QObject* context, F f)
{
    QMetaObject::invokeMethod(context, handover::Call<F>(std::move(f)), Qt::QueuedConnection);
}

}  // namespace trivo
