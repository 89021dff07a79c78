#include "ui/screen_place.h"

#include <algorithm>

namespace nb {

std::optional<std::size_t> MonitorOf(const std::vector<MonitorArea>& monitors, const PixelRect& window) {
  std::optional<std::size_t> best;
  long long bestArea = 0;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const PixelRect& m = monitors[i].area;
    const long long width = std::min(window.right, m.right) - std::max(window.left, m.left);
    const long long height = std::min(window.bottom, m.bottom) - std::max(window.top, m.top);
    if (width <= 0 || height <= 0) continue;
    if (width * height > bestArea) {
      bestArea = width * height;
      best = i;
    }
  }
  return best;
}

PixelRect CentredWithin(int width, int height, const PixelRect& over, const PixelRect& work) {
  int left = over.left + (over.Width() - width) / 2;
  int top = over.top + (over.Height() - height) / 2;
  left = std::max(std::min(left, work.right - width), work.left);
  top = std::max(std::min(top, work.bottom - height), work.top);
  return PixelRect{left, top, left + width, top + height};
}

}  // namespace nb
