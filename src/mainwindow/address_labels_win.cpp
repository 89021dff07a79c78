// The two address labels: a double click shows the host name behind the address, a right click
// opens the address's menu, and the mouse over a label sets its tool tip.
#include <windows.h>

#include <string>

#include "detect/frmHostName_win.h"
#include "detect/lan_lookup_win.h"
#include "mainwindow/frmMain_win.h"
#include "ui/error_report_win.h"

namespace nb {

void FrmMain::ShowHostName(const std::wstring& captionPrefix, const std::wstring& address) {
  const std::wstring name = GetHostNameByIP(address);
  FrmHostName window(captionPrefix + address, name);
  Modal().ShowModal(window, hwnd());
}

void FrmMain::lblLANip_DblClick() {
  ReportTrap(L"frmMain lblLANip_DblClick", [&] {
    const std::wstring address = lblLANip.Text();
    if (address == kPlaceholder) return;
    ShowHostName(L"Computer Name - ", address);
  });
}

void FrmMain::lblWANip_DblClick() {
  ReportTrap(L"frmMain lblWANip_DblClick", [&] {
    const std::wstring address = lblWANip.Text();
    if (address == kPlaceholder || address == kAccessError) return;
    ShowHostName(L"Host Name - ", address);
  });
}

void FrmMain::PopUp(HMENU menu, const Control& label, int x, int y) {
  POINT at{x, y};
  ClientToScreen(label.hwnd, &at);
  const int chosen = Modal().ShowPopupMenu(menu, hwnd(), at);
  if (chosen) OnCommand(chosen, 0);
}

void FrmMain::lblLANip_MouseDown(int button, int x, int y) {
  if (button != 2 || lblLANip.Text() == kPlaceholder) return;
  PopUp(lanPopup_.get(), lblLANip, x, y);
}

void FrmMain::lblWANip_MouseDown(int button, int x, int y) {
  const std::wstring text = lblWANip.Text();
  if (button != 2 || text == kPlaceholder || text == kAccessError) return;
  PopUp(wanPopup_.get(), lblWANip, x, y);
}

void FrmMain::lblLANip_MouseMove() {
  if (lblLANip.Text() != kPlaceholder) toolTips_.SetText(lblLANip.hwnd, kLanTip);
}

void FrmMain::lblWANip_MouseMove() {
  const std::wstring text = lblWANip.Text();
  if (text == kPlaceholder) return;
  toolTips_.SetText(lblWANip.hwnd, text == kAccessError ? kWanFailedTip : kWanTip);
}

void FrmMain::OnLabelMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  if (msg == kLabelMouseDown && id == frmMainIds::lblLANip) lblLANip_MouseDown(HIWORD(wParam), x, y);
  if (msg == kLabelMouseDown && id == frmMainIds::lblWANip) lblWANip_MouseDown(HIWORD(wParam), x, y);
  if (msg == kLabelMouseMove && id == frmMainIds::lblLANip) lblLANip_MouseMove();
  if (msg == kLabelMouseMove && id == frmMainIds::lblWANip) lblWANip_MouseMove();
}

}  // namespace nb
