#include "mainwindow/frmMain.h"

#include "detect/frmHostName.h"
#include "detect/lan_lookup.h"
#include "res/resource_ids.h"
#include "ui/error_report.h"
#include "ui/modal.h"

namespace nb {
namespace {

using namespace frmMainIds;

constexpr int kClientWidth = 2295;  // twips
constexpr int kClientHeight = 1980;
constexpr int kLeft = 105;
constexpr int kWidth = 2085;

HICON ProgramIcon() {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_NETBEACON), IMAGE_ICON, 0, 0,
                                       LR_DEFAULTSIZE | LR_SHARED));
}

}  // namespace

void FrmMain::Load() {
  CreateArgs args{kClassName, L" Netbeacon"};
  args.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  args.clientWidthTwips = kClientWidth;
  args.clientHeightTwips = kClientHeight;
  args.icon = ProgramIcon();
  CreateFrame(args);
  CreateMenus();
  CreateControls();
  SizeClient(kClientWidth, kClientHeight);
  Layout();
  Form_Load();
}

void FrmMain::Show() {
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
  cmdFindMyIP.Focus();
}

void FrmMain::CreateControls() {
  const auto make = [this](Control& control, const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
    control.id = id;
    control.hwnd = CreateChild(hwnd(), cls, text, style, id);
  };
  CreateColourLabel(lblLANip, hwnd(), kPlaceholder, frmMainIds::lblLANip);
  CreateColourLabel(lblWANip, hwnd(), kPlaceholder, frmMainIds::lblWANip);
  make(cmdFindMyIP, L"BUTTON", L"F&ind my IP", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, frmMainIds::cmdFindMyIP);
  make(chkAutoRun, L"BUTTON", L"Autorun", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, frmMainIds::chkAutoRun);
  make(chkAutoQuit, L"BUTTON", L"Autoquit", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, frmMainIds::chkAutoQuit);
  // Lies below the client area: it only takes the keyboard focus after a run or a copy.
  make(cmdPREFS, L"BUTTON", L"Prefs_keep here", WS_VISIBLE | WS_TABSTOP, frmMainIds::cmdPREFS);
  make(lblHDDNPublicIP, L"STATIC", L"lblHDDNPublicIP", SS_NOPREFIX, frmMainIds::lblHDDNPublicIP);
  make(lblHDDNLANmail, L"STATIC", L"lblHDDNLANmail", SS_NOPREFIX, frmMainIds::lblHDDNLANmail);
  ApplyColours(kGreen, kBlack);
}

void FrmMain::CreateMenus() {
  HMENU project = CreatePopupMenu();
  AppendMenuW(project, MF_STRING | MF_GRAYED, menuAbout, L"&About\tCtrl+A");
  AppendMenuW(project, MF_STRING, menuExit, L"E&xit\tCtrl+Q");
  HMENU options = CreatePopupMenu();
  AppendMenuW(options, MF_STRING | MF_GRAYED, menuHistory, L"&History\tCtrl+H");
  AppendMenuW(options, MF_STRING | MF_GRAYED, menuClearlog, L"&Clear log\tCtrl+X");
  AppendMenuW(options, MF_STRING | MF_GRAYED, menuColorsBlackOnWhite, L"&Black on white / green on black");
  AppendMenuW(options, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(options, MF_STRING | MF_GRAYED, menuShowALLIPs, L"All &IP addresses\tCtrl+I");
  AppendMenuW(options, MF_STRING | MF_GRAYED, menuIPconfig, L"IP &configuration\tCtrl+M");
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(project), L"&Project");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(options), L"&Options");
  SetMenu(hwnd(), bar);  // destroyed with the window
}

void FrmMain::Layout() {
  labelFont_ = MakeFont(L"MS Sans Serif", 8.25, true, Dpi());
  uiFont_ = MakeFont(L"MS Sans Serif", 8.25, false, Dpi());
  const Placement placements[] = {
      {lblLANip.hwnd, {kLeft, 120, kWidth, 285}},
      {lblWANip.hwnd, {kLeft, 465, kWidth, 285}},
      {cmdFindMyIP.hwnd, {kLeft, 840, kWidth, 375}},
      {chkAutoRun.hwnd, {kLeft, 1305, kWidth, 285}},
      {chkAutoQuit.hwnd, {kLeft, 1560, kWidth, 285}},
      {cmdPREFS.hwnd, {kLeft, 2610, kWidth, 360}},
      {lblHDDNPublicIP.hwnd, {kLeft, 3090, kWidth, 225}},
      {lblHDDNLANmail.hwnd, {kLeft, 3345, kWidth, 225}},
  };
  Place(placements);
  lblLANip.SetFont(labelFont_.get());
  lblWANip.SetFont(labelFont_.get());
  for (const Control* c : {&static_cast<const Control&>(cmdFindMyIP), static_cast<const Control*>(&chkAutoRun),
                           static_cast<const Control*>(&chkAutoQuit), static_cast<const Control*>(&cmdPREFS)}) {
    c->SetFont(uiFont_.get());
  }
}

void FrmMain::OnDpiChanged() {
  SizeClient(kClientWidth, kClientHeight);
  Layout();
}

void FrmMain::ApplyColours(COLORREF text, COLORREF back) {
  lblLANip.SetColours(text, back);
  lblWANip.SetColours(text, back);
}

void FrmMain::Form_Load() {
  EnableMenu(menuShowALLIPs, false);
}

void FrmMain::EnableMenu(int commandId, bool on) const {
  EnableMenuItem(menuBar(), static_cast<UINT>(commandId), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

bool FrmMain::MenuEnabled(int commandId) const {
  const UINT state = GetMenuState(menuBar(), static_cast<UINT>(commandId), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void FrmMain::showIPs() {
  ReportTrap(L"frmMain Sub showIPs", [&] {
    lblLANip.SetText(GetLocalIP());
    DoEvents();
  });
}

void FrmMain::cmdFindMyIP_Click() {
  // A click handled while a run waits does not start a second run inside the first.
  if (runActive_) return;
  runActive_ = true;
  ReportTrap(L"frmMain cmdFindMyIP_Click", [&] {
    showIPs();
    if (lblLANip.Text() == kPlaceholder || lblWANip.Text() == kPlaceholder) return;
    EnableMenu(menuShowALLIPs, true);
    SkipTrap([&] { cmdPREFS.Focus(); });
  });
  runActive_ = false;
}

void FrmMain::ShowHostName(const std::wstring& captionPrefix, const std::wstring& address) {
  const std::wstring name = GetHostNameByIP(address);
  // The caption and the name are set as the window loads, before it is shown.
  class Named : public FrmHostName {
   public:
    Named(std::wstring caption, std::wstring name) : caption_(std::move(caption)), name_(std::move(name)) {}
    void Load(HWND owner) override {
      FrmHostName::Load(owner);
      SetWindowTextW(hwnd(), caption_.c_str());
      lblInfo.SetText(name_);
    }

   private:
    std::wstring caption_;
    std::wstring name_;
  } named(captionPrefix + address, name);
  Modal().ShowModal(named, hwnd());
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

void FrmMain::OnCommand(int id, int code) {
  switch (id) {
    case frmMainIds::cmdFindMyIP:
      if (code == BN_CLICKED) cmdFindMyIP_Click();
      break;
    case frmMainIds::lblLANip:
      if (code == kLabelDblClick) lblLANip_DblClick();
      break;
    case frmMainIds::lblWANip:
      if (code == kLabelDblClick) lblWANip_DblClick();
      break;
    case menuExit:
      Close();
      break;
    default:
      break;
  }
}

bool FrmMain::OnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      result = 0;
      return true;
    case DM_GETDEFID:
      result = MAKELRESULT(frmMainIds::cmdFindMyIP, DC_HASDEFID);
      return true;
    default:
      return false;
  }
}

}  // namespace nb
