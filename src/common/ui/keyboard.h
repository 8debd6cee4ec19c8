#pragma once
// Keys every window shares: Échap closes a secondary window (its frame inside the main window when it has
// one), whichever of its controls has the focus.
#include <functional>

class QWidget;

namespace trivo {

// Échap anywhere in `window` closes it, or runs `instead` when given (a window that cannot be closed).
void closeOnEscape(QWidget* window, std::function<void()> instead = {});

}  // namespace trivo
