// What watch mode says and runs: the notification-area icon's tool tip, the notification of an
// address change and the command line of the command that runs on one. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nb {

// The system's limits, in characters, without the terminating NUL.
inline constexpr std::size_t kToolTipLimit = 127;
inline constexpr std::size_t kNoticeTextLimit = 255;

inline constexpr wchar_t kNoConnectionText[] = L"No internet connection";

// One address line of the tool tip: "Public: 203.0.113.7". The address is nothing when the
// connectivity probe failed; the line then reads kNoConnectionText alone.
struct TipLine {
  std::wstring_view name;
  std::optional<std::wstring_view> address;
};

// The address lines, one under another, then "Last check: " and the time as given. A line that
// would take the tip past kToolTipLimit is left out; the last check's line is always there.
std::wstring WatchToolTip(const std::vector<TipLine>& lines, std::wstring_view lastCheck);

enum class AddressKind { Public, Lan, PublicIPv6, LanIPv6 };

// The address texts of a result, as the labels show them (the IPv6 ones empty without IPv6).
struct WatchResult {
  std::wstring publicAddress;
  std::wstring lanAddress;
  std::wstring publicIPv6 = {};
  std::wstring lanIPv6 = {};

  bool operator==(const WatchResult&) const = default;
};

struct AddressChange {
  AddressKind kind;
  std::wstring before;
  std::wstring after;

  bool operator==(const AddressChange&) const = default;
};

// The addresses that went from one well-formed address to another (IsIP; for IPv6, ParseIPv6), public
// first, then LAN, then the IPv6 ones. A placeholder, an empty text or "Access error" on either side
// is no change.
std::vector<AddressChange> AddressChanges(const WatchResult& last, const WatchResult& now);

// The addresses last seen, after `now`: each of its well-formed addresses, and where it has none,
// the one `seen` had. So a check that failed in between (a router that restarts) leaves the
// address from before it to tell a change by.
WatchResult LastSeen(const WatchResult& seen, const WatchResult& now);

struct Notice {
  std::wstring title;
  std::wstring text;
};

// "Public address changed", "LAN address changed" (or their IPv6 twins), and a text naming the old
// and the new address, the text cut to the system's limit (the titles are well within theirs).
Notice ChangeNotice(const AddressChange& change);

// The addresses the command is given; the IPv6 ones may be empty.
struct CommandAddresses {
  std::wstring_view publicAddress;  // %1
  std::wstring_view lanAddress;     // %2
  std::wstring_view publicIPv6;     // %3
  std::wstring_view lanIPv6;        // %4
};

// The stored command with %1 to %4 replaced by the addresses and %% by one %; any other % stays.
// An address goes in only when it holds nothing but hex digits, dots and colons, so that nothing
// in it can add to the command; otherwise nothing takes its place.
std::wstring WatchCommandLine(std::wstring_view command, const CommandAddresses& addresses);

}  // namespace nb
