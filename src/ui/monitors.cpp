#include "ui/monitors.h"

#include "base/dynamic_library.h"
#include "ui/window.h"

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

MonitorArea AreaOf(HMONITOR monitor, bool* primary = nullptr) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  if (primary) *primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
  return MonitorArea{ToPixelRect(info.rcMonitor), ToPixelRect(info.rcWork), MonitorDpi(monitor)};
}

}  // namespace

std::vector<MonitorArea> DisplayMonitors() {
  std::vector<MonitorArea> monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        auto& list = *reinterpret_cast<std::vector<MonitorArea>*>(data);
        bool primary = false;
        const MonitorArea area = AreaOf(monitor, &primary);
        list.insert(primary ? list.begin() : list.end(), area);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

MonitorArea MonitorAreaOf(HWND window) {
  return AreaOf(window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                       : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

}  // namespace nb
