#include "ui/window.h"

#include <algorithm>
#include <set>

#include "ui/app_error.h"
#include "ui/error_report.h"
#include "ui/win_text.h"

namespace nb {
namespace {

std::vector<Window*>& OpenList() {
  static std::vector<Window*> list;
  return list;
}

std::function<void()>& LastClosedHandler() {
  static std::function<void()> handler;
  return handler;
}

// Per-monitor DPI functions exist from Windows 10 on; found at run time.
template <typename Fn>
Fn User32Function(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

void RegisterClassOnce(const wchar_t* name, WNDPROC proc, HICON icon) {
  WNDCLASSEXW wc{};
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &wc)) return;
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = icon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  if (!RegisterClassExW(&wc)) {
    throw AppError(errnum::kComponentMissing, L"Window class " + std::wstring(name) + L" cannot be registered: " +
                                                  SystemErrorText(GetLastError()));
  }
}

}  // namespace

int WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
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
  RegisterClassOnce(args.className, &Window::Thunk, args.icon);
  style_ = args.style;
  exStyle_ = args.exStyle;
  HWND hwnd = CreateWindowExW(args.exStyle, args.className, args.caption.c_str(), args.style, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, args.owner, args.menu,
                              GetModuleHandleW(nullptr), this);
  if (!hwnd) {
    throw AppError(errnum::kComponentMissing,
                   L"Window " + std::wstring(args.className) + L" cannot be created: " + SystemErrorText(GetLastError()));
  }
  if (args.icon) {
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(args.icon));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(args.icon));
  }
  SizeClient(args.clientWidthTwips, args.clientHeightTwips);
}

void Window::SizeClient(int widthTwips, int heightTwips) const {
  if (!hwnd_ || widthTwips <= 0 || heightTwips <= 0) return;
  RECT rect{0, 0, Px(widthTwips), Px(heightTwips)};
  using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  const BOOL hasMenu = GetMenu(hwnd_) != nullptr;
  if (!adjustForDpi || !adjustForDpi(&rect, style_, hasMenu, exStyle_, static_cast<UINT>(dpi_))) {
    AdjustWindowRectEx(&rect, style_, hasMenu, exStyle_);
  }
  SetWindowPos(hwnd_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps takes more room than the adjustment allowed for: grow once more.
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int missing = Px(heightTwips) - (client.bottom - client.top);
  if (hasMenu && missing > 0) {
    SetWindowPos(hwnd_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top + missing,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Window::CentreOver(HWND over) const {
  RECT area{}, own{};
  if (!hwnd_ || !GetWindowRect(hwnd_, &own)) return;
  if (!over || !GetWindowRect(over, &area)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::Place(std::span<const Placement> placements) const {
  for (const Placement& p : placements) {
    MoveWindow(p.control, Px(p.rect.left), Px(p.rect.top), Px(p.rect.width), Px(p.rect.height), TRUE);
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
    switch (msg) {
      case WM_DPICHANGED: {
        dpi_ = HIWORD(wParam);
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        OnDpiChanged();
        return 0;
      }
      case WM_DESTROY:
        OnDestroy();
        break;
      case WM_NCDESTROY: {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        auto& list = OpenList();
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        if (list.empty() && LastClosedHandler()) LastClosedHandler()();
        return DefWindowProcW(hwnd, msg, wParam, lParam);
      }
      default:
        break;
    }
    LRESULT result = 0;
    if (OnMessage(msg, wParam, lParam, result)) return result;
  } catch (...) {
    try {
      OnUnhandledError(L"Netbeacon window procedure");
    } catch (...) {
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace nb
