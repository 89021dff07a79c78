#include <gtest/gtest.h>

#include "netconfig/viewer_layout.h"

namespace {

bool operator==(const nb::TwipsRect& a, const nb::TwipsRect& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

struct SnapCase {
  nb::TwipsSize outer;
  nb::TwipsSize held;
};

class OuterSizes : public testing::TestWithParam<SnapCase> {};

TEST_P(OuterSizes, AreHeldToTheSmallestSize) {
  const nb::TwipsSize held = nb::SnapViewerOuterSize(GetParam().outer);
  EXPECT_EQ(held.width, GetParam().held.width);
  EXPECT_EQ(held.height, GetParam().held.height);
}

INSTANTIATE_TEST_SUITE_P(Sizes, OuterSizes,
                         testing::Values(SnapCase{{5000, 2000}, {11400, 4000}}, SnapCase{{11399, 3999}, {11400, 4000}},
                                         SnapCase{{11400, 4000}, {11400, 4000}}, SnapCase{{12000, 3000}, {12000, 4000}},
                                         SnapCase{{9700, 9000}, {11400, 9000}}, SnapCase{{15000, 9000}, {15000, 9000}}));

// Places before the resize (any will do: the rules keep what they do not set).
const nb::ViewerPlaces kBefore{{100, 200, 5000, 3000}, {7, 8, 2000, 300},  {9, 10, 1500, 360},
                               {11, 12, 1400, 360},    {13, 14, 2100, 350}, {15, 16, 2200, 340}};

struct LayoutCase {
  int width, height;  // client area
  nb::ViewerPlaces after;
};

class ClientSizes : public testing::TestWithParam<LayoutCase> {};

TEST_P(ClientSizes, PlaceTheControls) {
  const LayoutCase& c = GetParam();
  const nb::ViewerPlaces after = nb::LayOutViewer(kBefore, c.width, c.height);
  EXPECT_TRUE(after.txtIPconfig == c.after.txtIPconfig);
  EXPECT_TRUE(after.txtFind == c.after.txtFind);
  EXPECT_TRUE(after.cmdFind == c.after.cmdFind);
  EXPECT_TRUE(after.cmdFindNext == c.after.cmdFindNext);
  EXPECT_TRUE(after.cmdRefresh == c.after.cmdRefresh);
  EXPECT_TRUE(after.cmdOK == c.after.cmdOK);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ClientSizes,
    testing::Values(LayoutCase{12000, 8000,
                               {{100, 200, 11700, 7000}, {100, 7400, 2000, 300}, {2200, 7400, 1500, 360},
                                {3755, 7400, 1400, 360}, {7400, 7400, 2100, 350}, {9650, 7400, 2200, 340}}},
                    LayoutCase{9500, 3400,
                               {{100, 200, 9200, 2400}, {100, 2800, 2000, 300}, {2200, 2800, 1500, 360},
                                {3755, 2800, 1400, 360}, {4900, 2800, 2100, 350}, {7150, 2800, 2200, 340}}},
                    LayoutCase{300, 1000,
                               {{100, 200, 0, 0}, {100, 400, 2000, 300}, {2200, 400, 1500, 360},
                                {3755, 400, 1400, 360}, {-4300, 400, 2100, 350}, {-2050, 400, 2200, 340}}},
                    // A negative size is not applied; everything else is.
                    LayoutCase{299, 999,
                               {{100, 200, 5000, 3000}, {100, 399, 2000, 300}, {2200, 399, 1500, 360},
                                {3755, 399, 1400, 360}, {-4301, 399, 2100, 350}, {-2051, 399, 2200, 340}}}));

}  // namespace
