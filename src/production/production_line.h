#pragma once
// The line: at each place (a USB port where displays are plugged one after the other), wait for a display
// at the connection check's own pace, program it as one unit, write its log line, signal it, wait until it
// is unplugged, and again. Several places run side by side, each on its own link and its own thread; a
// failing unit never stops the line, a log that cannot be written stops it before the next unit.
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

#include "journal/journal.h"
#include "link/hid_transport.h"
#include "production/production_log.h"
#include "production/production_model.h"

namespace trivo {
class Exchanger;
}

namespace trivo::production {

// Where the displays come from: the real USB bus, or an emulated line of units.
class UnitSource {
public:
    virtual ~UnitSource() = default;
    // The transport one place works through, on the line's thread before the places start.
    virtual std::unique_ptr<HidTransport> busFor(int place) = 0;
    // The number of the unit just found at `path` by `place`.
    virtual int claimUnit(int place, const std::string& path) = 0;
    // True when no display will come to `place` any more (an emulated line that has plugged its last unit).
    virtual bool exhausted(int place) const = 0;
};

// What the line shows as it goes. Called from the places' threads, one call at a time.
class LineObserver {
public:
    virtual ~LineObserver() = default;
    virtual void linkReady(int /*place*/, Exchanger& /*link*/) {}
    virtual void placeWaiting(int /*place*/) {}
    virtual void unitStarted(int /*place*/, int /*unit*/, const QString& /*usbPath*/) {}
    virtual void stepStarted(int /*place*/, int /*unit*/, UnitStep /*step*/) {}
    virtual void stepProgress(int /*place*/, int /*unit*/, int /*value*/, int /*maximum*/) {}
    // After the line is in the log (or the log failed) and the display has been signalled.
    virtual void unitFinished(int /*place*/, const UnitRecord& /*record*/, bool /*signalled*/) {}
};

// What a unit is made with when the line makes a lot: asked before the display is touched.
struct UnitTicket {
    std::shared_ptr<const Model> model;  // the lot's revision of the moment; null: the line's own model
    QString lotHash;                      // the revision's hash, kept in the unit's record
    QString expectedVersion;              // the firmware version the display must have; empty: any
    // The line ends before this unit: `note` when it ends as it should (the lot's quantity is reached),
    // `refusal` (in French) when it cannot go on (the lot closed meanwhile, its definition unreadable).
    bool end = false;
    QString note;
    QString refusal;
};

struct LineSettings {
    int places = 1;
    int maxUnits = 0;  // the line ends after this many units; 0 = until stopped
    bool virtualTime = false;
    int readTimeoutMs = 6000;
    // Asked between steps of waiting; true ends the line once the units under way are done.
    std::function<bool()> stopAsked;
    // The service journal, one record per unit beside its log line; none: the log only. A journal that
    // cannot be written stops the line before the next display is touched.
    journal::Journal* journal = nullptr;
    // Real displays: each place claims the display it opens, so that no other program writes to it meanwhile.
    bool claimDisplays = false;
    // A lot's line: the ticket of each unit, by the id its record will have, and the unit's end.
    std::function<UnitTicket(const QString& unitId)> takeUnit;
    std::function<void(const QString& unitId, bool passed)> unitDone;
};

struct LineSummary {
    int units = 0;
    int passed = 0;
    int failed = 0;
    QString stopReason;  // why the line stopped by itself (the log could not be written), in French
    QString stopShown;   // the same in the program's language
    QString note;        // why the line ended of itself as it should (a lot's quantity reached), shown
    bool allPassed() const { return failed == 0 && stopReason.isEmpty(); }
};

// "12 afficheurs : 11 conformes, 1 en échec", in the program's language
QString summaryText(const LineSummary& summary);

inline const QString kLogFailedText = FR("Le journal %1 ne peut plus être écrit (%2) : la ligne s'arrête.");
inline const QString kJournalFailedText = FR("La ligne s'arrête : %1.");
inline const QString kVersionRefusedText = FR("version %1, le lot attend %2");

class ProductionLine {
public:
    ProductionLine(const Model& model, ProductionLog& log, UnitSource& source, LineSettings settings);
    ~ProductionLine();
    ProductionLine(const ProductionLine&) = delete;
    ProductionLine& operator=(const ProductionLine&) = delete;

    // Runs every place until the line ends; place 0 on the calling thread, the others on their own.
    LineSummary run(LineObserver& observer);
    // Ends the line once the units under way are done; from any thread.
    void stop();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace trivo::production
