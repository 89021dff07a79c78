// How long a send may take: as a whole, and for each of the server's addresses when connecting.
// Portable.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace nb::mail {

// The bound of a whole send, from the name lookup to the server's answer to the end of the
// message: 10 minutes, and 1 minute more for each MiB of body and attachments (a link of about
// 180 kbit/s still sends in time; a 10 MiB attachment may take 20 minutes).
std::chrono::milliseconds SendBound(std::uint64_t messageBytes);

// The end of a send's bound. Every wait of the send takes the smaller of its own bound and what
// is left of this one.
struct SendDeadline {
  std::chrono::steady_clock::time_point end = std::chrono::steady_clock::time_point::max();
  std::chrono::milliseconds length{0};  // the whole bound, for the failure's text

  static SendDeadline From(std::chrono::milliseconds length);
  std::chrono::milliseconds Clamp(std::chrono::milliseconds own) const;
  bool Passed() const { return std::chrono::steady_clock::now() >= end; }
};

// What one address may take to connect when `addressesLeft` addresses (this one included) share
// what is `left` of the connect bound: an equal share, so that an address that never answers
// (often the first, IPv6) leaves time for the next. A quick refusal leaves its share to the
// others.
std::chrono::milliseconds ConnectShare(std::chrono::milliseconds left, std::size_t addressesLeft);

}  // namespace nb::mail
