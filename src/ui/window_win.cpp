#include "ui/window_win.h"

#include <algorithm>

#include "base/app_error.h"
#include "base/dynamic_library_win.h"
#include "base/skip_trap_win.h"
#include "base/system_error_win.h"
#include "ui/error_report_win.h"
#include "ui/monitors_win.h"
#include "ui/task_win.h"
#include "ui/window_class_win.h"

namespace nb {
namespace {

// The label of what reaches the window procedure untrapped.
constexpr wchar_t kWindowProcedureLabel[] = L"Netbeacon window procedure";

std::vector<Window*>& OpenList() {
  static std::vector<Window*> list;
  return list;
}

std::function<void()>& LastClosedHandler() {
  static std::function<void()> handler;
  return handler;
}

}  // namespace

int WindowDpi(HWND hwnd) {
  // Per-monitor DPI functions exist from Windows 10 on.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = LoadedEntryPoint<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  if (getDpiForWindow && hwnd) {
    const UINT dpi = getDpiForWindow(hwnd);
    if (dpi) return static_cast<int>(dpi);
  }
  HDC dc = GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

Window::~Window() {
  if (hwnd_) DestroyWindow(hwnd_);
}

const std::vector<Window*>& Window::OpenWindows() { return OpenList(); }

void Window::SetLastWindowClosedHandler(std::function<void()> handler) { LastClosedHandler() = std::move(handler); }

void Window::Close() {
  if (hwnd_) SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void Window::Unload() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Window::CreateFrame(const CreateArgs& args) {
  RegisterClassOnce({args.className, &Window::Thunk, CS_DBLCLKS, 0, args.icon});
  style_ = args.style;
  clientWidthTwips_ = args.clientWidthTwips;
  clientHeightTwips_ = args.clientHeightTwips;
  HWND hwnd = CreateWindowExW(args.exStyle, args.className, args.caption.c_str(), args.style, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, args.owner, args.menu,
                              GetModuleHandleW(nullptr), this);
  if (!hwnd) {
    if (args.menu) DestroyMenu(args.menu);
    throw AppError(errnum::kComponentMissing,
                   L"Window " + std::wstring(args.className) + L" cannot be created: " + SystemErrorText(GetLastError()));
  }
  SizeClient(clientWidthTwips_, clientHeightTwips_);
}

void Window::CreateControls(std::initializer_list<ControlPlacement> table) {
  for (const ControlPlacement& row : table) {
    row.control->id = row.id;
    row.control->hwnd = CreateChild(hwnd_, row.className, row.caption, row.style, row.id, row.exStyle);
    placed_.push_back({row.control->hwnd, row.place, row.font});
  }
  LayOut();
}

void Window::Replace(const Control& control, TwipsRect place) {
  for (Placed& p : placed_) {
    if (p.hwnd != control.hwnd) continue;
    p.place = place;
    Move(p);
  }
}

// Edges, not sizes, are rounded to pixels, so that controls that meet in twips meet on the screen.
void Window::Move(const Placed& p) const {
  const int left = Px(p.place.left);
  const int top = Px(p.place.top);
  MoveWindow(p.hwnd, left, top, Px(p.place.left + p.place.width) - left, Px(p.place.top + p.place.height) - top, TRUE);
}

// Places every control of the table at the window's DPI and gives it its font made for that DPI;
// the fonts of the previous DPI go once no control uses them.
void Window::LayOut() {
  std::vector<std::pair<FontStyle, unique_hfont>> previous = std::move(fonts_);
  fonts_.clear();
  for (const Placed& p : placed_) {
    Move(p);
    SendMessageW(p.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font(p.font)), TRUE);
  }
}

HFONT Window::Font(const FontStyle& style) {
  for (const auto& [made, font] : fonts_) {
    if (made == style) return font.get();
  }
  fonts_.emplace_back(style, MakeFont(style, dpi_));
  return fonts_.back().second.get();
}

// The frame grows or shrinks by what the client area lacks or has too much; a second round
// catches a menu bar that wraps, or a frame whose parts changed size with the first.
void Window::SizeClient(int widthTwips, int heightTwips) const {
  if (!hwnd_ || widthTwips <= 0 || heightTwips <= 0) return;
  for (int round = 0; round < 3; ++round) {
    RECT frame{}, client{};
    GetWindowRect(hwnd_, &frame);
    GetClientRect(hwnd_, &client);
    const int dx = Px(widthTwips) - client.right;
    const int dy = Px(heightTwips) - client.bottom;
    if (dx == 0 && dy == 0) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Window::SetClientSize(int widthTwips, int heightTwips) {
  clientWidthTwips_ = widthTwips;
  clientHeightTwips_ = heightTwips;
  SizeClient(widthTwips, heightTwips);
}

void Window::CentreOver(HWND over) const {
  RECT own{}, target{};
  if (!hwnd_ || !GetWindowRect(hwnd_, &own)) return;
  const bool hasOver = over && GetWindowRect(over, &target);
  const PixelRect work = WorkAreaOf(hasOver ? over : nullptr);
  const PixelRect area = hasOver ? ToPixelRect(target) : work;
  // A move onto a monitor of another DPI resizes the window: then it is placed once more at its new size.
  for (int round = 0; round < 2; ++round) {
    const PixelRect place = CentredWithin(own.right - own.left, own.bottom - own.top, area, work);
    SetWindowPos(hwnd_, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT now{};
    GetWindowRect(hwnd_, &now);
    if (now.right - now.left == place.Width() && now.bottom - now.top == place.Height()) return;
    own = now;
  }
}

bool Window::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void Window::OnUnhandledError(const wchar_t* where) { ReportError(CurrentError(), where); }

LRESULT CALLBACK Window::Thunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    self->dpi_ = WindowDpi(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    OpenList().push_back(self);
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  return self->Dispatch(msg, wParam, lParam);
}

LRESULT Window::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  try {
    LRESULT result = 0;
    if (msg == WM_NCDESTROY) {
      Forget();
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_DPICHANGED) {
      DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    }
    if (msg == kTaskMessage) {
      DeliverTaskMessage(wParam);
      return 0;
    }
    if (msg == WM_DESTROY) OnDestroy();
    if (OnMessage(msg, wParam, lParam, result)) return result;
    if (HandleBaseMessage(msg, wParam, lParam, result)) return result;
  } catch (...) {
    try {
      OnUnhandledError(kWindowProcedureLabel);
    } catch (...) {
      // Not even the report could be made: the message is dropped, with a trace of why.
      TraceSkippedError(kWindowProcedureLabel);
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// What every window does with a message that its own handler left.
bool Window::HandleBaseMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      result = 0;
      return true;
    case DM_GETDEFID:
      if (!defaultButtonId_) return false;
      result = MAKELRESULT(defaultButtonId_, DC_HASDEFID);
      return true;
    case WM_NEXTDLGCTL: {
      // Sent by IsDialogMessage and its partners (Tab, the access key of a label, a multi-line text
      // box passing on Tab or Enter): the focus goes to the given control, or to the next or
      // previous tab stop.
      HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                 : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0 ? TRUE : FALSE);
      if (next) {
        SetFocus(next);
        // A text box reached by the keyboard has its text selected, so that typing replaces it.
        if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(next, EM_SETSEL, 0, -1);
      }
      result = 0;
      return true;
    }
    case WM_ACTIVATE:
      if (!InitialFocus()) return false;
      Activated(LOWORD(wParam) != WA_INACTIVE);
      result = 0;
      return true;
    default:
      return false;
  }
}

void Window::DpiChanged(int dpi, const RECT& suggested) {
  // A window the user sizes keeps the size in twips that the user gave it; the others keep their
  // design size. (The size the system suggests may not scale the frame as the client area.)
  int widthTwips = clientWidthTwips_;
  int heightTwips = clientHeightTwips_;
  if (style_ & WS_THICKFRAME) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    widthTwips = PixelsToTwips(client.right, dpi_);
    heightTwips = PixelsToTwips(client.bottom, dpi_);
  }
  dpi_ = dpi;
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  SizeClient(widthTwips, heightTwips);
  LayOut();
  OnDpiChanged();
}

// Like a dialog: the focus returns to where it was, at first to the window's initial focus.
void Window::Activated(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
    return;
  }
  SetFocus(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : InitialFocus());
}

// The window's handle is gone: it leaves the list of open windows, and the program ends with the
// last one.
void Window::Forget() {
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  lastFocus_ = nullptr;
  placed_.clear();
  fonts_.clear();
  auto& list = OpenList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  if (list.empty() && LastClosedHandler()) LastClosedHandler()();
}

}  // namespace nb
