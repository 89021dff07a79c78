#include <gtest/gtest.h>

#include "ui/screen_place.h"

namespace {

using nb::PixelRect;

TEST(CentredWithin, CentresOverTheWindowAndStaysInsideTheWorkArea) {
  const PixelRect work{0, 0, 1024, 738};  // a task bar of 30 pixels below
  const struct {
    const char* name;
    int width, height;
    PixelRect over;
    PixelRect work;
    PixelRect placed;
  } cases[] = {
      {"room all round: centred", 200, 100, {400, 300, 600, 500}, work, {400, 350, 600, 450}},
      {"over a window in the top left corner", 266, 330, {0, 0, 159, 180}, work, {0, 0, 266, 330}},
      {"over a window in the bottom right corner", 266, 330, {865, 558, 1024, 738}, work, {758, 408, 1024, 738}},
      {"wider than the window it is centred over", 266, 100, {100, 300, 259, 480}, work, {47, 340, 313, 440}},
      {"larger than the work area: its top left corner stays on it", 1200, 900, {0, 0, 159, 180}, work,
       {0, 0, 1200, 900}},
      {"a task bar on the left", 266, 118, {0, 0, 159, 180}, {48, 0, 1024, 768}, {48, 31, 314, 149}},
      {"a monitor left of the primary", 266, 118, {-1280, 0, -1121, 180}, {-1280, 0, 0, 1024},
       {-1280, 31, -1014, 149}},
      {"no window to centre over: the middle of the work area", 200, 100, work, work, {412, 319, 612, 419}},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::CentredWithin(c.width, c.height, c.over, c.work), c.placed) << c.name;
}

}  // namespace
