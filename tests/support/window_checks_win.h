// Checks of what a user sees in a window, for any window of the program: no two visible controls
// overlap, every visible control lies inside the window's client area, and every caption fits
// its control, at 96 and at 144 dpi.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "ui/window_win.h"

namespace nbtest {

// The problems found in the window as it is laid out now, one line each, naming the controls.
// Controls without WS_VISIBLE are not looked at. `outOfSight` names controls that are placed out
// of sight on purpose: they must lie wholly outside the client area, and are not looked at
// otherwise. A text label's seen part is its text: a label wider than the window is fine as long
// as its text is not cut.
std::vector<std::string> SeenLayoutProblems(HWND window, const std::vector<HWND>& outOfSight = {});

// Lays the window out as Windows does when it moves to a monitor of the given DPI.
void MoveToDpi(nb::Window& window, int dpi);

// Expects no problem at 96 and at 144 dpi; the window is left at the DPI it had.
void ExpectSeenWellAtBothDpis(nb::Window& window, std::initializer_list<HWND> outOfSight = {});

}  // namespace nbtest
