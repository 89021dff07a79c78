#include "settings/window_placement_win.h"

#include "ui/layout.h"
#include "ui/monitors_win.h"

namespace nb {

void MoveToStoredPlace(HWND window, const StoredPlace& stored, int dpi) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const auto place = PlaceOnMonitors(DisplayMonitors(), stored, ToPixelRect(rect), dpi);
  if (!place) return;
  SetWindowPos(window, nullptr, place->left, place->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // On a monitor of another DPI the window was resized around another point: its corner goes back.
  GetWindowRect(window, &rect);
  if (rect.left != place->left || rect.top != place->top) {
    SetWindowPos(window, nullptr, place->left, place->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int EdgeInTwips(HWND window, WindowEdge edge, int dpi) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return PixelsToTwips(edge == WindowEdge::Top ? rect.top : rect.left, dpi);
}

}  // namespace nb
