#include "about/frmabout.h"

#include <shellapi.h>

#include <vector>

#include "res/resource_ids.h"
#include "ui/app_error.h"
#include "ui/error_report.h"
#include "ui/win_text.h"

namespace nb {
namespace {

constexpr int kClientWidth = 3300;  // twips
constexpr int kClientHeight = 4395;


HCURSOR LoadHandCursor() {
  // Shared: loaded once per process and never destroyed.
  auto* hand = static_cast<HCURSOR>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_POINTING_HAND),
                                               IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  return hand ? hand : LoadCursorW(nullptr, IDC_HAND);
}

}  // namespace

INT_PTR ShellOpen(const ShellOpenRequest& request) {
  return reinterpret_cast<INT_PTR>(ShellExecuteW(request.owner, nullptr, request.file.c_str(), nullptr,
                request.directory.empty() ? nullptr : request.directory.c_str(), request.show));
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
  CreateArgs args{kClassName, L"About Netbeacon"};
  // A fixed-size tool window: no sizing border, no minimise or maximise box.
  args.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  args.exStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
  args.owner = owner;
  args.clientWidthTwips = kClientWidth;
  args.clientHeightTwips = kClientHeight;
  CreateFrame(args);

  const auto make = [this](Control& control, const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
    control.id = id;
    control.hwnd = CreateChild(hwnd(), cls, text, style, id);
  };
  constexpr DWORD kLabel = WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;
  make(lblprogtitle, L"STATIC", L"", kLabel, idLblProgTitle);
  make(lblversion, L"STATIC", L"", kLabel, idLblVersion);
  make(Line1, L"STATIC", L"", WS_VISIBLE | SS_ETCHEDHORZ, idLine1);
  make(lbltext1, L"STATIC", L"Netbeacon is free software:", kLabel, idLblText1);
  make(lbltext2, L"STATIC", L"use it and pass it on freely.", kLabel, idLblText2);
  make(Line2, L"STATIC", L"", WS_VISIBLE | SS_ETCHEDHORZ, idLine2);
  make(lbltext4, L"STATIC", L"For updates and more free software", kLabel, idLblText4);
  make(lbltext5, L"STATIC", L"visit the Ambertop home page:", kLabel, idLblText5);
  // SS_NOTIFY: the label takes the mouse and reports clicks.
  make(lblURL, L"STATIC", LinkCaption(kHomePageUrl).c_str(), kLabel | SS_NOTIFY, idLblURL);
  make(cmdOK, L"BUTTON", L"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, idCmdOK);
  make(imghand, L"STATIC", L"", SS_ICON, idImgHand);
  hand_ = LoadHandCursor();
  SendMessageW(imghand.hwnd, STM_SETIMAGE, IMAGE_CURSOR, reinterpret_cast<LPARAM>(hand_));

  Layout();
  CentreOver(owner ? owner : mainWindow_);
  Form_Load();
}

void FrmAbout::Layout() {
  titleFont_ = MakeFont(L"MS Sans Serif", 13.5, false, Dpi());
  versionFont_ = MakeFont(L"MS Sans Serif", 9.75, true, Dpi());
  textFont_ = MakeFont(L"MS Sans Serif", 8.25, false, Dpi());
  const Placement placements[] = {
      {lblprogtitle.hwnd, {360, 345, 3675, 330}},
      {lblversion.hwnd, {360, 675, 3675, 195}},
      {Line1.hwnd, {120, 1545, 3060, 30}},
      {lbltext1.hwnd, {360, 1695, 2820, 195}},
      {lbltext2.hwnd, {360, 1890, 2820, 195}},
      {Line2.hwnd, {120, 2415, 3060, 30}},
      {lbltext4.hwnd, {360, 2700, 2820, 195}},
      {lbltext5.hwnd, {360, 2895, 2820, 195}},
      {lblURL.hwnd, {360, 3105, 1740, 195}},
      {cmdOK.hwnd, {360, 3600, 1590, 390}},
      {imghand.hwnd, {1605, 4380, 480, 480}},
  };
  Place(placements);
  lblprogtitle.SetFont(titleFont_.get());
  lblversion.SetFont(versionFont_.get());
  const Control* const texts[] = {&lbltext1, &lbltext2, &lbltext4, &lbltext5, &lblURL, &cmdOK};
  for (const Control* c : texts) {
    c->SetFont(textFont_.get());
  }
}

void FrmAbout::OnDpiChanged() {
  SizeClient(kClientWidth, kClientHeight);
  Layout();
}

void FrmAbout::Form_Load() {
  lblprogtitle.SetText(kProgramName);
  std::optional<FileVersionWords> version;
  SkipTrap([&] {
    if (versionSource_) version = versionSource_();
  });
  lblversion.SetText(VersionLine(version));
}

void FrmAbout::lblURL_MouseMove() { SetCursor(hand_); }

void FrmAbout::lblURL_Click() {
  if (mainWindow_ && IsWindow(mainWindow_)) ShowWindow(mainWindow_, SW_MINIMIZE);
  // The shell's answer is not examined: whatever it makes of the address, the window closes.
  SkipTrap([&] {
    if (shellOpen_) shellOpen_(ShellOpenRequest{hwnd(), kHomePageUrl, L"c:\\", SW_SHOWNORMAL});
  });
  EndModal();
}

void FrmAbout::cmdOK_Click() { EndModal(); }

bool FrmAbout::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if ((id == idCmdOK || id == IDCANCEL) && code == BN_CLICKED) cmdOK_Click();
      if (id == idLblURL && code == STN_CLICKED) lblURL_Click();
      result = 0;
      return true;
    }
    case DM_GETDEFID:
      result = MAKELRESULT(idCmdOK, DC_HASDEFID);
      return true;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == lblURL.hwnd && LOWORD(lParam) == HTCLIENT) {
        lblURL_MouseMove();
        result = TRUE;
        return true;
      }
      return false;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == lblURL.hwnd) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, kLinkColour);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
      }
      return false;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        SetFocus(cmdOK.hwnd);
        result = 0;
        return true;
      }
      return false;
    default:
      return ModalWindow::OnMessage(msg, wParam, lParam, result);
  }
}

}  // namespace nb
