// Watch mode in the main window: its two menu entries, the icon's menu, and the start that leaves
// the window in the notification area (the Watch switch).
#include <windows.h>

#include "base/skip_trap_win.h"
#include "mail/frmSendmail_win.h"
#include "mainwindow/frmMain_win.h"
#include "settings/registry_win.h"
#include "watch/frmWatchSettings_win.h"

namespace nb {
namespace {

constexpr wchar_t kLabel[] = L"frmMain watch";

WatchSettings StoredWatchSettings() {
  return ReadWatchSettings([](std::wstring_view name) { return ReadString(kProgramKey, name); });
}

}  // namespace

// At the end of the load step: watch as stored, or for this start when the switch asks for it.
void FrmMain::LoadWatch() {
  startHidden_ = argumentText_ == kSwitchWatch;
  SkipTrap(kLabel, [&] {
    if (startHidden_ || StoredWatchSettings().watch) StartWatching();
  });
}

void FrmMain::StartWatching() {
  const bool iconShown = watch_.Start(hwnd(), StoredWatchSettings());
  CheckMenuItem(menuBar(), frmMainIds::menuWatch, MF_BYCOMMAND | MF_CHECKED);
  // Without an icon the window is the only way back to the program: it stays in sight.
  if (!iconShown && startHidden_) ShowFromNotificationArea();
}

void FrmMain::StopWatching() {
  watch_.Stop();
  CheckMenuItem(menuBar(), frmMainIds::menuWatch, MF_BYCOMMAND | MF_UNCHECKED);
  if (!IsWindowVisible(hwnd())) ShowFromNotificationArea();
}

void FrmMain::menuWatch_Click() {
  const bool on = !watch_.Watching();
  if (on) {
    StartWatching();
  } else {
    StopWatching();
  }
  SkipTrap(kLabel, [&] { WriteString(kProgramKey, kWatchValue, on ? L"1" : L"0"); });
}

// The mail settings the watch mail uses are the mail window's: it opens for the public address,
// over the settings window.
void FrmMain::menuWatchSettings_Click() {
  FrmWatchSettings settings([this](HWND owner) {
    FrmSendmail mail(addresses_.WanText());
    Modal().ShowModal(mail, owner);
  });
  Modal().ShowModal(settings, nullptr);
  if (settings.StoredSettings() && watch_.Watching()) watch_.Apply(*settings.StoredSettings());
}

void FrmMain::WatchMenuCommand(int command) {
  switch (command) {
    case watchCopyPublic: menuCopyWANtoClipboard_Click(); break;
    case watchCopyLan: menuCopyLANtoClipboard_Click(); break;
    case watchShowWindow: ShowFromNotificationArea(); break;
    case watchStop: if (watch_.Watching()) menuWatch_Click(); break;
    case watchExit: Close(); break;
    default: break;
  }
}

void FrmMain::ShowFromNotificationArea() {
  startHidden_ = false;
  if (loading_) return;  // it shows when the load step's runs are over
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
}

}  // namespace nb
