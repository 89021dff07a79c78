// The detection run: the progress window, the LAN address, the public-address chain and the log.
#include <windows.h>

#include "addresslog/log_writer_win.h"
#include "base/skip_trap_win.h"
#include "mainwindow/frmMain_win.h"
#include "ui/error_report_win.h"
#include "ui/menus_win.h"
#include "ui/message_loop_win.h"

namespace nb {

void FrmMain::SetTrying(std::wstring_view text) { working_.SetTrying(text); }
std::wstring FrmMain::WanText() const { return lblWANip.Text(); }
void FrmMain::SetWanText(std::wstring_view text) { lblWANip.SetText(text); }
void FrmMain::SetHiddenPublicText(std::wstring_view text) { lblHDDNPublicIP.SetText(text); }

void FrmMain::showIPs() {
  const bool done = ReportTrap(L"frmMain Sub showIPs", [&] {
    if (!working_.IsOpen()) working_.Load(hwnd());
    if (!working_.Visible()) working_.Show();
    working_.Repaint();
    lblLANip.SetText(lanLookup());
    // The one point of the run where clicks and keys are let through.
    ProcessMessages(MessageKinds::AllQueued);
    RunPublicAddressChain(LoadServiceSettings(), *this);
    working_.Hide();
  });
  // After an error report the progress window goes too.
  if (!done) working_.Hide();
}

void FrmMain::updateLOG() { AppendAddressChanges(lblLANip.Text(), lblWANip.Text()); }

void FrmMain::cmdFindMyIP_Click() {
  // A click handled while a run waits does not start a second run inside the first.
  if (runActive_) return;
  runActive_ = true;
  ReportTrap(L"frmMain cmdFindMyIP_Click", [&] {
    showIPs();
    if (lblLANip.Text() == kPlaceholder || lblWANip.Text() == kPlaceholder) return;
    updateLOG();
    EnableMenuCommand(menuBar(), frmMainIds::menuShowALLIPs, true);
    SkipTrap(L"frmMain cmdFindMyIP_Click", [&] { cmdPREFS.Focus(); });
  });
  runActive_ = false;
  // A close asked for while the run waited happens now.
  if (closePending_) {
    closePending_ = false;
    Close();
  }
}

}  // namespace nb
