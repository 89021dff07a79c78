#include <gtest/gtest.h>

#include <cstdint>

#include "mail/smtp/send_bounds.h"

namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

TEST(SendBounds, GrowWithTheMessage) {
  const struct {
    std::uint64_t bytes;
    milliseconds bound;
  } cases[] = {{0, 10min}, {512 * 1024, 10min + 30s}, {10 << 20, 20min}, {UINT64_MAX, 10min + (1 << 20) * 1min}};
  for (const auto& c : cases) EXPECT_EQ(nb::mail::SendBound(c.bytes), c.bound) << c.bytes;
}

TEST(SendBounds, EachAddressGetsItsShareOfWhatIsLeft) {
  const struct {
    milliseconds left;
    std::size_t addresses;
    milliseconds share;
  } cases[] = {{15s, 1, 15s}, {15s, 2, 7500ms}, {15s, 3, 5s}, {7s, 4, 1750ms}, {0ms, 2, 0ms}};
  for (const auto& c : cases) EXPECT_EQ(nb::mail::ConnectShare(c.left, c.addresses), c.share) << c.addresses;
}

}  // namespace
