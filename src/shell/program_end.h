#pragma once
// How the program ends ("Quitter", or the main window's frame closed).
#include <functional>

namespace trivo {

class MainWindow;
class DisplayOwner;

// The windows go at once; the program ends (end) once the display's owner has closed the link, which its
// I/O thread does after the exchange under way, at worst at its read time-out: no window stays on the
// screen, frozen, meanwhile. The main window is made with new and deletes itself.
void endProgramOnQuit(MainWindow& main, DisplayOwner& owner, std::function<void()> end);

}  // namespace trivo
