// A window's place on the screen, in twips as the preferences keep it.
#pragma once

#include <windows.h>

#include "settings/stored_values.h"

namespace nb {

enum class WindowEdge { Top, Left };

// Moves the window to its stored place, read at the DPI of the monitor it was on when it closed
// (PlaceOnMonitors). A place on no monitor (one that was removed since) is not taken, so that the
// window never opens out of sight.
void MoveToStoredPlace(HWND window, const StoredPlace& stored, int dpi);

// Where the window's top or left edge is, in twips at its DPI (that of the monitor it is on).
int EdgeInTwips(HWND window, WindowEdge edge, int dpi);

}  // namespace nb
