#pragma once
// The program's icon, the same picture as the one the desktop shows in its menus.
#include <QIcon>

namespace trivo {

// Drawn from the SVG built into the program; needs Qt's SVG icon plugin at run time.
QIcon programIcon();

}  // namespace trivo
