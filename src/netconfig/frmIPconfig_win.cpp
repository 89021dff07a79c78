#include "netconfig/frmIPconfig_win.h"

#include "base/skip_trap_win.h"
#include "netconfig/capture_text.h"
#include "res/resource_ids.h"
#include "settings/colour_scheme_win.h"
#include "settings/registry_win.h"
#include "settings/stored_values.h"
#include "settings/window_placement_win.h"
#include "ui/error_report_win.h"
#include "ui/window_class_win.h"

namespace nb {
namespace {

constexpr int kClientWidth = 12495;  // twips, at the design size
constexpr int kClientHeight = 8160;

constexpr FontStyle kReportFont{8.25, false, L"Courier New", true};

constexpr wchar_t kLoadLabel[] = L"frmIPconfig Form_Load";
constexpr wchar_t kResizeLabel[] = L"frmIPconfig Form_Resize";
constexpr wchar_t kUnloadLabel[] = L"frmIPconfig Form_QueryUnload";

constexpr int kF3 = 114;

void ShowCaptureFailure(const AppError& error) {
  if (error.number == errnum::kFileNotFound) {
    ShowMessage(kOopsText, MB_OK, kOopsTitle);
  } else {
    ReportError(error, kRefreshErrorLabel);
  }
}

}  // namespace

FrmIPconfig::FrmIPconfig(CaptureWork capture)
    : work_(capture ? std::move(capture) : [](const StopSignal& stop) { return CaptureConfiguration({}, stop); }) {}

void FrmIPconfig::Load(HWND owner) {
  // An ordinary resizable window with its own icon, without minimise or maximise box.
  CreateFrame({kClassName, L"IP Config", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
               WS_EX_CONTROLPARENT, owner, nullptr, kClientWidth, kClientHeight, ResourceIcon(IDI_IPCONFIG)});
  places_ = {{135, 210, 12210, 7200}, {180, 7560, 2955, 300},  {3240, 7545, 1530, 360},
             {4860, 7545, 1530, 360}, {7905, 7545, 2190, 360}, {10200, 7545, 2190, 360}};
  constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
  constexpr DWORD kReportStyle = kTab | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL |
                                 ES_READONLY | ES_NOHIDESEL;
  // The table's order is the tab order.
  CreateControls({
      {&cmdOK, L"BUTTON", L"Close", kTab, idCmdOK, places_.cmdOK},
      {&cmdRefresh, L"BUTTON", L"&Refresh", kTab, idCmdRefresh, places_.cmdRefresh},
      {&txtIPconfig, L"EDIT", L"", kReportStyle, idTxtIPconfig, places_.txtIPconfig, kReportFont, WS_EX_CLIENTEDGE},
      {&cmdFind, L"BUTTON", L"&Find", kTab | BS_DEFPUSHBUTTON, idCmdFind, places_.cmdFind},
      {&txtFind, L"EDIT", L"", kTab | ES_AUTOHSCROLL, idTxtFind, places_.txtFind, {}, WS_EX_CLIENTEDGE},
      {&cmdFindNext, L"BUTTON", L"Find &next (F3)", kTab, idCmdFindNext, places_.cmdFindNext},
  });
  SetDefaultButtonId(idCmdFind);
  // A report of any length: the box's default limit is about 32 K characters.
  SendMessageW(txtIPconfig.hwnd, EM_SETLIMITTEXT, 0, 0);
  // The window sees the keys of all its controls first.
  const Control* const previewed[] = {&cmdOK, &cmdRefresh, &txtIPconfig, &cmdFind, &txtFind, &cmdFindNext};
  for (const Control* control : previewed) PreviewKeysOf(*control);
  reportColours_.Set(kGreen, kBlack);
  CentreOver(owner);
  Form_Resize();
  Form_Load();
}

// Every step is skipped when it fails.
void FrmIPconfig::Form_Load() {
  StoredPlace place;
  SkipTrap(kLoadLabel, [&] { place.topTwips = StoredTwips(ReadString(kProgramKey, kViewerTopValue)); });
  SkipTrap(kLoadLabel, [&] { place.leftTwips = StoredTwips(ReadString(kProgramKey, kViewerLeftValue)); });
  SkipTrap(kLoadLabel, [&] { MoveToStoredPlace(hwnd(), place, Dpi()); });
  RECT outer{};
  SkipTrap(kLoadLabel, [&] {
    const std::optional<int> width = StoredTwips(ReadString(kProgramKey, kViewerWidthValue));
    if (width && GetWindowRect(hwnd(), &outer)) SetOuterSize(Px(*width), outer.bottom - outer.top);
  });
  SkipTrap(kLoadLabel, [&] {
    const std::optional<int> height = StoredTwips(ReadString(kProgramKey, kViewerHeightValue));
    if (height && GetWindowRect(hwnd(), &outer)) SetOuterSize(outer.right - outer.left, Px(*height));
  });
  SkipTrap(kLoadLabel, [&] {
    const ColourScheme scheme = StoredColourScheme();
    reportColours_.Set(scheme.text, scheme.back);
    InvalidateRect(txtIPconfig.hwnd, nullptr, TRUE);
  });
  cmdRefresh_Click();
}

void FrmIPconfig::SetOuterSize(int widthPixels, int heightPixels) const {
  SetWindowPos(hwnd(), nullptr, 0, 0, widthPixels, heightPixels, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmIPconfig::Form_Resize() {
  SkipTrap(kResizeLabel, [&] {
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    const TwipsSize now{PixelsToTwips(outer.right - outer.left, Dpi()), PixelsToTwips(outer.bottom - outer.top, Dpi())};
    const TwipsSize held = SnapViewerOuterSize(now);
    const int width = held.width != now.width ? Px(held.width) : outer.right - outer.left;
    const int height = held.height != now.height ? Px(held.height) : outer.bottom - outer.top;
    if (width != outer.right - outer.left || height != outer.bottom - outer.top) SetOuterSize(width, height);
  });
  SkipTrap(kResizeLabel, [&] {
    RECT client{};
    GetClientRect(hwnd(), &client);
    places_ = LayOutViewer(places_, PixelsToTwips(client.right, Dpi()), PixelsToTwips(client.bottom, Dpi()));
    Replace(txtIPconfig, places_.txtIPconfig);
    Replace(txtFind, places_.txtFind);
    Replace(cmdFind, places_.cmdFind);
    Replace(cmdFindNext, places_.cmdFindNext);
    Replace(cmdRefresh, places_.cmdRefresh);
    Replace(cmdOK, places_.cmdOK);
  });
}

void FrmIPconfig::Form_QueryUnload() {
  RECT outer{};
  if (!GetWindowRect(hwnd(), &outer) || IsIconic(hwnd())) return;
  SkipTrap(kUnloadLabel, [&] {
    WriteString(kProgramKey, kViewerTopValue, SingleText(EdgeInTwips(hwnd(), WindowEdge::Top, Dpi())));
  });
  SkipTrap(kUnloadLabel, [&] {
    WriteString(kProgramKey, kViewerLeftValue, SingleText(EdgeInTwips(hwnd(), WindowEdge::Left, Dpi())));
  });
  SkipTrap(kUnloadLabel, [&] {
    WriteString(kProgramKey, kViewerWidthValue, SingleText(PixelsToTwips(outer.right - outer.left, Dpi())));
  });
  SkipTrap(kUnloadLabel, [&] {
    WriteString(kProgramKey, kViewerHeightValue, SingleText(PixelsToTwips(outer.bottom - outer.top, Dpi())));
  });
}

void FrmIPconfig::Form_KeyDown(int keyCode) {
  if (keyCode == kF3) cmdFindNext_Click();
}

void FrmIPconfig::cmdFind_Click() { FindText(1); }

void FrmIPconfig::cmdFindNext_Click() { FindText(ViewerSearch().LastMatch() + 1); }

void FrmIPconfig::cmdRefresh_Click() {
  if (capture_.Running()) return;
  const bool started = ReportTrap(kRefreshErrorLabel, [&] {
    SetBusyPointer(true);
    txtIPconfig.SetText(L"");
    capture_.Start(
        hwnd(), [work = work_](TaskContext<std::monostate>& task) { return work(task.Stop()); },
        [this](const CaptureResult& result) { CaptureEnded(result); });
  });
  if (!started) SetBusyPointer(false);
}

void FrmIPconfig::CaptureEnded(const CaptureResult& result) {
  if (result.unknownVersion) txtIPconfig.SetText(kUnknownVersionNotice);
  if (result.report) txtIPconfig.SetText(*result.report);
  if (result.error) SkipTrap(kRefreshErrorLabel, [&] { ShowCaptureFailure(*result.error); });
  SetBusyPointer(false);
  // The focus goes to Close, unless the user went on to type a search meanwhile.
  if (!result.error && GetFocus() != txtFind.hwnd) SkipTrap(kRefreshErrorLabel, [&] { cmdOK.Focus(); });
}

void FrmIPconfig::cmdOK_Click() {
  if (MayClose()) EndModal();
}

bool FrmIPconfig::MayClose() {
  if (!capture_.Running()) return true;
  if (ShowMessage(kStopCaptureQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
  // The worker ends the command tree and removes the scratch files; its result is dropped.
  capture_.Stop();
  return true;
}

void FrmIPconfig::FindText(std::size_t start) {
  const SearchOutcome outcome = ViewerSearch().Search(txtIPconfig.Text(), txtFind.Text(), start);
  if (outcome.found) {
    // Full-size positions: a match anywhere in a report of any length is selected.
    SendMessageW(txtIPconfig.hwnd, EM_SETSEL, outcome.selectionStart, outcome.selectionStart + outcome.selectionLength);
    SendMessageW(txtIPconfig.hwnd, EM_SCROLLCARET, 0, 0);
  } else {
    ShowMessage(NotFoundText(outcome.searchText), MB_OK);
  }
  txtIPconfig.Focus();
}

void FrmIPconfig::SetBusyPointer(bool busy) {
  busy_ = busy;
  if (busy) {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return;
  }
  // The pointer takes the shape of what lies under it again.
  POINT at{};
  if (!GetCursorPos(&at)) return;
  HWND under = WindowFromPoint(at);
  if (under && (under == hwnd() || IsChild(hwnd(), under))) {
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  }
}

void FrmIPconfig::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case idCmdFind: cmdFind_Click(); break;
    case idCmdFindNext: cmdFindNext_Click(); break;
    case idCmdRefresh: cmdRefresh_Click(); break;
    case idCmdOK:
    case IDCANCEL: cmdOK_Click(); break;
    default: break;
  }
}

// However the window goes, a capture still running is dropped with it.
void FrmIPconfig::OnDestroy() {
  capture_.Stop();
  Form_QueryUnload();
}

bool FrmIPconfig::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case kKeyPreview:
      Form_KeyDown(static_cast<int>(wParam));
      result = 0;
      return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      Form_KeyDown(static_cast<int>(wParam));
      return false;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) Form_Resize();
      return false;
    case WM_CLOSE:
      cmdOK_Click();
      result = 0;
      return true;
    case WM_GETMINMAXINFO: {
      // Dragging stops at the smallest size instead of snapping back to it.
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      const TwipsSize smallest = ViewerMinimumOuterSize();
      limits->ptMinTrackSize = {Px(smallest.width), Px(smallest.height)};
      result = 0;
      return true;
    }
    case WM_SETCURSOR:
      if (!busy_) return false;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      result = TRUE;
      return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      // The report box is read-only, so Windows asks for its colours as for a label.
      if (reinterpret_cast<HWND>(lParam) != txtIPconfig.hwnd) return false;
      result = reportColours_.Paint(reinterpret_cast<HDC>(wParam));
      return true;
    default:
      return ModalWindow::OnMessage(msg, wParam, lParam, result);
  }
}

}  // namespace nb
