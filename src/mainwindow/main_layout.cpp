#include "mainwindow/main_layout.h"

namespace nb {
namespace {

constexpr int kLeft = 105;
constexpr int kWidth = 2085;  // every control, as designed
constexpr int kRowHeight = 345;  // from one address label to the next
// An IPv6 label: the 39 characters of the longest text in the labels' bold font.
constexpr int kIPv6Width = 3900;

}  // namespace

MainPlaces MainWindowPlaces(bool ipv6Row) {
  const int width = ipv6Row ? 2 * kIPv6Width + kLeft : kWidth;
  const int down = ipv6Row ? kRowHeight : 0;
  const auto at = [&](int top, int height) { return TwipsRect{kLeft, top + down, width, height}; };
  MainPlaces places{};
  places.clientWidth = width + 2 * kLeft;
  places.clientHeight = 1980 + down;
  places.lan = {kLeft, 120, width, 285};
  places.wan = {kLeft, 465, width, 285};
  places.lan6 = {kLeft, 810, kIPv6Width, 285};
  places.wan6 = {2 * kLeft + kIPv6Width, 810, kIPv6Width, 285};
  places.find = at(840, 375);
  places.autoRun = at(1305, 285);
  places.autoQuit = at(1560, 285);
  places.prefs = at(2610, 360);  // below the client area: it only takes the focus
  places.hiddenPublic = at(3090, 225);
  places.hiddenMail = at(3345, 225);
  return places;
}

}  // namespace nb
