#include "about/frmAbout_win.h"

#include <shellapi.h>

#include <vector>

#include "base/app_error.h"
#include "base/dynamic_library_win.h"
#include "base/skip_trap_win.h"
#include "base/text_win.h"
#include "res/resource_ids.h"

namespace nb {
namespace {

constexpr int kClientWidth = 3300;  // twips
constexpr int kClientHeight = 4395;

constexpr FontStyle kTitleFont{13.5, false};
constexpr FontStyle kVersionFont{9.75, true};

HCURSOR LoadHandCursor() {
  // Shared: loaded once per process and never destroyed.
  auto* hand = static_cast<HCURSOR>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_POINTING_HAND),
                                               IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  return hand ? hand : LoadCursorW(nullptr, IDC_HAND);
}

}  // namespace

INT_PTR ShellOpen(const ShellOpenRequest& request) {
  // The shell library is loaded when the link is first followed, not as the program starts.
  using ShellExecuteFn = decltype(&ShellExecuteW);
  static const DynamicLibrary shell32(L"shell32.dll");
  static const auto shellExecute = shell32.Get<ShellExecuteFn>("ShellExecuteW");
  return reinterpret_cast<INT_PTR>(shellExecute(request.owner, nullptr, request.file.c_str(), nullptr,
                                                request.directory.empty() ? nullptr : request.directory.c_str(),
                                                request.show));
}

std::optional<FileVersionWords> ReadFileVersion(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::nullopt;
  void* block = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", &block, &length) || !block || length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
  if (info->dwSignature != 0xFEEF04BD) return std::nullopt;
  return FileVersionWords{info->dwFileVersionMS, info->dwFileVersionLS};
}

std::optional<FileVersionWords> ProgramFileVersion() { return ReadFileVersion(ExecutablePath()); }

FrmAbout::FrmAbout(HWND mainWindow, ShellOpener shellOpen, VersionSource versionSource)
    : mainWindow_(mainWindow), shellOpen_(std::move(shellOpen)), versionSource_(std::move(versionSource)) {}

void FrmAbout::Load(HWND owner) {
  // A fixed-size tool window: no sizing border, no minimise or maximise box.
  CreateFrame({kClassName, L"About Netbeacon", WS_POPUP | WS_CAPTION | WS_SYSMENU,
               WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, owner, nullptr, kClientWidth, kClientHeight});
  constexpr DWORD kLabel = WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;
  CreateControls({
      {&lblprogtitle, L"STATIC", L"", kLabel, idLblProgTitle, {360, 345, 3675, 330}, kTitleFont},
      {&lblversion, L"STATIC", L"", kLabel, idLblVersion, {360, 675, 3675, 195}, kVersionFont},
      {&Line1, L"STATIC", L"", WS_VISIBLE | SS_ETCHEDHORZ, idLine1, {120, 1545, 3060, 30}},
      {&lbltext1, L"STATIC", L"Netbeacon is free software:", kLabel, idLblText1, {360, 1695, 2820, 195}},
      {&lbltext2, L"STATIC", L"use it and pass it on freely.", kLabel, idLblText2, {360, 1890, 2820, 195}},
      {&Line2, L"STATIC", L"", WS_VISIBLE | SS_ETCHEDHORZ, idLine2, {120, 2415, 3060, 30}},
      {&lbltext4, L"STATIC", L"For updates and more free software", kLabel, idLblText4, {360, 2700, 2820, 195}},
      {&lbltext5, L"STATIC", L"visit the Ambertop home page:", kLabel, idLblText5, {360, 2895, 2820, 195}},
      // SS_NOTIFY: the label takes the mouse and reports clicks.
      {&lblURL, L"STATIC", LinkCaption(kHomePageUrl), kLabel | SS_NOTIFY, idLblURL, {360, 3105, 1740, 195}},
      {&cmdOK, L"BUTTON", L"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, idCmdOK, {360, 3600, 1590, 390}},
      {&imghand, L"STATIC", L"", SS_ICON, idImgHand, {1605, 4380, 480, 480}},
  });
  SetDefaultButtonId(idCmdOK);
  hand_ = LoadHandCursor();
  SendMessageW(imghand.hwnd, STM_SETIMAGE, IMAGE_CURSOR, reinterpret_cast<LPARAM>(hand_));
  CentreOver(owner ? owner : mainWindow_);
  Form_Load();
}

void FrmAbout::Form_Load() {
  lblprogtitle.SetText(kProgramName);
  std::optional<FileVersionWords> version;
  SkipTrap(L"frmabout Form_Load", [&] {
    if (versionSource_) version = versionSource_();
  });
  lblversion.SetText(VersionLine(version));
}

void FrmAbout::lblURL_MouseMove() { SetCursor(hand_); }

void FrmAbout::lblURL_Click() {
  if (mainWindow_ && IsWindow(mainWindow_)) ShowWindow(mainWindow_, SW_MINIMIZE);
  // The shell's answer is not examined: whatever it makes of the address, the window closes.
  SkipTrap(L"frmabout lblURL_Click", [&] {
    if (shellOpen_) shellOpen_(ShellOpenRequest{hwnd(), kHomePageUrl, L"c:\\", SW_SHOWNORMAL});
  });
  EndModal();
}

void FrmAbout::cmdOK_Click() { EndModal(); }

void FrmAbout::OnCommand(int id, int code) {
  if ((id == idCmdOK || id == IDCANCEL) && code == BN_CLICKED) cmdOK_Click();
  if (id == idLblURL && code == STN_CLICKED) lblURL_Click();
}

bool FrmAbout::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) != lblURL.hwnd || LOWORD(lParam) != HTCLIENT) return false;
      lblURL_MouseMove();
      result = TRUE;
      return true;
    case WM_CTLCOLORSTATIC: {
      if (reinterpret_cast<HWND>(lParam) != lblURL.hwnd) return false;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, kLinkColour);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      return true;
    }
    default:
      return ModalWindow::OnMessage(msg, wParam, lParam, result);
  }
}

}  // namespace nb
