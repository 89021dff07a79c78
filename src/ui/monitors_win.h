// The display monitors as the screen arithmetic (ui/screen_place.h) takes them.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/screen_place.h"

namespace nb {

inline PixelRect ToPixelRect(const RECT& r) { return PixelRect{r.left, r.top, r.right, r.bottom}; }

// Every monitor of the desktop, the primary one first, each with its own DPI (the screen's on
// systems without per-monitor DPI).
std::vector<MonitorArea> DisplayMonitors();

// The work area of the monitor a window is on (the nearest one when it lies on none); the primary
// one's for no window.
PixelRect WorkAreaOf(HWND window);

}  // namespace nb
