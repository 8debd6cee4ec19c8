#pragma once
// Keys every window shares: Échap closes a secondary window (its frame inside the main window when it has
// one), whichever of its controls has the focus.
#include <functional>

class QWidget;

namespace trivo {

// Échap anywhere in `window` closes it, or runs `instead` when given (a window that cannot be closed, or
// that must not be closed by a stray key while it works).
void closeOnEscape(QWidget* window, std::function<void()> instead = {});
// Closes a window: its frame inside the main window when it has one, which asks the window first.
void closeWindow(QWidget* window);

}  // namespace trivo
