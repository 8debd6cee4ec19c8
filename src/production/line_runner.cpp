#include "production/line_runner.h"

#include <QMetaObject>

namespace trivo::production {

// The line's observer: each call becomes a signal, queued to the window's thread.
class LineRunner::Relay final : public LineObserver {
public:
    explicit Relay(LineRunner& runner) : runner_(runner) {}
    void placeWaiting(int place) override { emit runner_.placeWaiting(place); }
    void unitStarted(int place, int unit, const QString& usbPath) override
    {
        emit runner_.unitStarted(place, unit, usbPath);
    }
    void stepStarted(int place, int unit, UnitStep step) override
    {
        emit runner_.stepStarted(place, unit, stepCaption(step));
    }
    void stepProgress(int place, int unit, int value, int maximum) override
    {
        emit runner_.stepProgress(place, unit, value, maximum);
    }
    void unitFinished(int place, const UnitRecord& record, bool) override
    {
        emit runner_.unitFinished(place, record, csvLine(record));
    }

private:
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
        QMetaObject::invokeMethod(
            this,
            [this, summary] {
                running_ = false;
                join();
                emit finished(summary);
            },
            Qt::QueuedConnection);
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
