#include "netconfig/viewer_layout.h"

#include <algorithm>

namespace nb {
namespace {

// The viewer is never lower than 4000 twips. Its narrowest width is where the bottom row still
// fits: Find next ends 6305 twips from the left (search box, Find and their gaps) and Refresh
// starts 4600 twips before the right edge, so the client area needs 6305 + 100 + 4600 = 11005
// twips, plus the frame. At 9700 twips wide, Refresh would cover most of Find next.
constexpr TwipsSize kMinimumOuterSize{11400, 4000};

// Margins of the layout rules, in twips.
constexpr int kReportRightMargin = 300;    // report box width = W - this
constexpr int kReportBottomMargin = 1000;  // report box height = H - this
constexpr int kBottomRowFromBottom = 600;  // bottom row top = H - this
constexpr int kFindGap = 100;              // between the search box and Find
constexpr int kFindNextGap = 155;          // between the search box's left edge plus both widths and Find next
constexpr int kRefreshFromRight = 4600;
constexpr int kCloseFromRight = 2350;

}  // namespace

TwipsSize ViewerMinimumOuterSize() { return kMinimumOuterSize; }

TwipsSize SnapViewerOuterSize(TwipsSize outer) {
  return {std::max(outer.width, kMinimumOuterSize.width), std::max(outer.height, kMinimumOuterSize.height)};
}

ViewerPlaces LayOutViewer(const ViewerPlaces& before, int clientWidth, int clientHeight) {
  ViewerPlaces p = before;
  const int reportWidth = clientWidth - kReportRightMargin;
  const int reportHeight = clientHeight - kReportBottomMargin;
  if (reportWidth >= 0) p.txtIPconfig.width = reportWidth;
  if (reportHeight >= 0) p.txtIPconfig.height = reportHeight;
  const int left = p.txtIPconfig.left;
  p.txtFind.left = left;
  p.cmdFind.left = left + p.txtFind.width + kFindGap;
  p.cmdFindNext.left = left + p.txtFind.width + p.cmdFind.width + kFindNextGap;
  p.cmdRefresh.left = clientWidth - kRefreshFromRight;
  p.cmdOK.left = clientWidth - kCloseFromRight;
  const int bottomRowTop = clientHeight - kBottomRowFromBottom;
  for (TwipsRect* r : {&p.txtFind, &p.cmdFind, &p.cmdFindNext, &p.cmdRefresh, &p.cmdOK}) r->top = bottomRowTop;
  return p;
}

}  // namespace nb
