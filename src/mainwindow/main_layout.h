// Where the main window's controls go, in twips: as designed, and with the IPv6 row that it shows
// only while the machine has a global IPv6 address. Portable: no Windows header.
#pragma once

#include "ui/layout.h"

namespace nb {

struct MainPlaces {
  int clientWidth;
  int clientHeight;
  TwipsRect lan, wan, lan6, wan6, find, autoRun, autoQuit, prefs, hiddenPublic, hiddenMail;
};

// Without the row, the design. With it, the row of the two IPv6 addresses side by side under the
// IPv4 ones, wide enough for the longest IPv6 text, the window as much wider and one row taller,
// and everything under the row moved down by it.
MainPlaces MainWindowPlaces(bool ipv6Row);

}  // namespace nb
