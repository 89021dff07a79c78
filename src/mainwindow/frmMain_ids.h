// Window class and control identifiers of the main window. Portable, so that tools that drive
// the program from outside can use them too.
#pragma once

namespace nb::frmMainIds {

inline constexpr wchar_t kClassName[] = L"Netbeacon.frmMain";

enum : int {
  lblLANip = 1001,
  lblWANip = 1002,
  cmdFindMyIP = 1003,
  chkAutoRun = 1004,
  chkAutoQuit = 1005,
  cmdPREFS = 1006,
  lblHDDNPublicIP = 1007,
  lblHDDNLANmail = 1008,
  lblLANip6 = 1009,
  lblWANip6 = 1010,
};

// Menu commands.
enum : int {
  menuAbout = 2001,
  menuExit = 2002,
  menuHistory = 2003,
  menuClearlog = 2004,
  menuColorsBlackOnWhite = 2005,
  menuShowALLIPs = 2006,
  menuIPconfig = 2007,
  menuWatch = 2008,
  menuWatchSettings = 2009,
  menuSaveLANas = 2101,
  menuCopyLANtoClipboard = 2102,
  menuSendLANemail = 2103,
  menuSaveWANas = 2201,
  menuCopyWANtoClipboard = 2202,
  menuSendWANemail = 2203,
  menuSaveLAN6as = 2301,
  menuCopyLAN6toClipboard = 2302,
  menuSendLAN6email = 2303,
  menuSaveWAN6as = 2401,
  menuCopyWAN6toClipboard = 2402,
  menuSendWAN6email = 2403,
};

}  // namespace nb::frmMainIds
