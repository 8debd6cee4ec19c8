#include "production/production_line.h"

#include <QDateTime>
#include <QUuid>

#include <mutex>
#include <thread>
#include <vector>

#include "link/display_claim.h"
#include "link/exchanger.h"
#include "production/line_clock.h"
#include "production/unit_programming.h"

namespace trivo::production {

QString summaryText(const LineSummary& s)
{
    // French keeps 0 and 1 in the singular.
    const QString text = s.units > 1 ? (s.passed > 1 ? T("%1 afficheurs : %2 conformes, %3 en échec")
                                                     : T("%1 afficheurs : %2 conforme, %3 en échec"))
                                     : (s.passed > 1 ? T("%1 afficheur : %2 conformes, %3 en échec")
                                                     : T("%1 afficheur : %2 conforme, %3 en échec"));
    return text.arg(s.units).arg(s.passed).arg(s.failed);
}

struct ProductionLine::Private {
    Private(const Model& m, ProductionLog& l, UnitSource& s, LineSettings ls)
        : model(m), log(l), source(s), settings(std::move(ls))
    {
    }

    bool stopping() const { return stop || (settings.stopAsked && settings.stopAsked()); }
    void runPlace(int place, HidTransport& bus);
    bool waitForDisplay(int place, Exchanger& link, LineClock& clock);
    void waitForUnplug(Exchanger& link, LineClock& clock);
    // One unit from its detection to its signal; false when its log line or its record could not be written.
    bool runUnit(int place, Exchanger& link, LineClock& clock);
    // Ends the line for the reason given (the first reason is the one kept).
    void stopLine(const QString& reason, const QString& shown);
    // Ends the line as it should (its lot's quantity reached), saying why once.
    void endLine(const QString& note);
    void finishUnit(int place, UnitRecord& record, bool signalled);
    // Observer calls, one at a time whatever the place.
    template <typename F>
    void tell(F&& f)
    {
        std::lock_guard lock(mutex);
        if (observer)
            f(*observer);
    }

    const Model& model;
    ProductionLog& log;
    UnitSource& source;
    LineSettings settings;

    std::mutex mutex;
    LineObserver* observer = nullptr;
    LineSummary summary;
    std::atomic<bool> stop{false};
    std::atomic<int> claimed{0};
};

namespace {

// A unit's steps and its picture's bar, passed on to the line's observer.
class PlaceWatcher final : public UnitWatcher, public Progress {
public:
    using Tell = std::function<void(UnitStep, int, int)>;
    explicit PlaceWatcher(Tell tell) : tell_(std::move(tell)) {}
    void stepStarted(UnitStep step) override
    {
        step_ = step;
        tell_(step, -1, 0);
    }
    Progress& progress() override { return *this; }
    void begin(int maximum, const QString&) override
    {
        maximum_ = maximum;
        tell_(step_, 0, maximum_);
    }
    void advance(int value, const QString&) override { tell_(step_, value, maximum_); }
    void end() override {}

private:
    Tell tell_;
    UnitStep step_ = UnitStep::None;
    int maximum_ = 0;
};

}  // namespace

bool ProductionLine::Private::waitForDisplay(int place, Exchanger& link, LineClock& clock)
{
    tell([&](LineObserver& o) { o.placeWaiting(place); });
    for (;;) {
        link.connectionCheck();
        if (link.state() == LinkState::Connected)
            return true;
        if (source.exhausted(place) || stopping())
            return false;
        clock.wait(kMonitorIntervalMs, [this] { return stopping(); });
        if (stopping())
            return false;
    }
}

void ProductionLine::Private::waitForUnplug(Exchanger& link, LineClock& clock)
{
    while (!stopping()) {
        clock.wait(kMonitorIntervalMs, [this] { return stopping(); });
        if (stopping())
            return;
        link.connectionCheck();
        if (link.state() != LinkState::Connected)
            return;
    }
}

bool ProductionLine::Private::runUnit(int place, Exchanger& link, LineClock& clock)
{
    UnitRecord record;
    record.startedAt = QDateTime::currentDateTime();
    record.usbPath = QString::fromStdString(link.device().path);
    record.unit = source.claimUnit(place, link.device().path);
    // A lot's unit takes its place in the lot before anything is written: its record's id is its reservation's.
    const QString unitId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    UnitTicket ticket;
    if (settings.takeUnit) {
        ticket = settings.takeUnit(unitId);
        if (!ticket.refusal.isEmpty()) {
            stopLine(kJournalFailedText.arg(ticket.refusal), T(kJournalFailedText).arg(T(ticket.refusal)));
            return false;
        }
        if (ticket.end) {
            endLine(ticket.note);
            return false;
        }
    }
    const Model& model = ticket.model ? *ticket.model : this->model;
    record.modelSha256 = model.sha256;
    const int unit = record.unit;
    tell([&](LineObserver& o) { o.unitStarted(place, unit, record.usbPath); });
    // The unit is one operation on the link: a display that stops answering costs one wait, not one per step.
    const Exchanger::Operation operation(link);
    const qint64 startMs = clock.nowMs();
    // A unit that could not be recorded is not touched: its record is written "en cours" before the first report.
    std::optional<journal::JournalEntry> entry;
    if (settings.journal) {
        entry.emplace(journal::Operation::Production, link.device(), settings.journal->identity());
        entry->record().id = unitId;
        entry->record().lotHash = ticket.lotHash;
        entry->setFileHash(model.configPath, model.sha256);
        if (const QString why = settings.journal->begin(entry->record()); !why.isEmpty()) {
            record.failedStep = UnitStep::Log;
            record.reason = kJournalFailedText.arg(why);
            record.reasonShown = T(kJournalFailedText).arg(T(why));
            record.durationMs = clock.nowMs() - startMs;
            log.append(record, nullptr);
            stopLine(record.reason, record.reasonShown);
            if (settings.unitDone)
                settings.unitDone(unitId, false);
            finishUnit(place, record, false);
            return false;
        }
    }
    PlaceWatcher watcher([&](UnitStep step, int value, int maximum) {
        // Each step's start is kept in the record, the last known step should the program die.
        if (value < 0 && entry)
            settings.journal->noteProgress(entry->record().id, clock.nowMs() - startMs);
        tell([&](LineObserver& o) {
            if (value < 0)
                o.stepStarted(place, unit, step);
            else
                o.stepProgress(place, unit, value, maximum);
        });
    });

    // A display of another firmware than the lot's is not programmed at all.
    const QString version = QStringLiteral("%1").arg(link.device().version, 4, 16, QLatin1Char('0')).toUpper();
    UnitResult result;
    if (!ticket.expectedVersion.isEmpty() && version != ticket.expectedVersion) {
        result.failedStep = UnitStep::Read;
        result.reason = kVersionRefusedText.arg(version, ticket.expectedVersion);
        result.reasonShown = T(kVersionRefusedText).arg(version, ticket.expectedVersion);
    } else {
        result = programUnit(link, model, watcher);
    }
    record.passed = result.passed;
    record.failedStep = result.failedStep;
    record.reason = result.reason;
    record.reasonShown = result.reasonShown;
    record.before = result.before;
    record.after = result.after;
    record.durationMs = clock.nowMs() - startMs;

    auto failUnit = [&](const QString& text, const QString& shown) {
        if (record.passed) {
            record.passed = false;
            record.failedStep = UnitStep::Log;
            record.reason = text;
            record.reasonShown = shown;
        }
        stopLine(text, shown);
    };
    // The record first, synced, then the log line, then the display's signal: the log never says "conforme"
    // for a unit whose record failed, and a unit the operator saw pass is on the disk.
    bool recorded = true;
    if (entry) {
        if (record.before)
            entry->record().hashBefore = journal::sha256Of(*record.before);
        if (record.after)
            entry->record().hashAfter = journal::sha256Of(*record.after);
        entry->finish(record.passed, record.passed ? kPassedWord : record.reason);
        entry->record().durationMs = record.durationMs;
        if (const QString failure = settings.journal->finish(entry->record()); !failure.isEmpty()) {
            failUnit(kJournalFailedText.arg(failure), T(kJournalFailedText).arg(T(failure)));
            recorded = false;
        }
    }
    QString why;
    const bool logged = log.append(record, &why);
    if (!logged)
        failUnit(kLogFailedText.arg(log.path(), why), T(kLogFailedText).arg(log.path(), T(why)));
    if (settings.unitDone)
        settings.unitDone(unitId, record.passed);
    finishUnit(place, record, signalUnit(link, record.passed, clock));
    return logged && recorded;
}

void ProductionLine::Private::stopLine(const QString& reason, const QString& shown)
{
    std::lock_guard lock(mutex);
    if (summary.stopReason.isEmpty()) {
        summary.stopReason = reason;
        summary.stopShown = shown;
    }
    stop = true;
}

void ProductionLine::Private::endLine(const QString& note)
{
    std::lock_guard lock(mutex);
    if (summary.note.isEmpty())
        summary.note = note;
    stop = true;
}

void ProductionLine::Private::finishUnit(int place, UnitRecord& record, bool signalled)
{
    std::lock_guard lock(mutex);
    ++summary.units;
    ++(record.passed ? summary.passed : summary.failed);
    if (observer)
        observer->unitFinished(place, record, signalled);
}

void ProductionLine::Private::runPlace(int place, HidTransport& bus)
{
    Exchanger link(bus);
    link.setReadTimeoutMs(settings.readTimeoutMs);
    if (settings.claimDisplays)
        link.setClaims(std::make_unique<DisplayClaim>());
    tell([&](LineObserver& o) { o.linkReady(place, link); });
    const std::unique_ptr<LineClock> clock = makeLineClock(settings.virtualTime);
    auto countReached = [this] { return settings.maxUnits > 0 && claimed >= settings.maxUnits; };
    while (!stopping() && waitForDisplay(place, link, *clock)) {
        if (settings.maxUnits > 0 && claimed.fetch_add(1) >= settings.maxUnits)
            break;
        if (!runUnit(place, link, *clock) || countReached())
            break;
        waitForUnplug(link, *clock);
    }
    link.CloseLink();
}

ProductionLine::ProductionLine(const Model& model, ProductionLog& log, UnitSource& source, LineSettings settings)
    : d(std::make_unique<Private>(model, log, source, std::move(settings)))
{
}

ProductionLine::~ProductionLine() = default;

void ProductionLine::stop() { d->stop = true; }

LineSummary ProductionLine::run(LineObserver& observer)
{
    d->observer = &observer;
    const int places = std::max(1, d->settings.places);
    std::vector<std::unique_ptr<HidTransport>> buses;
    for (int place = 0; place < places; ++place)
        buses.push_back(d->source.busFor(place));
    std::vector<std::thread> threads;
    for (int place = 1; place < places; ++place)
        threads.emplace_back([this, place, bus = buses[std::size_t(place)].get()] { d->runPlace(place, *bus); });
    d->runPlace(0, *buses.front());
    for (std::thread& t : threads)
        t.join();
    d->observer = nullptr;
    return d->summary;
}

}  // namespace trivo::production
