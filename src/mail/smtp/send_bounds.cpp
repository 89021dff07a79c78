#include "mail/smtp/send_bounds.h"

#include <algorithm>

namespace nb::mail {

using std::chrono::milliseconds;

milliseconds SendBound(std::uint64_t messageBytes) {
  constexpr std::uint64_t kMiB = 1 << 20;
  // Far beyond any file, and small enough that the product below cannot overflow.
  constexpr std::uint64_t kLargest = std::uint64_t{1} << 40;
  const std::uint64_t bytes = std::min(messageBytes, kLargest);
  return std::chrono::minutes(10) + milliseconds(static_cast<milliseconds::rep>(bytes * 60'000 / kMiB));
}

SendDeadline SendDeadline::From(milliseconds length) { return {std::chrono::steady_clock::now() + length, length}; }

milliseconds SendDeadline::Clamp(milliseconds own) const {
  if (end == std::chrono::steady_clock::time_point::max()) return own;
  const auto left = std::chrono::ceil<milliseconds>(end - std::chrono::steady_clock::now());
  return std::max(std::min(left, own), milliseconds{0});
}

milliseconds ConnectShare(milliseconds left, std::size_t addressesLeft) {
  return addressesLeft > 1 ? left / static_cast<milliseconds::rep>(addressesLeft) : left;
}

}  // namespace nb::mail
