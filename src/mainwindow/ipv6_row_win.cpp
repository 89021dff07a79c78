// The IPv6 row: two labels, the LAN and the public IPv6 address, shown only while the machine has a
// global IPv6 address (the window is then wider and one row taller). They behave as the IPv4
// labels do: a double click shows the host name, a right click opens their menu, the mouse over
// them sets their tool tip.
#include <windows.h>

#include "mainwindow/frmMain_win.h"
#include "mainwindow/main_layout.h"
#include "ui/error_report_win.h"

namespace nb {
namespace {

// The hidden label's text while the mail window mails an IPv6 address.
constexpr wchar_t kMailLan6Flag[] = L"LAN6MAIL";
constexpr wchar_t kMailWan6Flag[] = L"WAN6MAIL";

}  // namespace

void FrmMain::ShowIPv6Row(bool on) {
  if (on == ipv6RowShown_) return;
  ipv6RowShown_ = on;
  const MainPlaces at = MainWindowPlaces(on);
  const std::pair<const Control*, TwipsRect> places[] = {
      {&lblLANip, at.lan},         {&lblWANip, at.wan},         {&lblLANip6, at.lan6},
      {&lblWANip6, at.wan6},       {&cmdFindMyIP, at.find},     {&chkAutoRun, at.autoRun},
      {&chkAutoQuit, at.autoQuit}, {&cmdPREFS, at.prefs},       {&lblHDDNPublicIP, at.hiddenPublic},
      {&lblHDDNLANmail, at.hiddenMail}};
  for (const auto& [control, place] : places) Replace(*control, place);
  SetClientSize(at.clientWidth, at.clientHeight);
  ShowWindow(lblLANip6.hwnd, on ? SW_SHOWNA : SW_HIDE);
  ShowWindow(lblWANip6.hwnd, on ? SW_SHOWNA : SW_HIDE);
}

void FrmMain::lblLANip6_DblClick() {
  constexpr wchar_t kLabel[] = L"frmMain lblLANip6_DblClick";
  ReportTrap(kLabel, [&] {
    if (addresses_.lan6) ShowHostName(kLabel, L"Computer Name - ", *addresses_.lan6);
  });
}

void FrmMain::lblWANip6_DblClick() {
  constexpr wchar_t kLabel[] = L"frmMain lblWANip6_DblClick";
  ReportTrap(kLabel, [&] {
    if (addresses_.Public6Found()) ShowHostName(kLabel, L"Host Name - ", *addresses_.wan6);
  });
}

void FrmMain::lblLANip6_MouseDown(int button, int x, int y) {
  if (button != 2 || !addresses_.lan6) return;
  PopUp(lan6Popup_.get(), lblLANip6, x, y);
}

void FrmMain::lblWANip6_MouseDown(int button, int x, int y) {
  if (button != 2 || !addresses_.Public6Found()) return;
  PopUp(wan6Popup_.get(), lblWANip6, x, y);
}

void FrmMain::lblLANip6_MouseMove() {
  if (addresses_.lan6) toolTips_.SetText(lblLANip6.hwnd, kLan6Tip);
}

void FrmMain::lblWANip6_MouseMove() {
  if (!addresses_.wan6) return;
  toolTips_.SetText(lblWANip6.hwnd, addresses_.Public6Found() ? kWan6Tip : kWan6FailedTip);
}

void FrmMain::menuCopyLAN6toClipboard_Click() {
  CopyToClipboard(addresses_.Lan6Text(), L"frmMain menuCopyLAN6toClipboard_Click");
}
void FrmMain::menuCopyWAN6toClipboard_Click() {
  CopyToClipboard(addresses_.Wan6Text(), L"frmMain menuCopyWAN6toClipboard_Click");
}
void FrmMain::menuSaveLAN6as_Click() { SaveToFile(addresses_.Lan6Text(), L"frmMain menuSaveLAN6as_Click"); }
void FrmMain::menuSaveWAN6as_Click() { SaveToFile(addresses_.Wan6Text(), L"frmMain menuSaveWAN6as_Click"); }
void FrmMain::menuSendLAN6email_Click() { SendByMail(kMailLan6Flag, addresses_.Lan6Text()); }
void FrmMain::menuSendWAN6email_Click() { SendByMail(kMailWan6Flag, addresses_.Wan6Text()); }

}  // namespace nb
