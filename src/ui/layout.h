// Twips (1440 per inch) to pixels for a given DPI. Portable: no Windows header.
#pragma once

namespace nb {

inline constexpr int kTwipsPerInch = 1440;

// Rounds to the nearest pixel; 15 twips are one pixel at 96 dpi.
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  const long long half = kTwipsPerInch / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch : -((-scaled + half) / kTwipsPerInch));
}

constexpr int PixelsToTwips(int pixels, int dpi) {
  return dpi > 0 ? static_cast<int>((static_cast<long long>(pixels) * kTwipsPerInch + dpi / 2) / dpi) : 0;
}

// A control's place in twips, as laid out at design time.
struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

// Font size in points to the (negative) character height in pixels.
constexpr int PointsToFontHeight(double points, int dpi) {
  const double pixels = points * dpi / 72.0;
  return -static_cast<int>(pixels + 0.5);
}

}  // namespace nb
