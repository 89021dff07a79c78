// The two address labels: a double click shows the host name behind the address, a right click
// opens the address's menu, and the mouse over a label sets its tool tip.
#include <windows.h>

#include <string>

#include "detect/frmHostName_win.h"
#include "detect/lan_lookup_win.h"
#include "mainwindow/frmMain_win.h"
#include "ui/error_report_win.h"

namespace nb {

// The lookup runs on a worker; its notices, then the host-name window, come when it has ended. A
// double click while a lookup is under way starts none.
void FrmMain::ShowHostName(const wchar_t* handlerLabel, const std::wstring& captionPrefix, const std::wstring& address) {
  if (hostName_.Running()) return;
  hostName_.Start(
      hwnd(), [address](TaskContext<std::monostate>& task) { return GetHostNameByIP(address, &task.Stop()); },
      [this, handlerLabel, caption = captionPrefix + address](HostNameLookup found) {
        ReportTrap(handlerLabel, [&] {
          for (const LookupNotice& notice : found.notices) ShowMessage(notice.text, notice.style, kProgramName);
          FrmHostName window(caption, found.name);
          Modal().ShowModal(window, hwnd());
        });
      });
}

void FrmMain::lblLANip_DblClick() {
  constexpr wchar_t kLabel[] = L"frmMain lblLANip_DblClick";
  ReportTrap(kLabel, [&] {
    if (addresses_.lan) ShowHostName(kLabel, L"Computer Name - ", *addresses_.lan);
  });
}

void FrmMain::lblWANip_DblClick() {
  constexpr wchar_t kLabel[] = L"frmMain lblWANip_DblClick";
  ReportTrap(kLabel, [&] {
    if (addresses_.PublicFound()) ShowHostName(kLabel, L"Host Name - ", *addresses_.wan);
  });
}

void FrmMain::PopUp(HMENU menu, const Control& label, int x, int y) {
  POINT at{x, y};
  ClientToScreen(label.hwnd, &at);
  const int chosen = Modal().ShowPopupMenu(menu, hwnd(), at);
  if (chosen) OnCommand(chosen, 0);
}

void FrmMain::lblLANip_MouseDown(int button, int x, int y) {
  if (button != 2 || !addresses_.lan) return;
  PopUp(lanPopup_.get(), lblLANip, x, y);
}

void FrmMain::lblWANip_MouseDown(int button, int x, int y) {
  if (button != 2 || !addresses_.PublicFound()) return;
  PopUp(wanPopup_.get(), lblWANip, x, y);
}

void FrmMain::lblLANip_MouseMove() {
  if (addresses_.lan) toolTips_.SetText(lblLANip.hwnd, kLanTip);
}

void FrmMain::lblWANip_MouseMove() {
  if (!addresses_.wan) return;
  toolTips_.SetText(lblWANip.hwnd, addresses_.PublicFound() ? kWanTip : kWanFailedTip);
}

void FrmMain::OnLabelMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  if (msg == kLabelMouseDown && id == frmMainIds::lblLANip) lblLANip_MouseDown(HIWORD(wParam), x, y);
  if (msg == kLabelMouseDown && id == frmMainIds::lblWANip) lblWANip_MouseDown(HIWORD(wParam), x, y);
  if (msg == kLabelMouseMove && id == frmMainIds::lblLANip) lblLANip_MouseMove();
  if (msg == kLabelMouseMove && id == frmMainIds::lblWANip) lblWANip_MouseMove();
  if (msg == kLabelMouseDown && id == frmMainIds::lblLANip6) lblLANip6_MouseDown(HIWORD(wParam), x, y);
  if (msg == kLabelMouseDown && id == frmMainIds::lblWANip6) lblWANip6_MouseDown(HIWORD(wParam), x, y);
  if (msg == kLabelMouseMove && id == frmMainIds::lblLANip6) lblLANip6_MouseMove();
  if (msg == kLabelMouseMove && id == frmMainIds::lblWANip6) lblWANip6_MouseMove();
}

}  // namespace nb
