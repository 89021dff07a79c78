// Where windows go on the screen: the monitors as rectangles of virtual-screen pixels, each with its
// own DPI; the monitor a window is on; a window centred over another and kept inside a work area.
// Portable: no Windows header.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace nb {

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct MonitorArea {
  PixelRect area;  // the whole monitor
  PixelRect work;  // what the task bar and docked bars leave of it
  int dpi = 96;
};

// The monitor a window with this rectangle is on, as Windows decides it: the one that holds the
// largest part of it, the first listed on a tie; nothing when the window lies on none.
std::optional<std::size_t> MonitorOf(const std::vector<MonitorArea>& monitors, const PixelRect& window);

// A window of the given size centred over another window's rectangle, then moved as little as
// keeps it inside the work area. One larger than the work area keeps its top left corner inside,
// so that its title bar can be reached.
PixelRect CentredWithin(int width, int height, const PixelRect& over, const PixelRect& work);

}  // namespace nb
