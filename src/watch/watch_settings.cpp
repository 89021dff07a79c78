#include "watch/watch_settings.h"

#include <cmath>

#include "base/text_util.h"
#include "watch/watch_schedule.h"

namespace nb {
namespace {

// A whole number from `low` to `high` in a text, or nothing. Read as the stored preferences are
// (ParseNumber), so blanks around the number are allowed.
std::optional<int> WholeNumber(std::wstring_view text, int low, int high) {
  const auto value = ParseNumber(text);
  if (!value || *value != std::floor(*value) || *value < low || *value > high) return std::nullopt;
  return static_cast<int>(*value);
}

bool StoredSwitch(const std::optional<std::wstring>& stored, bool fallback) {
  const auto value = stored ? WholeNumber(*stored, 0, 1) : std::nullopt;
  return value ? *value == 1 : fallback;
}

}  // namespace

std::optional<int> WatchMinutesFromText(std::wstring_view text) {
  return WholeNumber(text, kMinWatchMinutes, kMaxWatchMinutes);
}

WatchSettings ReadWatchSettings(const std::function<std::optional<std::wstring>(std::wstring_view)>& read) {
  WatchSettings settings;
  settings.watch = StoredSwitch(read(kWatchValue), settings.watch);
  const auto minutes = read(kWatchMinutesValue);
  settings.minutes = (minutes ? WatchMinutesFromText(*minutes) : std::nullopt).value_or(settings.minutes);
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
