#include "production/line_runner.h"

#include "common/handover.h"

namespace trivo::production {

// The line's observer: each call becomes a signal, emitted on the window's thread (the line's threads post it
// there, in order).
class LineRunner::Relay final : public LineObserver {
public:
    explicit Relay(LineRunner& runner) : runner_(runner) {}
    void placeWaiting(int place) override
    {
        tell([place](LineRunner& r) { emit r.placeWaiting(place); });
    }
    void unitStarted(int place, int unit, const QString& usbPath) override
    {
        tell([place, unit, usbPath](LineRunner& r) { emit r.unitStarted(place, unit, usbPath); });
    }
    void stepStarted(int place, int unit, UnitStep step) override
    {
        tell([place, unit, caption = stepCaption(step)](LineRunner& r) { emit r.stepStarted(place, unit, caption); });
    }
    void stepProgress(int place, int unit, int value, int maximum) override
    {
        tell([=](LineRunner& r) { emit r.stepProgress(place, unit, value, maximum); });
    }
    void unitFinished(int place, const UnitRecord& record, bool) override
    {
        tell([place, record, line = csvLine(record)](LineRunner& r) { emit r.unitFinished(place, record, line); });
    }

private:
    template <class F>
    void tell(F emitIt)
    {
        LineRunner* runner = &runner_;
        postTo(runner, [runner, emitIt = std::move(emitIt)] { emitIt(*runner); });
    }

    LineRunner& runner_;
};

LineRunner::LineRunner(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<UnitRecord>();
    qRegisterMetaType<LineSummary>();
}

LineRunner::~LineRunner()
{
    stop();
    join();
}

bool LineRunner::start(const Model& model, std::unique_ptr<ProductionLog> log, std::unique_ptr<UnitSource> source,
                       LineSettings settings)
{
    if (running_)
        return false;
    join();
    model_ = model;
    log_ = std::move(log);
    source_ = std::move(source);
    line_ = std::make_unique<ProductionLine>(model_, *log_, *source_, std::move(settings));
    relay_ = std::make_unique<Relay>(*this);
    running_ = true;
    thread_ = std::thread([this] {
        const LineSummary summary = line_->run(*relay_);
        // running_ is the window's: it changes on the window's thread, with the last signal.
        postTo(this, [this, summary] {
            running_ = false;
            join();
            emit finished(summary);
        });
    });
    return true;
}

void LineRunner::stop()
{
    if (line_)
        line_->stop();
}

void LineRunner::join()
{
    if (thread_.joinable())
        thread_.join();
}

}  // namespace trivo::production
