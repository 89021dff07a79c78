#include "watch/watch_settings.h"

#include <cmath>

#include "base/text_util.h"
#include "watch/watch_schedule.h"

namespace nb {
namespace {

// A stored whole number from `low` to `high`, or nothing. Read as the other stored preferences are
// (ParseNumber), so blanks around the number are allowed.
std::optional<int> StoredWholeNumber(const std::optional<std::wstring>& stored, int low, int high) {
  if (!stored) return std::nullopt;
  const auto value = ParseNumber(*stored);
  if (!value || *value != std::floor(*value) || *value < low || *value > high) return std::nullopt;
  return static_cast<int>(*value);
}

bool StoredSwitch(const std::optional<std::wstring>& stored, bool fallback) {
  const auto value = StoredWholeNumber(stored, 0, 1);
  return value ? *value == 1 : fallback;
}

}  // namespace

WatchSettings ReadWatchSettings(const std::function<std::optional<std::wstring>(std::wstring_view)>& read) {
  WatchSettings settings;
  settings.watch = StoredSwitch(read(kWatchValue), settings.watch);
  settings.minutes =
      StoredWholeNumber(read(kWatchMinutesValue), kMinWatchMinutes, kMaxWatchMinutes).value_or(settings.minutes);
  settings.mail = StoredSwitch(read(kWatchMailValue), settings.mail);
  settings.command = read(kWatchCommandValue).value_or(L"");
  return settings;
}

std::vector<std::pair<const wchar_t*, std::wstring>> WatchSettingsTexts(const WatchSettings& settings) {
  return {{kWatchValue, settings.watch ? L"1" : L"0"},
          {kWatchMinutesValue, std::to_wstring(settings.minutes)},
          {kWatchMailValue, settings.mail ? L"1" : L"0"},
          {kWatchCommandValue, settings.command}};
}

}  // namespace nb
