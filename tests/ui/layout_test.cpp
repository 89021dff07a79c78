#include <gtest/gtest.h>

#include "ui/layout.h"

namespace {

struct TwipsCase {
  int twips;
  int dpi;
  int pixels;
};

class TwipsTable : public testing::TestWithParam<TwipsCase> {};

TEST_P(TwipsTable, ConvertsToTheNearestPixel) {
  EXPECT_EQ(nb::TwipsToPixels(GetParam().twips, GetParam().dpi), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Layouts, TwipsTable,
                         testing::Values(TwipsCase{2295, 96, 153}, TwipsCase{1980, 96, 132}, TwipsCase{105, 96, 7},
                                         TwipsCase{2295, 144, 230}, TwipsCase{2295, 192, 306}, TwipsCase{15, 120, 1},
                                         TwipsCase{7, 96, 0}, TwipsCase{8, 96, 1}, TwipsCase{0, 96, 0},
                                         TwipsCase{-15, 96, -1}));

}  // namespace
