#pragma once
// The names operators give their displays, kept in the program's settings (both programs share them),
// keyed by the display's serial number, else by its USB path.
#include <QString>

#include "link/hid_transport.h"

namespace trivo {

QString displayKey(const HidInterfaceInfo& display);
QString displayLabel(const HidInterfaceInfo& display);  // "" when it has none
void setDisplayLabel(const HidInterfaceInfo& display, const QString& label);  // "" removes it
// "2 : Ligne A (EMU-1002, version 0100) emulated:display2": what a list of displays shows of one, numbered
// from 1.
QString displayCaption(const HidInterfaceInfo& display, int number);

}  // namespace trivo
