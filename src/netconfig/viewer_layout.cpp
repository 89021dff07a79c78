#include "netconfig/viewer_layout.h"

#include <algorithm>

namespace nb {
namespace {

constexpr TwipsSize kMinimumOuterSize{9700, 4000};

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
