#pragma once
// The emulated display's memory kept in a file between runs of the command-line program: parameter block,
// counters, home screen and the firmware it received.
#include <QString>

namespace trivo {
class EmulatedDisplay;

// A missing file leaves the display as it is (a fresh display); false with error for an unreadable one.
bool loadEmulatorState(const QString& path, EmulatedDisplay& display, QString* error);
bool saveEmulatorState(const QString& path, const EmulatedDisplay& display, QString* error);

}  // namespace trivo
