#pragma once
// One unit of the line: read what the display holds, program the model, read it back, send the picture and
// read it back, each step stopping the unit at its first failure with the reason in French; then the
// signal on the display itself, with the output-drive reports of the remote keys: green LED and one short
// beep for a unit that passed, red LED and three beeps for one that failed.
#include <QString>

#include <optional>

#include "common/progress.h"
#include "config/parameter_block.h"
#include "production/production_log.h"
#include "production/production_model.h"

namespace trivo {
class Exchanger;
}

namespace trivo::production {
class LineClock;

constexpr int kBeepMs = 120;
constexpr int kBeepGapMs = 150;

struct UnitResult {
    bool passed = false;
    UnitStep failedStep = UnitStep::None;
    QString reason;
    QString reasonShown;  // in the program's language when it differs from reason (made here); else empty
    std::optional<ParameterBlock> before;
    std::optional<ParameterBlock> after;
};

// What a unit shows while it runs.
class UnitWatcher {
public:
    virtual ~UnitWatcher() = default;
    virtual void stepStarted(UnitStep step) = 0;
    // The bar of the step that has one (the picture's transfer and read-back).
    virtual Progress& progress() = 0;
};

UnitResult programUnit(Exchanger& link, const Model& model, UnitWatcher& watcher);

// Green LED and one beep, or red LED and three beeps; the LED stays lit until the display is unplugged.
// False when a report of the signal was not delivered.
bool signalUnit(Exchanger& link, bool passed, LineClock& clock);

// The reason of a failed step in one line: what the link knows of a display that stopped answering, else
// the procedure's own text.
QString failureReason(const Exchanger& link, const QString& procedureText);

}  // namespace trivo::production
