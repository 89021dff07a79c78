// The stored settings of watch mode: string values under the program key, read back with a
// default for each one that is missing or bad. Portable: no Windows header.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nb {

inline constexpr wchar_t kWatchValue[] = L"Watch";
inline constexpr wchar_t kWatchMinutesValue[] = L"WatchMinutes";
inline constexpr wchar_t kWatchMailValue[] = L"WatchMail";
inline constexpr wchar_t kWatchCommandValue[] = L"WatchCommand";

inline constexpr int kDefaultWatchMinutes = 15;

// The command-line switch that starts the program watching, with the main window hidden in the
// notification area (the one the Run value of "Start with Windows" holds).
inline constexpr wchar_t kSwitchWatch[] = L"Watch";

struct WatchSettings {
  bool watch = false;
  int minutes = kDefaultWatchMinutes;  // kMinWatchMinutes..kMaxWatchMinutes
  bool mail = false;                   // mail the public address when it changes
  std::wstring command;                // run on a change (WatchCommandLine); empty: none

  bool operator==(const WatchSettings&) const = default;
};

// Reads each value through `read`, which gives its stored text or nothing when it is missing. A
// value that is missing, empty, not a whole number or out of range keeps its default; the others
// are read all the same. The switches are "0" or "1".
WatchSettings ReadWatchSettings(const std::function<std::optional<std::wstring>(std::wstring_view)>& read);

// The interval in a text, stored or typed: a whole number from kMinWatchMinutes to kMaxWatchMinutes,
// read as the other stored numbers are (blanks around it allowed); nothing otherwise.
std::optional<int> WatchMinutesFromText(std::wstring_view text);

// The value names and the texts to store, in the order of the struct.
std::vector<std::pair<const wchar_t*, std::wstring>> WatchSettingsTexts(const WatchSettings& settings);

}  // namespace nb
