// The main window's menus: the menu bar, the two address menus and the keyboard shortcuts.
#include <windows.h>

#include <iterator>

#include "mainwindow/frmMain_win.h"
#include "ui/menus_win.h"
#include "ui/message_loop_win.h"

namespace nb {

using namespace frmMainIds;

HMENU FrmMain::MakeMenuBar() {
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP,
              reinterpret_cast<UINT_PTR>(MakePopupMenu({{menuAbout, L"&About\tCtrl+A"}, {menuExit, L"E&xit\tCtrl+Q"}})),
              L"&Project");
  AppendMenuW(bar, MF_POPUP,
              reinterpret_cast<UINT_PTR>(MakePopupMenu({{menuHistory, L"&History\tCtrl+H"},
                                                        {menuClearlog, L"&Clear log\tCtrl+X"},
                                                        {menuColorsBlackOnWhite, L"&Black on white / green on black"},
                                                        kMenuSeparator,
                                                        {menuShowALLIPs, L"All &IP addresses\tCtrl+I"},
                                                        {menuIPconfig, L"IP &configuration\tCtrl+M"},
                                                        kMenuSeparator,
                                                        {menuWatch, L"&Watch for changes"},
                                                        {menuWatchSettings, L"Watch &settings..."}})),
              L"&Options");
  return bar;
}

namespace {

unique_haccel MakeShortcuts() {
  ACCEL keys[] = {
      {FVIRTKEY | FCONTROL, 'A', menuAbout},      {FVIRTKEY | FCONTROL, 'Q', menuExit},
      {FVIRTKEY | FCONTROL, 'H', menuHistory},    {FVIRTKEY | FCONTROL, 'X', menuClearlog},
      {FVIRTKEY | FCONTROL, 'I', menuShowALLIPs}, {FVIRTKEY | FCONTROL, 'M', menuIPconfig},
  };
  return unique_haccel(CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
}

}  // namespace

// The address menus open only through a right click on their label.
void FrmMain::CreatePopupsAndShortcuts() {
  lanPopup_.reset(MakePopupMenu({{menuSaveLANas, L"&Save as text file..."},
                                 {menuCopyLANtoClipboard, L"&Copy to clipboard"},
                                 {menuSendLANemail, L"Send by &e-mail..."}}));
  wanPopup_.reset(MakePopupMenu({{menuSaveWANas, L"&Save as text file..."},
                                 {menuCopyWANtoClipboard, L"&Copy to clipboard"},
                                 {menuSendWANemail, L"Send by &e-mail..."}}));
  lan6Popup_.reset(MakePopupMenu({{menuSaveLAN6as, L"&Save as text file..."},
                                  {menuCopyLAN6toClipboard, L"&Copy to clipboard"},
                                  {menuSendLAN6email, L"Send by &e-mail..."}}));
  wan6Popup_.reset(MakePopupMenu({{menuSaveWAN6as, L"&Save as text file..."},
                                  {menuCopyWAN6toClipboard, L"&Copy to clipboard"},
                                  {menuSendWAN6email, L"Send by &e-mail..."}}));
  accelerators_ = MakeShortcuts();
  SetAccelerators(hwnd(), accelerators_.get());
}

}  // namespace nb
