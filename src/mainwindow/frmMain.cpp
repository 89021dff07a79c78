#include "mainwindow/frmMain.h"

#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstring>
#include <iterator>

#include "about/frmabout.h"
#include "addresslog/frmClear.h"
#include "addresslog/log_viewer.h"
#include "addresslog/log_writer.h"
#include "detect/frmHostName.h"
#include "detect/lan_lookup.h"
#include "mainwindow/preferences.h"
#include "res/resource_ids.h"
#include "settings/registry.h"
#include "ui/error_report.h"
#include "ui/win_text.h"

namespace nb {
namespace {

using namespace frmMainIds;

constexpr int kClientWidth = 2295;  // twips
constexpr int kClientHeight = 1980;
constexpr int kLeft = 105;
constexpr int kWidth = 2085;
constexpr int kClipboardError = 521;

constexpr wchar_t kAutoRunTip[] = L"When ticked, Netbeacon finds both addresses as it starts";
constexpr wchar_t kAutoQuitTip[] = L"When ticked, Netbeacon quits after an address was saved, copied or mailed";

HICON ProgramIcon() {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_NETBEACON), IMAGE_ICON, 0, 0,
                                       LR_DEFAULTSIZE | LR_SHARED));
}

std::wstring ProgramArgumentText() { return ArgumentText(GetCommandLineW()); }

// Puts one text on the clipboard as Unicode and as ANSI text.
void PutOnClipboard(HWND owner, const std::wstring& text) {
  bool open = false;
  for (int attempt = 0; attempt < 20 && !(open = OpenClipboard(owner) != FALSE); ++attempt) Sleep(25);
  if (!open) throw AppError(kClipboardError, L"Can't open Clipboard");
  EmptyClipboard();
  const auto put = [](UINT format, const void* data, size_t bytes) {
    unique_hglobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return;
    void* target = GlobalLock(memory.get());
    if (!target) return;
    memcpy(target, data, bytes);
    GlobalUnlock(memory.get());
    if (SetClipboardData(format, memory.get())) memory.release();  // the clipboard owns it now
  };
  put(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  const std::string ansi = ToAnsi(text);
  put(CF_TEXT, ansi.c_str(), ansi.size() + 1);
  CloseClipboard();
}

}  // namespace

FrmMain::FrmMain() : lanLookup([] { return GetLocalIP(); }) {
  saveDialog_.title = L"Save the address as a text file";
  saveDialog_.fileName = L"Netbeacon.txt";
  saveDialog_.defaultExt = L".txt";
  saveDialog_.filter = L"*.txt";
  saveDialog_.overwritePrompt = true;
}

FrmMain::~FrmMain() = default;

void FrmMain::Load() { Load(ProgramArgumentText()); }

void FrmMain::Load(std::wstring argumentText) {
  argumentText_ = std::move(argumentText);
  CreateArgs args{kClassName, L" Netbeacon"};
  args.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  args.clientWidthTwips = kClientWidth;
  args.clientHeightTwips = kClientHeight;
  args.icon = ProgramIcon();
  CreateFrame(args);
  CreateMenus();
  CreateControls();
  CreateToolTips();
  SizeClient(kClientWidth, kClientHeight);
  Layout();
  SetAccelerators(hwnd(), accelerators_.get());
  Form_Load();
}

void FrmMain::Show() {
  if (!IsOpen()) return;
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
  if (GetFocus() != cmdPREFS.hwnd) cmdFindMyIP.Focus();
}

// ---------------------------------------------------------------------------------------------
// Controls and layout

void FrmMain::CreateControls() {
  const auto make = [this](Control& control, const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
    control.id = id;
    control.hwnd = CreateChild(hwnd(), cls, text, style, id);
  };
  CreateColourLabel(lblLANip, hwnd(), kPlaceholder, frmMainIds::lblLANip);
  CreateColourLabel(lblWANip, hwnd(), kPlaceholder, frmMainIds::lblWANip);
  make(cmdFindMyIP, L"BUTTON", L"F&ind my IP", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, frmMainIds::cmdFindMyIP);
  // Three-state boxes, so that a stored greyed state (2) shows; a click toggles on and off.
  make(chkAutoRun, L"BUTTON", L"Autorun", WS_VISIBLE | WS_TABSTOP | BS_3STATE, frmMainIds::chkAutoRun);
  make(chkAutoQuit, L"BUTTON", L"Autoquit", WS_VISIBLE | WS_TABSTOP | BS_3STATE, frmMainIds::chkAutoQuit);
  // Lies below the client area: it only takes the keyboard focus after a run or a copy.
  make(cmdPREFS, L"BUTTON", L"Prefs_keep here", WS_VISIBLE | WS_TABSTOP, frmMainIds::cmdPREFS);
  make(lblHDDNPublicIP, L"STATIC", L"lblHDDNPublicIP", SS_NOPREFIX, frmMainIds::lblHDDNPublicIP);
  make(lblHDDNLANmail, L"STATIC", L"lblHDDNLANmail", SS_NOPREFIX, frmMainIds::lblHDDNLANmail);
  ApplyColours(kGreen, kBlack);
}

void FrmMain::CreateMenus() {
  HMENU project = CreatePopupMenu();
  AppendMenuW(project, MF_STRING, menuAbout, L"&About\tCtrl+A");
  AppendMenuW(project, MF_STRING, menuExit, L"E&xit\tCtrl+Q");
  HMENU options = CreatePopupMenu();
  AppendMenuW(options, MF_STRING, menuHistory, L"&History\tCtrl+H");
  AppendMenuW(options, MF_STRING, menuClearlog, L"&Clear log\tCtrl+X");
  AppendMenuW(options, MF_STRING, menuColorsBlackOnWhite, L"&Black on white / green on black");
  AppendMenuW(options, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(options, MF_STRING, menuShowALLIPs, L"All &IP addresses\tCtrl+I");
  AppendMenuW(options, MF_STRING | MF_GRAYED, menuIPconfig, L"IP &configuration\tCtrl+M");
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(project), L"&Project");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(options), L"&Options");
  SetMenu(hwnd(), bar);  // destroyed with the window

  // The two address menus open only through a right click on their label.
  lanPopup_.reset(CreatePopupMenu());
  AppendMenuW(lanPopup_.get(), MF_STRING, menuSaveLANas, L"&Save as text file...");
  AppendMenuW(lanPopup_.get(), MF_STRING, menuCopyLANtoClipboard, L"&Copy to clipboard");
  AppendMenuW(lanPopup_.get(), MF_STRING | MF_GRAYED, menuSendLANemail, L"Send by &e-mail...");
  wanPopup_.reset(CreatePopupMenu());
  AppendMenuW(wanPopup_.get(), MF_STRING, menuSaveWANas, L"&Save as text file...");
  AppendMenuW(wanPopup_.get(), MF_STRING, menuCopyWANtoClipboard, L"&Copy to clipboard");
  AppendMenuW(wanPopup_.get(), MF_STRING | MF_GRAYED, menuSendWANemail, L"Send by &e-mail...");

  ACCEL keys[] = {
      {FVIRTKEY | FCONTROL, 'A', menuAbout},   {FVIRTKEY | FCONTROL, 'Q', menuExit},
      {FVIRTKEY | FCONTROL, 'H', menuHistory}, {FVIRTKEY | FCONTROL, 'X', menuClearlog},
      {FVIRTKEY | FCONTROL, 'I', menuShowALLIPs}, {FVIRTKEY | FCONTROL, 'M', menuIPconfig},
  };
  accelerators_.reset(CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
}

void FrmMain::CreateToolTips() {
  // The tool tip class lives in the common controls library; without it there are no tips.
  LoadLibraryW(L"comctl32.dll");
  toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                              0, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!toolTips_) return;
  for (const Control* control : {static_cast<const Control*>(&lblLANip), static_cast<const Control*>(&lblWANip),
                                 static_cast<const Control*>(&chkAutoRun), static_cast<const Control*>(&chkAutoQuit)}) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(control->hwnd);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  SendMessageW(toolTips_, TTM_SETMAXTIPWIDTH, 0, 400);
  SetToolTip(chkAutoRun, kAutoRunTip);
  SetToolTip(chkAutoQuit, kAutoQuitTip);
}

void FrmMain::SetToolTip(const Control& control, const wchar_t* text) {
  if (!toolTips_) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(control.hwnd);
  tool.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(toolTips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
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
  for (const Control* c : {static_cast<const Control*>(&cmdFindMyIP), static_cast<const Control*>(&chkAutoRun),
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

void FrmMain::EnableMenu(int commandId, bool on) const {
  EnableMenuItem(menuBar(), static_cast<UINT>(commandId), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

bool FrmMain::MenuEnabled(int commandId) const {
  const UINT state = GetMenuState(menuBar(), static_cast<UINT>(commandId), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

// ---------------------------------------------------------------------------------------------
// Load, close and resize

void FrmMain::Form_Load() {
  // Every step is skipped silently when it fails.
  SkipTrap([&] { CreateKey(kProgramKey); });
  SkipTrap([&] { MoveEdge(L"Top"); });
  SkipTrap([&] { MoveEdge(L"Left"); });
  SkipTrap([&] {
    if (StoredSchemeIsGreenOnBlack(ReadString(kProgramKey, L"ForeColor"))) {
      ApplyColours(kGreen, kBlack);
    } else {
      ApplyColours(kBlack, kWhite);
    }
  });
  SkipTrap([&] {
    if (const auto state = StoredCheckState(ReadString(kProgramKey, L"Autoquit"))) chkAutoQuit.SetValue(*state);
  });
  SkipTrap([&] {
    if (const auto state = StoredCheckState(ReadString(kProgramKey, L"Autorun"))) chkAutoRun.SetValue(*state);
  });
  SkipTrap([&] { EnableMenu(menuShowALLIPs, false); });
  SkipTrap([&] {
    if (chkAutoRun.Value() == BST_CHECKED) cmdFindMyIP_Click();
  });
  SkipTrap([&] {
    userCommand = argumentText_;
    if (userCommand == kSwitchCopyPublic) {
      userCommandIssued = true;
      cmdFindMyIP_Click();
      menuCopyWANtoClipboard_Click();
    }
  });
  SkipTrap([&] {
    userCommand = argumentText_;
    if (userCommand == kSwitchCopyLan) {
      userCommandIssued = true;
      cmdFindMyIP_Click();
      menuCopyLANtoClipboard_Click();
    }
  });
}

// Moves the window's top or left edge to the stored place in twips. A number too large for a
// screen position is an overflow; a place on no monitor (one that was removed since) is not
// taken, so that the window never opens out of sight.
void FrmMain::MoveEdge(const wchar_t* valueName) {
  const auto twips = StoredNumber(ReadString(kProgramKey, valueName));
  if (!twips) return;
  if (!(std::fabs(*twips) < 1e8)) throw AppError(errnum::kOverflow, L"Overflow");
  RECT rect{};
  GetWindowRect(hwnd(), &rect);
  const int pixels = TwipsToPixels(static_cast<int>(*twips), Dpi());
  const bool top = valueName == std::wstring_view(L"Top");
  OffsetRect(&rect, top ? 0 : pixels - rect.left, top ? pixels - rect.top : 0);
  if (!MonitorFromRect(&rect, MONITOR_DEFAULTTONULL)) return;
  SetWindowPos(hwnd(), nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmMain::Form_QueryUnload() {
  SkipTrap([&] {
    if (IsIconic(hwnd())) return;
    RECT rect{};
    GetWindowRect(hwnd(), &rect);
    WriteString(kProgramKey, L"Top", SingleText(PixelsToTwips(rect.top, Dpi())));
    WriteString(kProgramKey, L"Left", SingleText(PixelsToTwips(rect.left, Dpi())));
  });
  SkipTrap([&] { WriteString(kProgramKey, L"Autoquit", std::to_wstring(chkAutoQuit.Value())); });
  SkipTrap([&] { WriteString(kProgramKey, L"Autorun", std::to_wstring(chkAutoRun.Value())); });
  // Every other window of the program closes, the most recently opened first; one that
  // refuses stops the sweep.
  SkipTrap([&] {
    size_t n = OpenWindows().size();
    while (n > 0) {
      Window* window = OpenWindows()[n - 1];
      if (window != this) {
        window->Close();
        if (OpenWindows().size() == n) break;
      }
      --n;
    }
  });
}

void FrmMain::Form_Resize() {
  SkipTrap([&] {
    if (IsIconic(hwnd())) {
      SetWindowTextOf(hwnd(), L" " + GetLocalIP());
    } else {
      SetWindowTextOf(hwnd(), kProgramName);
    }
  });
}

// ---------------------------------------------------------------------------------------------
// The detection run

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
    DoEvents();
    RunPublicAddressChain(LoadServiceSettings(), *this);
    working_.Hide();
  });
  // After an error report the progress window goes too.
  if (!done) working_.Hide();
}

void FrmMain::updateLOG() { nb::updateLOG(lblLANip.Text(), lblWANip.Text()); }

void FrmMain::cmdFindMyIP_Click() {
  // A click handled while a run waits does not start a second run inside the first.
  if (runActive_) return;
  runActive_ = true;
  ReportTrap(L"frmMain cmdFindMyIP_Click", [&] {
    showIPs();
    if (lblLANip.Text() == kPlaceholder || lblWANip.Text() == kPlaceholder) return;
    updateLOG();
    EnableMenu(menuShowALLIPs, true);
    SkipTrap([&] { cmdPREFS.Focus(); });
  });
  runActive_ = false;
  // A close asked for while the run waited happens now.
  if (closePending_) {
    closePending_ = false;
    Close();
  }
}

// ---------------------------------------------------------------------------------------------
// The address labels

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
  if (lblLANip.Text() != kPlaceholder) SetToolTip(lblLANip, kLanTip);
}

void FrmMain::lblWANip_MouseMove() {
  const std::wstring text = lblWANip.Text();
  if (text == kPlaceholder) return;
  SetToolTip(lblWANip, text == kAccessError ? kWanFailedTip : kWanTip);
}

void FrmMain::CopyToClipboard(const Control& label) {
  PutOnClipboard(hwnd(), label.Text());
  if (chkAutoQuit.Value() != BST_CHECKED) {
    SkipTrap([&] { cmdPREFS.Focus(); });
  } else if (!userCommandIssued) {
    Close();
  }
}

void FrmMain::menuCopyLANtoClipboard_Click() { CopyToClipboard(lblLANip); }
void FrmMain::menuCopyWANtoClipboard_Click() { CopyToClipboard(lblWANip); }

void FrmMain::SaveToFile(const Control& label) {
  // A cancel, or any failure to write the file, ends the save silently.
  bool saved = false;
  SkipTrap([&] {
    saveDialog_.owner = hwnd();
    const auto chosen = Modal().SaveFileName(saveDialog_);
    if (!chosen) return;
    saveDialog_.fileName = *chosen;
    const std::string line = ToAnsi(label.Text()) + "\r\n";
    unique_file file(CreateFileW(chosen->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    saved = WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
            written == line.size();
  });
  if (saved && chkAutoQuit.Value() == BST_CHECKED) Close();
}

void FrmMain::menuSaveLANas_Click() { SaveToFile(lblLANip); }
void FrmMain::menuSaveWANas_Click() { SaveToFile(lblWANip); }

// ---------------------------------------------------------------------------------------------
// The menu bar

void FrmMain::menuColorsBlackOnWhite_Click() {
  const bool done = ReportTrap(L"menuColorsBlackOnWhite_Click", [&] {
    if (lblLANip.TextColour() == kBlack) {
      ApplyColours(kGreen, kBlack);
    } else {
      ApplyColours(kBlack, kWhite);
    }
  });
  if (done) SkipTrap([&] { WriteString(kProgramKey, L"ForeColor", std::to_wstring(lblLANip.TextColour())); });
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

// The local address table arrives later; until then the entry does nothing.
void FrmMain::menuShowALLIPs_Click() {}

void FrmMain::ToggleCheck(const CheckBox& box) { box.SetValue(box.Value() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED); }

void FrmMain::OnCommand(int id, int code) {
  switch (id) {
    case frmMainIds::cmdFindMyIP:
      if (code == BN_CLICKED) cmdFindMyIP_Click();
      break;
    case frmMainIds::chkAutoRun:
      if (code == BN_CLICKED) ToggleCheck(chkAutoRun);
      break;
    case frmMainIds::chkAutoQuit:
      if (code == BN_CLICKED) ToggleCheck(chkAutoQuit);
      break;
    case frmMainIds::lblLANip:
      if (code == kLabelDblClick) lblLANip_DblClick();
      break;
    case frmMainIds::lblWANip:
      if (code == kLabelDblClick) lblWANip_DblClick();
      break;
    case menuCopyLANtoClipboard: menuCopyLANtoClipboard_Click(); break;
    case menuCopyWANtoClipboard: menuCopyWANtoClipboard_Click(); break;
    case menuSaveLANas: menuSaveLANas_Click(); break;
    case menuSaveWANas: menuSaveWANas_Click(); break;
    case menuColorsBlackOnWhite: menuColorsBlackOnWhite_Click(); break;
    case menuAbout: menuAbout_Click(); break;
    case menuExit: menuExit_Click(); break;
    case menuHistory: menuHistory_Click(); break;
    case menuClearlog: menuClearlog_Click(); break;
    case menuShowALLIPs: menuShowALLIPs_Click(); break;
    default: break;
  }
}

void FrmMain::OnDestroy() {
  SetAccelerators(nullptr, nullptr);
  toolTips_ = nullptr;  // destroyed with its owner
}

bool FrmMain::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      result = 0;
      return true;
    case DM_GETDEFID:
      result = MAKELRESULT(frmMainIds::cmdFindMyIP, DC_HASDEFID);
      return true;
    case kLabelMouseDown: {
      const int x = static_cast<short>(LOWORD(lParam));
      const int y = static_cast<short>(HIWORD(lParam));
      if (LOWORD(wParam) == frmMainIds::lblLANip) lblLANip_MouseDown(HIWORD(wParam), x, y);
      if (LOWORD(wParam) == frmMainIds::lblWANip) lblWANip_MouseDown(HIWORD(wParam), x, y);
      result = 0;
      return true;
    }
    case kLabelMouseMove:
      if (LOWORD(wParam) == frmMainIds::lblLANip) lblLANip_MouseMove();
      if (LOWORD(wParam) == frmMainIds::lblWANip) lblWANip_MouseMove();
      result = 0;
      return true;
    case WM_SIZE:
      Form_Resize();
      return false;
    case WM_CLOSE:
      // The close request never refuses; one that arrives while a run waits is carried out
      // when the run ends.
      if (runActive_) {
        closePending_ = true;
      } else {
        Form_QueryUnload();
        DestroyWindow(hwnd());
      }
      result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace nb
