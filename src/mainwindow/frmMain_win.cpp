#include "mainwindow/frmMain_win.h"

#include <windows.h>

#include <iterator>

#include "about/frmAbout_win.h"
#include "addresslog/frmClear_win.h"
#include "addresslog/log_viewer_win.h"
#include "base/skip_trap_win.h"
#include "base/text_win.h"
#include "detect/lan_lookup_win.h"
#include "localaddresses/frmALLIPs_win.h"
#include "mail/frmSendmail_win.h"
#include "mainwindow/command_line.h"
#include "netconfig/frmIPconfig_win.h"
#include "res/resource_ids.h"
#include "mainwindow/main_layout.h"
#include "settings/colour_scheme_win.h"
#include "ui/error_report_win.h"
#include "ui/menus_win.h"
#include "ui/message_loop_win.h"
#include "ui/window_class_win.h"

namespace nb {
namespace {

using namespace frmMainIds;


constexpr wchar_t kAutoRunTip[] = L"When ticked, Netbeacon finds both addresses as it starts";
constexpr wchar_t kAutoQuitTip[] = L"When ticked, Netbeacon quits after an address was saved, copied or mailed";

}  // namespace

FrmMain::FrmMain()
    : lanLookup([] { return GetLocalIP(); }),
      watch_({[this] { StartRun(RunKind::kCheck, nullptr); }, [this](int command) { WatchMenuCommand(command); }}) {
  saveDialog_.title = L"Save the address as a text file";
  saveDialog_.fileName = L"Netbeacon.txt";
  saveDialog_.defaultExt = L".txt";
  saveDialog_.filter = L"*.txt";
  saveDialog_.overwritePrompt = true;
}

FrmMain::~FrmMain() = default;

void FrmMain::Load() { Load(ArgumentText(GetCommandLineW())); }

void FrmMain::Load(std::wstring argumentText) {
  argumentText_ = std::move(argumentText);
  const MainPlaces places = MainWindowPlaces(false);
  CreateFrame({kClassName, L" Netbeacon", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, nullptr,
               MakeMenuBar(), places.clientWidth, places.clientHeight, ResourceIcon(IDI_NETBEACON)});
  CreateControlsAndToolTips();
  CreatePopupsAndShortcuts();
  Form_Load();
}

void FrmMain::CreateControlsAndToolTips() {
  namespace id = frmMainIds;
  const wchar_t* const label = ColourLabel::ClassName();
  constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
  const MainPlaces at = MainWindowPlaces(false);
  CreateControls({
      {&lblLANip, label, kPlaceholder, WS_VISIBLE, id::lblLANip, at.lan, kBoldFont},
      {&lblWANip, label, kPlaceholder, WS_VISIBLE, id::lblWANip, at.wan, kBoldFont},
      // The IPv6 row, shown only while the machine has a global IPv6 address.
      {&lblLANip6, label, kPlaceholder, 0, id::lblLANip6, at.lan6, kBoldFont},
      {&lblWANip6, label, kPlaceholder, 0, id::lblWANip6, at.wan6, kBoldFont},
      {&cmdFindMyIP, L"BUTTON", L"F&ind my IP", kTab | BS_DEFPUSHBUTTON, id::cmdFindMyIP, at.find},
      // Three-state boxes, so that a stored greyed state (2) shows; a click toggles on and off.
      {&chkAutoRun, L"BUTTON", L"Autorun", kTab | BS_3STATE, id::chkAutoRun, at.autoRun},
      {&chkAutoQuit, L"BUTTON", L"Autoquit", kTab | BS_3STATE, id::chkAutoQuit, at.autoQuit},
      // Lies below the client area: it only takes the keyboard focus after a run or a copy.
      {&cmdPREFS, L"BUTTON", L"Prefs_keep here", kTab, id::cmdPREFS, at.prefs},
      {&lblHDDNPublicIP, L"STATIC", L"lblHDDNPublicIP", SS_NOPREFIX, id::lblHDDNPublicIP, at.hiddenPublic},
      {&lblHDDNLANmail, L"STATIC", L"lblHDDNLANmail", SS_NOPREFIX, id::lblHDDNLANmail, at.hiddenMail},
  });
  SetDefaultButtonId(frmMainIds::cmdFindMyIP);
  ApplyColours(kGreen, kBlack);
  toolTips_.Create(hwnd(), {lblLANip.hwnd, lblWANip.hwnd, lblLANip6.hwnd, lblWANip6.hwnd, chkAutoRun.hwnd,
                            chkAutoQuit.hwnd});
  toolTips_.SetText(chkAutoRun.hwnd, kAutoRunTip);
  toolTips_.SetText(chkAutoQuit.hwnd, kAutoQuitTip);
}

void FrmMain::Show() {
  showRequested_ = true;
  if (!IsOpen() || loading_ || startHidden_) return;
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
  if (GetFocus() != cmdPREFS.hwnd) cmdFindMyIP.Focus();
}

void FrmMain::ApplyColours(COLORREF text, COLORREF back) {
  for (const ColourLabel* label : {&lblLANip, &lblWANip, &lblLANip6, &lblWANip6}) label->SetColours(text, back);
}

// ---------------------------------------------------------------------------------------------
// Load, close and resize: every step is skipped when it fails.

// The runs it asks for go one after the other, each on a worker; the window is first shown when
// they are over (ContinueLoad).
void FrmMain::Form_Load() {
  constexpr wchar_t kLabel[] = L"frmMain Form_Load";
  loading_ = true;
  LoadPreferences();
  SkipTrap(kLabel, [&] { EnableMenuCommand(menuBar(), menuShowALLIPs, false); });
  SkipTrap(kLabel, [&] {
    if (chkAutoRun.Value() == BST_CHECKED) loadRuns_.push_back(nullptr);
  });
  // A command-line switch: a run, then its address is copied. Each switch is a step of its own.
  const auto switchStep = [&](const wchar_t* switchText, void (FrmMain::*copy)()) {
    SkipTrap(kLabel, [&] {
      userCommand = argumentText_;
      if (userCommand != switchText) return;
      userCommandIssued = true;
      loadRuns_.push_back([this, copy] { (this->*copy)(); });
    });
  };
  switchStep(kSwitchCopyPublic, &FrmMain::menuCopyWANtoClipboard_Click);
  switchStep(kSwitchCopyLan, &FrmMain::menuCopyLANtoClipboard_Click);
  switchStep(kSwitchCopyPublic6, &FrmMain::menuCopyWAN6toClipboard_Click);
  switchStep(kSwitchCopyLan6, &FrmMain::menuCopyLAN6toClipboard_Click);
  ContinueLoad();
}

void FrmMain::Form_QueryUnload() {
  StorePreferences();
  SkipTrap(L"frmMain Form_QueryUnload", [&] { CloseOtherWindows(); });
}

// Every other window of the program closes, the most recently opened first; one that refuses
// stops the sweep.
void FrmMain::CloseOtherWindows() {
  size_t n = OpenWindows().size();
  while (n > 0) {
    Window* window = OpenWindows()[n - 1];
    if (window != this) {
      window->Close();
      if (OpenWindows().size() == n) break;
    }
    --n;
  }
}

void FrmMain::Form_Resize() {
  SkipTrap(L"frmMain Form_Resize", [&] {
    SetWindowTextOf(hwnd(), IsIconic(hwnd()) ? L" " + GetLocalIP() : std::wstring(kProgramName));
  });
}

// ---------------------------------------------------------------------------------------------
// The menus

void FrmMain::menuColorsBlackOnWhite_Click() {
  const bool done = ReportTrap(L"menuColorsBlackOnWhite_Click", [&] {
    if (lblLANip.TextColour() == kBlack) {
      ApplyColours(kGreen, kBlack);
    } else {
      ApplyColours(kBlack, kWhite);
    }
  });
  if (done) SkipTrap(L"menuColorsBlackOnWhite_Click", [&] { StoreForeColor(lblLANip.TextColour()); });
}

void FrmMain::menuExit_Click() { Close(); }

// The windows of the menu bar are modal and have no owner.
void FrmMain::menuAbout_Click() {
  FrmAbout about(hwnd());
  Modal().ShowModal(about, nullptr);
}

void FrmMain::menuHistory_Click() { OpenLogInEditor(); }

void FrmMain::menuClearlog_Click() {
  FrmClear clear([this] { updateLOG(); });
  Modal().ShowModal(clear, nullptr);
}

void FrmMain::menuShowALLIPs_Click() {
  FrmALLIPs table({hwnd(), [this] { return addresses_.wan; }, &working_});
  Modal().ShowModal(table, nullptr);
}

void FrmMain::menuIPconfig_Click() {
  FrmIPconfig viewer;
  Modal().ShowModal(viewer, nullptr);
}

void FrmMain::ToggleCheck(const CheckBox& box) { box.SetValue(box.Value() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED); }

// ---------------------------------------------------------------------------------------------
// Wiring

void FrmMain::OnCommand(int id, int code) {
  switch (id) {
    case frmMainIds::cmdFindMyIP: if (code == BN_CLICKED) cmdFindMyIP_Click(); break;
    case frmMainIds::chkAutoRun: if (code == BN_CLICKED) ToggleCheck(chkAutoRun); break;
    case frmMainIds::chkAutoQuit: if (code == BN_CLICKED) ToggleCheck(chkAutoQuit); break;
    case frmMainIds::lblLANip: if (code == kLabelDblClick) lblLANip_DblClick(); break;
    case frmMainIds::lblWANip: if (code == kLabelDblClick) lblWANip_DblClick(); break;
    case frmMainIds::lblLANip6: if (code == kLabelDblClick) lblLANip6_DblClick(); break;
    case frmMainIds::lblWANip6: if (code == kLabelDblClick) lblWANip6_DblClick(); break;
    case menuCopyLANtoClipboard: menuCopyLANtoClipboard_Click(); break;
    case menuCopyWANtoClipboard: menuCopyWANtoClipboard_Click(); break;
    case menuSaveLANas: menuSaveLANas_Click(); break;
    case menuSaveWANas: menuSaveWANas_Click(); break;
    case menuSendLANemail: menuSendLANemail_Click(); break;
    case menuSendWANemail: menuSendWANemail_Click(); break;
    case menuCopyLAN6toClipboard: menuCopyLAN6toClipboard_Click(); break;
    case menuCopyWAN6toClipboard: menuCopyWAN6toClipboard_Click(); break;
    case menuSaveLAN6as: menuSaveLAN6as_Click(); break;
    case menuSaveWAN6as: menuSaveWAN6as_Click(); break;
    case menuSendLAN6email: menuSendLAN6email_Click(); break;
    case menuSendWAN6email: menuSendWAN6email_Click(); break;
    case menuColorsBlackOnWhite: menuColorsBlackOnWhite_Click(); break;
    case menuAbout: menuAbout_Click(); break;
    case menuExit: menuExit_Click(); break;
    case menuHistory: menuHistory_Click(); break;
    case menuClearlog: menuClearlog_Click(); break;
    case menuShowALLIPs: menuShowALLIPs_Click(); break;
    case menuIPconfig: menuIPconfig_Click(); break;
    case menuWatch: menuWatch_Click(); break;
    case menuWatchSettings: menuWatchSettings_Click(); break;
    default: break;
  }
}

// The close request never refuses, and never waits: a run under way is dropped (it writes
// nothing), and so are the load step's runs still to come.
void FrmMain::CloseNow() {
  run_.Stop();
  hostName_.Stop();
  watch_.Stop();
  loadRuns_.clear();
  loading_ = false;
  working_.Hide();
  Form_QueryUnload();
  DestroyWindow(hwnd());
}

void FrmMain::OnDestroy() { SetAccelerators(nullptr, nullptr); }

bool FrmMain::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (watch_.OnMessage(msg, wParam, lParam, result)) return true;
  switch (msg) {
    case kLabelMouseDown:
    case kLabelMouseMove:
      OnLabelMouse(msg, wParam, lParam);
      result = 0;
      return true;
    case WM_SIZE:
      Form_Resize();
      // While watching, a minimised window waits in the notification area.
      if (wParam == SIZE_MINIMIZED && watch_.Watching() && watch_.icon().Shown()) ShowWindow(hwnd(), SW_HIDE);
      return false;
    case WM_CLOSE:
      CloseNow();
      result = 0;
      return true;
    case WM_QUERYENDSESSION:
      // Windows may end the process soon after it asked: the preferences are kept at once.
      StorePreferences();
      result = TRUE;
      return true;
    case WM_ENDSESSION:
      // The session ends (log off, shut down) and the program with it: the close step runs.
      if (wParam) CloseNow();
      result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace nb
