#include "settings/stored_values.h"

#include <charconv>
#include <cmath>

#include "base/app_error.h"
#include "base/text_util.h"
#include "ui/layout.h"

namespace nb {

namespace {

std::optional<double> StoredNumber(const std::optional<std::wstring>& stored) {
  return stored ? ParseNumber(*stored) : std::nullopt;
}

}  // namespace

std::optional<int> StoredTwips(const std::optional<std::wstring>& stored) {
  const auto value = StoredNumber(stored);
  if (!value) return std::nullopt;
  if (!(std::fabs(*value) < 1e8)) throw AppError(errnum::kOverflow, L"Overflow");
  return static_cast<int>(*value);
}

std::optional<PixelRect> PlaceOnMonitors(const std::vector<MonitorArea>& monitors, const StoredPlace& stored,
                                         const PixelRect& current, int currentDpi) {
  if (!stored.leftTwips && !stored.topTwips) return std::nullopt;
  const int from = currentDpi > 0 ? currentDpi : 96;
  const auto scaled = [&](int pixels, int dpi) {
    return static_cast<int>((static_cast<long long>(pixels) * dpi + from / 2) / from);
  };
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const int dpi = monitors[i].dpi;
    const int left = stored.leftTwips ? TwipsToPixels(*stored.leftTwips, dpi) : current.left;
    const int top = stored.topTwips ? TwipsToPixels(*stored.topTwips, dpi) : current.top;
    const PixelRect window{left, top, left + scaled(current.Width(), dpi), top + scaled(current.Height(), dpi)};
    if (MonitorOf(monitors, window) == i) return window;
  }
  return std::nullopt;
}

std::optional<int> StoredCheckState(const std::optional<std::wstring>& stored) {
  const auto value = StoredNumber(stored);
  if (!value) return std::nullopt;
  // A whole number that fits an integer, rounded as a conversion to integer rounds.
  if (!(std::fabs(*value) < 32768.0)) return std::nullopt;
  const int state = static_cast<int>(std::nearbyint(*value));
  if (state < 0 || state > 2) return std::nullopt;
  return state;
}

bool StoredSchemeIsGreenOnBlack(const std::optional<std::wstring>& stored) {
  const auto value = StoredNumber(stored);
  return !value || *value == 65280.0;
}

std::wstring SingleText(double value) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
  if (error != std::errc()) return L"0";
  return std::wstring(buffer, end);
}

}  // namespace nb
