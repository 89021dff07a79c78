#include <gtest/gtest.h>

#include <cstdint>

#include "ui/icon_callback.h"

namespace {

using nb::IconEvent;

// Two words, as the system packs wParam and lParam.
std::uintptr_t Words(unsigned low, unsigned high) { return (std::uintptr_t{high} << 16) | low; }

TEST(DecodeIconCallback, ReadsTheEventTheIconAndTheAnchor) {
  const struct {
    std::uintptr_t wParam, lParam;
    nb::IconCallback decoded;
  } cases[] = {
      {Words(640, 1190), Words(0x0400, 1), {IconEvent::Select, 1, 640, 1190}},
      {Words(12, 33), Words(0x0401, 1), {IconEvent::KeySelect, 1, 12, 33}},
      // A monitor left of and above the primary one: the words are signed.
      {Words(0xFFF6, 0xFB50), Words(0x007B, 2), {IconEvent::ContextMenu, 2, -10, -1200}},
      {0, Words(0x0404, 0xFFFF), {IconEvent::BalloonTimedOut, 0xFFFF, 0, 0}},
      {Words(5, 6), Words(0x0202, 1), {IconEvent::Other, 1, 5, 6}},  // WM_LBUTTONUP
  };
  for (const auto& c : cases) {
    EXPECT_EQ(nb::DecodeIconCallback(c.wParam, static_cast<std::intptr_t>(c.lParam)), c.decoded) << c.lParam;
  }
}

}  // namespace
