#include "mainwindow/window_placement.h"

#include <cmath>

#include "base/app_error.h"
#include "ui/layout.h"

namespace nb {

void MoveEdge(HWND window, WindowEdge edge, double twips, int dpi) {
  if (!(std::fabs(twips) < 1e8)) throw AppError(errnum::kOverflow, L"Overflow");
  RECT rect{};
  GetWindowRect(window, &rect);
  const int pixels = TwipsToPixels(static_cast<int>(twips), dpi);
  const bool top = edge == WindowEdge::Top;
  OffsetRect(&rect, top ? 0 : pixels - rect.left, top ? pixels - rect.top : 0);
  if (!MonitorFromRect(&rect, MONITOR_DEFAULTTONULL)) return;
  SetWindowPos(window, nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int EdgeInTwips(HWND window, WindowEdge edge, int dpi) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return PixelsToTwips(edge == WindowEdge::Top ? rect.top : rect.left, dpi);
}

}  // namespace nb
