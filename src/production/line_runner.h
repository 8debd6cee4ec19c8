#pragma once
// A line run in the background for a window: the line's thread does the waiting and the exchanges, the
// window hears of each step and each unit through signals emitted on its own thread and stays responsive. Stop ends it once
// the units under way are done.
#include <QObject>
#include <QString>

#include <memory>
#include <thread>

#include "production/production_line.h"

namespace trivo::production {

class LineRunner : public QObject {
    Q_OBJECT
public:
    explicit LineRunner(QObject* parent = nullptr);
    ~LineRunner() override;  // stops the line and waits for it

    // Starts the line on its own thread; false when one is already running.
    bool start(const Model& model, std::unique_ptr<ProductionLog> log, std::unique_ptr<UnitSource> source,
               LineSettings settings);
    void stop();
    bool running() const { return running_; }
    // The source of the line running or last run (the emulated line's outcomes, for training).
    UnitSource* source() const { return source_.get(); }

signals:
    void placeWaiting(int place);
    void unitStarted(int place, int unit, const QString& usbPath);
    void stepStarted(int place, int unit, const QString& caption);
    void stepProgress(int place, int unit, int value, int maximum);
    void unitFinished(int place, const trivo::production::UnitRecord& record, const QString& logLine);
    void finished(const trivo::production::LineSummary& summary);

private:
    class Relay;
    void join();

    Model model_;
    std::unique_ptr<ProductionLog> log_;
    std::unique_ptr<UnitSource> source_;
    std::unique_ptr<ProductionLine> line_;
    std::unique_ptr<Relay> relay_;
    std::thread thread_;
    bool running_ = false;
};

}  // namespace trivo::production

Q_DECLARE_METATYPE(trivo::production::UnitRecord)
Q_DECLARE_METATYPE(trivo::production::LineSummary)
