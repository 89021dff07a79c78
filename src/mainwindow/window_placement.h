// The main window's place on the screen, in twips as the preferences keep it.
#pragma once

#include <windows.h>

namespace nb {

enum class WindowEdge { Top, Left };

// Moves the window's top or left edge to a place in twips. A number too large for a screen
// position raises an overflow (run-time error 6); a place on no monitor (one that was removed
// since) is not taken, so that the window never opens out of sight.
void MoveEdge(HWND window, WindowEdge edge, double twips, int dpi);

// Where the window's top or left edge is, in twips.
int EdgeInTwips(HWND window, WindowEdge edge, int dpi);

}  // namespace nb
