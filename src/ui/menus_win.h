// Menus made from tables of entries.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace nb {

struct MenuEntry {
  int command;           // 0 for a separator
  const wchar_t* text;   // "&Copy\tCtrl+C": access key and shortcut shown
  bool greyed = false;
};
inline constexpr MenuEntry kMenuSeparator{0, nullptr};

// A popup menu with the entries in order; the caller owns it (or hands it to a menu bar).
HMENU MakePopupMenu(std::initializer_list<MenuEntry> entries);

void EnableMenuCommand(HMENU menu, int command, bool on);
// False also when the menu has no such command.
bool MenuCommandEnabled(HMENU menu, int command);

}  // namespace nb
