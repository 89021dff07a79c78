// IPv6 addresses: reading and writing their text, telling a global one, judging a service's
// answer and choosing the LAN IPv6 address among the adapters'. Portable: no Windows header.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nb {

// The 16 bytes of an address in network order.
struct Ipv6Address {
  std::array<std::uint8_t, 16> bytes{};
  auto operator<=>(const Ipv6Address&) const = default;
};

// Reads the text forms of RFC 4291 and nothing else: one to eight groups of one to four hex
// digits (either case) separated by ":", at most one "::" standing for one or more zero groups,
// and optionally a dotted quad in the last 32 bits (decimal pieces of one to three digits, 0 to
// 255). A zone, brackets, a prefix length, blanks or any other text around make it no address.
std::optional<Ipv6Address> ParseIPv6(std::wstring_view text);

// The canonical text of RFC 5952: lower case, no leading zeros, the longest run of two or more
// zero groups (the first of equally long ones) written "::"; an IPv4-mapped address
// (::ffff:0:0/96) ends in its dotted quad.
std::wstring FormatIPv6(const Ipv6Address& address);

// True for a global unicast address (2000::/3) outside the documentation ranges
// (2001:db8::/32, 3fff::/20).
bool IsGlobalIPv6(const Ipv6Address& address);

// Judges an IPv6 service's downloaded answer: line ends (CR, LF) at its end are dropped; the rest
// must be a global address in a strict text form. Gives its canonical text, or nothing.
std::optional<std::wstring> PublicIPv6Answer(std::wstring_view body);

// One unicast address of an adapter, as the system lists them.
struct Ipv6Candidate {
  Ipv6Address address;
  bool adapterUp = false;
  bool preferred = false;  // false when deprecated, tentative, duplicate or invalid
};

// The LAN IPv6 address. `routeSource` is the source address the system picked towards the
// internet (nothing when it could not say); it wins when it is global and is a preferred
// address of an adapter that is up (only global, when there are no candidates to check it
// against). Otherwise the first global, preferred candidate of an adapter that is up; otherwise
// nothing.
std::optional<Ipv6Address> ChooseLanIPv6(std::optional<Ipv6Address> routeSource,
                                         const std::vector<Ipv6Candidate>& candidates);

}  // namespace nb
