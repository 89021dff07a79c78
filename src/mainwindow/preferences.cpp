#include "mainwindow/preferences.h"

#include <charconv>
#include <cmath>

#include "detect/isip.h"

namespace nb {

std::wstring ArgumentText(std::wstring_view commandLine) {
  size_t i = 0;
  const auto blank = [&](size_t k) { return k < commandLine.size() && (commandLine[k] == L' ' || commandLine[k] == L'\t'); };
  while (blank(i)) ++i;
  if (i < commandLine.size() && commandLine[i] == L'"') {
    const size_t close = commandLine.find(L'"', i + 1);
    i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && !blank(i)) ++i;
  }
  while (blank(i)) ++i;
  return std::wstring(commandLine.substr(i));
}

std::optional<double> StoredNumber(std::wstring_view stored) { return ParseNumber(stored); }

std::optional<int> StoredCheckState(std::wstring_view stored) {
  const auto value = ParseNumber(stored);
  if (!value) return std::nullopt;
  // A whole number that fits an integer, rounded as a conversion to integer rounds.
  if (!(std::fabs(*value) < 32768.0)) return std::nullopt;
  const int state = static_cast<int>(std::nearbyint(*value));
  if (state < 0 || state > 2) return std::nullopt;
  return state;
}

bool StoredSchemeIsGreenOnBlack(std::wstring_view stored) {
  const auto value = ParseNumber(stored);
  return !value || *value == 65280.0;
}

std::wstring SingleText(double value) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
  if (error != std::errc()) return L"0";
  return std::wstring(buffer, end);
}

}  // namespace nb
