#include "watch/watch_text.h"

#include "detect/ipv6_address.h"
#include "detect/isip.h"

namespace nb {
namespace {

std::wstring LineText(const TipLine& line) {
  if (!line.address) return kNoConnectionText;
  return std::wstring(line.name) + L": " + std::wstring(*line.address);
}

// Nothing but hex digits, dots and colons: no blank, quote or sign that the command interpreter reads.
std::wstring_view CommandAddress(std::wstring_view address) {
  constexpr std::wstring_view allowed = L"0123456789abcdefABCDEF.:";
  return address.find_first_not_of(allowed) == std::wstring_view::npos ? address : std::wstring_view();
}

// The address that "%<digit>" stands for, or nothing when the digit names none.
std::optional<std::wstring_view> Argument(wchar_t digit, const CommandAddresses& addresses) {
  switch (digit) {
    case L'1':
      return addresses.publicAddress;
    case L'2':
      return addresses.lanAddress;
    case L'3':
      return addresses.publicIPv6;
    case L'4':
      return addresses.lanIPv6;
    default:
      return std::nullopt;
  }
}

bool WellFormed(AddressKind kind, const std::wstring& text) {
  return kind == AddressKind::Public || kind == AddressKind::Lan ? IsIP(text) : ParseIPv6(text).has_value();
}

// The four addresses of a result with their kinds, in the order changes are told.
template <typename First, typename Second, typename Fn>
void ForEachAddress(First& a, Second& b, Fn&& fn) {
  fn(AddressKind::Public, a.publicAddress, b.publicAddress);
  fn(AddressKind::Lan, a.lanAddress, b.lanAddress);
  fn(AddressKind::PublicIPv6, a.publicIPv6, b.publicIPv6);
  fn(AddressKind::LanIPv6, a.lanIPv6, b.lanIPv6);
}

}  // namespace

std::wstring WatchToolTip(const std::vector<TipLine>& lines, std::wstring_view lastCheck) {
  const std::wstring last = L"Last check: " + std::wstring(lastCheck);
  std::wstring tip;
  for (const auto& line : lines) {
    const std::wstring text = LineText(line) + L"\n";
    if (tip.size() + text.size() + last.size() <= kToolTipLimit) tip += text;
  }
  tip += last;
  return tip.substr(0, kToolTipLimit);
}

std::vector<AddressChange> AddressChanges(const WatchResult& last, const WatchResult& now) {
  std::vector<AddressChange> changes;
  ForEachAddress(last, now, [&](AddressKind kind, const std::wstring& before, const std::wstring& after) {
    if (before != after && WellFormed(kind, before) && WellFormed(kind, after)) changes.push_back({kind, before, after});
  });
  return changes;
}

WatchResult LastSeen(const WatchResult& seen, const WatchResult& now) {
  WatchResult last = seen;
  ForEachAddress(last, now, [](AddressKind kind, std::wstring& kept, const std::wstring& found) {
    if (WellFormed(kind, found)) kept = found;
  });
  return last;
}

Notice ChangeNotice(const AddressChange& change) {
  static constexpr const wchar_t* kTitles[] = {L"Public address changed", L"LAN address changed",
                                               L"Public IPv6 address changed", L"LAN IPv6 address changed"};
  static constexpr const wchar_t* kNames[] = {L"The public", L"The LAN", L"The public IPv6", L"The LAN IPv6"};
  const auto kind = static_cast<std::size_t>(change.kind);
  std::wstring text =
      std::wstring(kNames[kind]) + L" address is now " + change.after + L" (it was " + change.before + L").";
  return {kTitles[kind], text.substr(0, kNoticeTextLimit)};
}

std::wstring WatchCommandLine(std::wstring_view command, const CommandAddresses& addresses) {
  std::wstring line;
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (command[i] != L'%' || i + 1 == command.size()) {
      line += command[i];
      continue;
    }
    const wchar_t next = command[i + 1];
    if (next == L'%') {
      line += L'%';
    } else if (const auto address = Argument(next, addresses)) {
      line += CommandAddress(*address);
    } else {
      line += L'%';
      continue;
    }
    ++i;
  }
  return line;
}

}  // namespace nb
