// The configuration viewer's geometry as arithmetic in twips: the smallest outer size, the
// places of its controls for a client area, and the names of the four stored geometry values.
// Portable: no Windows header.
#pragma once

#include "ui/layout.h"

namespace nb {

// Registry values (under the program key) holding the viewer's outer place and size in twips,
// as the decimal text of a single-precision number.
inline constexpr wchar_t kViewerTopValue[] = L"IPconfig_Top";
inline constexpr wchar_t kViewerLeftValue[] = L"IPconfig_Left";
inline constexpr wchar_t kViewerWidthValue[] = L"IPconfig_Width";
inline constexpr wchar_t kViewerHeightValue[] = L"IPconfig_Height";

struct TwipsSize {
  int width;
  int height;
};

// The outer size the viewer is held to: never lower than 4000 twips, and never so narrow that
// Refresh and Close would cover the search buttons (11400 twips).
TwipsSize ViewerMinimumOuterSize();
TwipsSize SnapViewerOuterSize(TwipsSize outer);

// The viewer's controls.
struct ViewerPlaces {
  TwipsRect txtIPconfig;
  TwipsRect txtFind;
  TwipsRect cmdFind;
  TwipsRect cmdFindNext;
  TwipsRect cmdRefresh;
  TwipsRect cmdOK;
};

// The places after a resize to a client area of W × H twips, from the places before it: the
// report box keeps its left and top edges and fills the window with a margin (W − 300 by
// H − 1000); the search box and its two buttons follow the report box's left edge; Refresh and
// Close keep to the right (W − 4600, W − 2350); the bottom row's top is H − 600; no other width
// or height changes. A computed size below zero (a window made very small) is not applied.
ViewerPlaces LayOutViewer(const ViewerPlaces& before, int clientWidth, int clientHeight);

}  // namespace nb
