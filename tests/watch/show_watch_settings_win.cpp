// Shows the watch settings window on its own, with the program's resources, for pictures of it
// (scripts/screenshot.sh); its Mail settings button opens the mail window over it. Ends with 0
// when OK stored the settings, 1 otherwise.
#include <windows.h>

#include "mail/frmSendmail_win.h"
#include "ui/modal_win.h"
#include "watch/frmWatchSettings_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  nb::FrmWatchSettings window([](HWND owner) {
    nb::FrmSendmail mail(L"");
    nb::Modal().ShowModal(mail, owner);
  });
  nb::Modal().ShowModal(window, nullptr);
  return window.StoredSettings() ? 0 : 1;
}
