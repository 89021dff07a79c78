#include "detect/ipv6_address.h"

#include <cstddef>

#include "base/text_util.h"

namespace nb {
namespace {

using Groups = std::vector<std::uint16_t>;

// Only ASCII hex digits: the wide character classes would also take other scripts' digits.
int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

std::optional<std::uint16_t> ParseGroup(std::wstring_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  unsigned value = 0;
  for (const wchar_t c : text) {
    const int digit = HexValue(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return static_cast<std::uint16_t>(value);
}

// A dotted quad, appended as the two groups it stands for.
bool AppendDottedQuad(std::wstring_view text, Groups& groups) {
  const auto pieces = SplitKeepEmpty(text, L'.');
  if (pieces.size() != 4) return false;
  std::array<unsigned, 4> octets{};
  for (std::size_t k = 0; k < 4; ++k) {
    if (pieces[k].empty() || pieces[k].size() > 3) return false;
    for (const wchar_t c : pieces[k]) {
      if (c < L'0' || c > L'9') return false;
      octets[k] = octets[k] * 10 + static_cast<unsigned>(c - L'0');
    }
    if (octets[k] > 255) return false;
  }
  groups.push_back(static_cast<std::uint16_t>(octets[0] << 8 | octets[1]));
  groups.push_back(static_cast<std::uint16_t>(octets[2] << 8 | octets[3]));
  return true;
}

// The groups of a text that holds no "::". Every piece between colons must be a group, so a
// lone colon at either end, or a second "::", leaves an empty piece and refuses the text. Only
// the address's last piece may be a dotted quad.
bool AppendGroups(std::wstring_view text, bool endsTheAddress, Groups& groups) {
  if (text.empty()) return true;
  const auto pieces = SplitKeepEmpty(text, L':');
  if (pieces.size() > 8) return false;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    const bool last = endsTheAddress && k + 1 == pieces.size();
    if (last && pieces[k].find(L'.') != std::wstring_view::npos) return AppendDottedQuad(pieces[k], groups);
    const auto group = ParseGroup(pieces[k]);
    if (!group) return false;
    groups.push_back(*group);
  }
  return true;
}

Ipv6Address FromGroups(const Groups& head, const Groups& tail) {
  Ipv6Address address;
  const auto put = [&address](std::size_t index, std::uint16_t group) {
    address.bytes[2 * index] = static_cast<std::uint8_t>(group >> 8);
    address.bytes[2 * index + 1] = static_cast<std::uint8_t>(group & 0xff);
  };
  for (std::size_t k = 0; k < head.size(); ++k) put(k, head[k]);
  for (std::size_t k = 0; k < tail.size(); ++k) put(8 - tail.size() + k, tail[k]);
  return address;
}

bool IsIPv4Mapped(const Ipv6Address& address) {
  for (std::size_t k = 0; k < 10; ++k) {
    if (address.bytes[k] != 0) return false;
  }
  return address.bytes[10] == 0xff && address.bytes[11] == 0xff;
}

std::wstring HexGroup(std::uint16_t group) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring text;
  for (int shift = 12; shift >= 0; shift -= 4) {
    const unsigned digit = (group >> shift) & 0xf;
    if (digit != 0 || !text.empty() || shift == 0) text += kDigits[digit];
  }
  return text;
}

struct ZeroRun {
  std::size_t start = 0;
  std::size_t length = 0;
};

// The first of the longest runs of zero groups among the first `count`.
ZeroRun LongestZeroRun(const std::array<std::uint16_t, 8>& groups, std::size_t count) {
  ZeroRun longest;
  for (std::size_t k = 0; k < count;) {
    std::size_t end = k;
    while (end < count && groups[end] == 0) ++end;
    if (end - k > longest.length) longest = {k, end - k};
    k = end == k ? k + 1 : end;
  }
  return longest;
}

bool Counts(const Ipv6Candidate& candidate) {
  return candidate.adapterUp && candidate.preferred && IsGlobalIPv6(candidate.address);
}

}  // namespace

std::optional<Ipv6Address> ParseIPv6(std::wstring_view text) {
  Groups head;
  Groups tail;
  const std::size_t gap = text.find(L"::");
  if (gap == std::wstring_view::npos) {
    if (!AppendGroups(text, true, head) || head.size() != 8) return std::nullopt;
    return FromGroups(head, tail);
  }
  if (!AppendGroups(text.substr(0, gap), false, head)) return std::nullopt;
  if (!AppendGroups(text.substr(gap + 2), true, tail)) return std::nullopt;
  // "::" stands for at least one zero group.
  if (head.size() + tail.size() > 7) return std::nullopt;
  return FromGroups(head, tail);
}

std::wstring FormatIPv6(const Ipv6Address& address) {
  std::array<std::uint16_t, 8> groups{};
  for (std::size_t k = 0; k < 8; ++k) {
    groups[k] = static_cast<std::uint16_t>(address.bytes[2 * k] << 8 | address.bytes[2 * k + 1]);
  }
  const bool mapped = IsIPv4Mapped(address);
  const std::size_t hexGroups = mapped ? 6 : 8;
  ZeroRun run = LongestZeroRun(groups, hexGroups);
  if (run.length < 2) run = {hexGroups, 0};  // a single zero group stays "0"

  std::wstring text;
  for (std::size_t k = 0; k < hexGroups; ++k) {
    if (k == run.start) {
      text += L"::";
      k += run.length - 1;
      continue;
    }
    if (!text.empty() && text.back() != L':') text += L':';
    text += HexGroup(groups[k]);
  }
  if (mapped) {
    text += L':';
    for (std::size_t k = 12; k < 16; ++k) {
      text += std::to_wstring(address.bytes[k]);
      if (k < 15) text += L'.';
    }
  }
  return text;
}

bool IsGlobalIPv6(const Ipv6Address& address) {
  const auto& b = address.bytes;
  if ((b[0] & 0xe0) != 0x20) return false;
  if (b[0] == 0x20 && b[1] == 0x01 && b[2] == 0x0d && b[3] == 0xb8) return false;
  if (b[0] == 0x3f && b[1] == 0xff && (b[2] & 0xf0) == 0) return false;
  return true;
}

std::optional<std::wstring> PublicIPv6Answer(std::wstring_view body) {
  const auto address = ParseIPv6(Trim(body, TrimEnds::Trailing, L"\r\n"));
  if (!address || !IsGlobalIPv6(*address)) return std::nullopt;
  return FormatIPv6(*address);
}

std::optional<Ipv6Address> ChooseLanIPv6(std::optional<Ipv6Address> routeSource,
                                         const std::vector<Ipv6Candidate>& candidates) {
  if (routeSource && IsGlobalIPv6(*routeSource)) {
    if (candidates.empty()) return routeSource;
    for (const Ipv6Candidate& candidate : candidates) {
      if (candidate.address == *routeSource && Counts(candidate)) return routeSource;
    }
  }
  for (const Ipv6Candidate& candidate : candidates) {
    if (Counts(candidate)) return candidate.address;
  }
  return std::nullopt;
}

}  // namespace nb
