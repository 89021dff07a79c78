#include "ui/monitors_win.h"

#include "base/dynamic_library_win.h"
#include "ui/window_win.h"

namespace nb {
namespace {

// The DPI of a monitor; its library exists from Windows 8.1 on and is loaded at first use.
int MonitorDpi(HMONITOR monitor) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto getDpiForMonitor = EntryPoint<GetDpiForMonitorFn>(LoadLibraryW(L"shcore.dll"), "GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) && y > 0) {
    return static_cast<int>(y);
  }
  return WindowDpi(nullptr);
}

MONITORINFO InfoOf(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  return info;
}

}  // namespace

std::vector<MonitorArea> DisplayMonitors() {
  std::vector<MonitorArea> monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        auto& list = *reinterpret_cast<std::vector<MonitorArea>*>(data);
        const MONITORINFO info = InfoOf(monitor);
        const MonitorArea area{ToPixelRect(info.rcMonitor), ToPixelRect(info.rcWork), MonitorDpi(monitor)};
        list.insert((info.dwFlags & MONITORINFOF_PRIMARY) ? list.begin() : list.end(), area);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

PixelRect WorkAreaOf(HWND window) {
  return ToPixelRect(InfoOf(window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                   : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY))
                         .rcWork);
}

}  // namespace nb
