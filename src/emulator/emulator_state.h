#pragma once
// The emulated display's memory kept in a file between runs of the command-line program: parameter block,
// counters, home screen and the firmware it received.
#include <QString>

#include <vector>

#include "emulator/faults.h"

namespace trivo {
class EmulatedDisplay;

// A missing file leaves the display as it is (a fresh display); false with error for an unreadable one.
// The faults kept with it ("pannes", by their command-line names) go to faults when it is given.
bool loadEmulatorState(const QString& path, EmulatedDisplay& display, QString* error,
                       std::vector<FaultSpec>* faults = nullptr);
bool saveEmulatorState(const QString& path, const EmulatedDisplay& display, QString* error,
                       const std::vector<FaultSpec>& faults = {});

}  // namespace trivo
