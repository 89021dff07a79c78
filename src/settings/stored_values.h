// Reading back the preferences the windows store as text: edges and sizes in twips, check box
// states and the colour scheme, and where a window goes for its stored place. Portable: no
// Windows header.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/screen_place.h"

namespace nb {

// A stored edge or size of a window in twips, or nothing when it is missing or not a number. A number too large for
// a place on a screen raises an overflow (run-time error 6).
std::optional<int> StoredTwips(const std::optional<std::wstring>& stored);

// A window's stored place: its left and top edges in twips, each taken at the DPI of the monitor
// the window was on when it closed; an edge may be missing.
struct StoredPlace {
  std::optional<int> leftTwips;
  std::optional<int> topTwips;
};

// Where a window goes for a stored place. `current` is where the system put it, at `currentDpi`.
// The stored edges are read at each monitor's DPI in turn, the window keeping its size in twips;
// the place is the first that puts the window on the very monitor whose DPI read it, so a window
// comes back where it closed on any arrangement of monitors. A missing edge stays where the system
// put it. Nothing when no monitor reads the place so (a monitor removed since, for one) or no edge
// is stored.
std::optional<PixelRect> PlaceOnMonitors(const std::vector<MonitorArea>& monitors, const StoredPlace& stored,
                                         const PixelRect& current, int currentDpi);

// A stored check box state: 0, 1 or 2; anything else, or nothing stored, is not a state.
std::optional<int> StoredCheckState(const std::optional<std::wstring>& stored);

// True for the green-on-black scheme: a stored 65280, or a value that is missing or not a number.
bool StoredSchemeIsGreenOnBlack(const std::optional<std::wstring>& stored);

// A position in twips as the decimal text of a single-precision number ("1500", "1234.5").
std::wstring SingleText(double value);

}  // namespace nb
