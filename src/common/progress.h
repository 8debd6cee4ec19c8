#pragma once
// The one way an operation shows how far it has gone: a bar with a maximum, a value and a short text.
// Windows paint it at once (the operation does not return to the event loop until it ends); the command
// line draws its own bar or nothing.
#include <QString>

namespace trivo {

class Progress {
public:
    virtual ~Progress() = default;
    // The bar appears, from 0 to maximum, with text beside it (empty: no text).
    virtual void begin(int maximum, const QString& text) = 0;
    // The bar's value; text replaces the text when it is not null.
    virtual void advance(int value, const QString& text = QString()) = 0;
    // The bar disappears.
    virtual void end() = 0;
};

// For callers that show nothing.
class NoProgress final : public Progress {
public:
    void begin(int, const QString&) override {}
    void advance(int, const QString&) override {}
    void end() override {}
};

// Begins a progress and ends it on every way out of the scope.
class ProgressScope {
public:
    ProgressScope(Progress& progress, int maximum, const QString& text) : progress_(progress)
    {
        progress_.begin(maximum, text);
    }
    ~ProgressScope() { progress_.end(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    Progress& progress_;
};

// A progress nobody watches, for callers that have none to give.
inline Progress& silentProgress()
{
    static NoProgress none;
    return none;
}

}  // namespace trivo
