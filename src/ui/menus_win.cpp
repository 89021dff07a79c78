#include "ui/menus_win.h"

namespace nb {

HMENU MakePopupMenu(std::initializer_list<MenuEntry> entries) {
  HMENU menu = CreatePopupMenu();
  for (const MenuEntry& entry : entries) {
    if (entry.command == 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu, MF_STRING | (entry.greyed ? MF_GRAYED : 0), static_cast<UINT_PTR>(entry.command), entry.text);
    }
  }
  return menu;
}

void EnableMenuCommand(HMENU menu, int command, bool on) {
  EnableMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

bool MenuCommandEnabled(HMENU menu, int command) {
  const UINT state = GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

}  // namespace nb
