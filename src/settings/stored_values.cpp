#include "settings/stored_values.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/app_error.h"
#include "base/text_util.h"
#include "ui/layout.h"

namespace nb {

namespace {

std::optional<double> StoredNumber(const std::optional<std::wstring>& stored) {
  return stored ? ParseNumber(*stored) : std::nullopt;
}

// A positive single as decimal digits times a power of ten.
struct Decimal {
  std::uint64_t digits;
  int exponent;
};

bool ReadsBackAs(Decimal decimal, float single) {
  char text[48];
  const int length = std::snprintf(text, sizeof text, "%llue%d", static_cast<unsigned long long>(decimal.digits),
                                   decimal.exponent);
  float back = 0;
  return std::from_chars(text, text + length, back).ec == std::errc() && back == single;
}

// The fewest digits that read back as the single (finite, above zero). Of the decimals with so many
// digits the one nearest the exact value is tried first; next to a power of two, where the singles
// below lie twice as close, a neighbour of it may read back where it does not. Nine digits always do.
// (The floating-point std::to_chars would do this, but it brings some 170 KB of tables for every
// floating type into the program.)
Decimal ShortestDecimal(float single) {
  for (int precision = 1;; ++precision) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*e", precision - 1, static_cast<double>(single));
    // "d.ddde+xx", the point being whatever the C locale makes it.
    std::uint64_t nearest = 0;
    const char* at = text;
    for (; *at != 'e'; ++at) {
      if (*at >= '0' && *at <= '9') nearest = nearest * 10 + static_cast<unsigned>(*at - '0');
    }
    const int exponent = std::atoi(at + 1) - (precision - 1);
    for (const std::uint64_t digits : {nearest, nearest + 1, nearest - 1}) {
      if (ReadsBackAs({digits, exponent}, single)) return {digits, exponent};
    }
    if (precision == 9) return {nearest, exponent};
  }
}

// The shortest text of a single (finite, above zero): the plain form or the exponent form, whichever
// is shorter, the plain one when they are as long.
std::string MagnitudeText(float single) {
  auto [digits, exponent] = ShortestDecimal(single);
  for (; digits % 10 == 0; digits /= 10) ++exponent;
  char buffer[64];
  const int count = std::snprintf(buffer, sizeof buffer, "%llu", static_cast<unsigned long long>(digits));
  const std::string shown(buffer, static_cast<std::size_t>(count));
  const int whole = count + exponent;  // digits before the point in the plain form
  std::string plain = shown;
  if (exponent >= 0) {
    // A whole number is written as its exact value, as printf writes it, not as its digits and zeros.
    std::snprintf(buffer, sizeof buffer, "%.0f", static_cast<double>(single));
    plain = buffer;
  } else if (whole > 0) {
    plain.insert(static_cast<std::size_t>(whole), 1, '.');
  } else {
    plain.insert(0, static_cast<std::size_t>(2 - whole), '0');  // "0." and the zeros after the point
    plain[1] = '.';
  }
  std::string scientific = shown;
  if (count > 1) scientific.insert(1, 1, '.');
  std::snprintf(buffer, sizeof buffer, "e%+03d", whole - 1);
  scientific += buffer;
  return scientific.size() < plain.size() ? scientific : plain;
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
  const float single = static_cast<float>(value);
  const std::string text = std::isnan(single)   ? "nan"
                           : std::isinf(single) ? "inf"
                           : single == 0        ? "0"
                                                : MagnitudeText(std::fabs(single));
  std::wstring out = std::signbit(single) ? L"-" : L"";
  out.append(text.begin(), text.end());
  return out;
}

}  // namespace nb
