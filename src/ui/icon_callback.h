// What the notification-area icon tells its window, under version 4 of the icon interface: the
// callback message's lParam holds the event in its low word and the icon's id in its high word,
// and wParam the point the event is anchored at (where the menu opens). Portable: no Windows
// header; the event values are the system's (ui/notify_icon_win.cpp checks them against its
// headers).
#pragma once

#include <cstdint>

namespace nb {

enum class IconEvent {
  Select,           // a click on the icon
  KeySelect,        // the icon chosen from the keyboard (Space or Enter)
  ContextMenu,      // a right click, Shift+F10 or the menu key on the icon
  BalloonShown,     // a notification of the icon appeared
  BalloonHidden,    // it went, for a reason other than its time or a click (the icon went, say)
  BalloonTimedOut,  // it went by itself, or the user closed it
  BalloonClicked,   // the user clicked it
  Other,            // mouse moves and buttons, which version 4 also passes on
};

// The events as their values in the low word of lParam.
inline constexpr unsigned kIconSelectValue = 0x0400;           // NIN_SELECT (WM_USER)
inline constexpr unsigned kIconKeySelectValue = 0x0401;        // NIN_KEYSELECT
inline constexpr unsigned kIconContextMenuValue = 0x007B;      // WM_CONTEXTMENU
inline constexpr unsigned kIconBalloonShowValue = 0x0402;      // NIN_BALLOONSHOW
inline constexpr unsigned kIconBalloonHideValue = 0x0403;      // NIN_BALLOONHIDE
inline constexpr unsigned kIconBalloonTimeoutValue = 0x0404;   // NIN_BALLOONTIMEOUT
inline constexpr unsigned kIconBalloonClickValue = 0x0405;     // NIN_BALLOONUSERCLICK

struct IconCallback {
  IconEvent event = IconEvent::Other;
  unsigned iconId = 0;
  int x = 0;  // the anchor, in screen coordinates: left of or above the primary monitor, they
  int y = 0;  // are less than 0

  bool operator==(const IconCallback&) const = default;
};

// The parameters of the callback message, as they come (WPARAM and LPARAM).
IconCallback DecodeIconCallback(std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace nb
