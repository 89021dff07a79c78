#include "ui/window_class_win.h"

#include <string>

#include "base/app_error.h"
#include "base/system_error_win.h"

namespace nb {

void RegisterClassOnce(const WindowClass& windowClass) {
  WNDCLASSEXW wc{};
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (GetClassInfoExW(instance, windowClass.name, &wc)) return;
  wc.cbSize = sizeof wc;
  wc.style = windowClass.style;
  wc.lpfnWndProc = windowClass.procedure;
  wc.cbWndExtra = windowClass.extraBytes;
  wc.hInstance = instance;
  wc.hIcon = windowClass.icon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = windowClass.background;
  wc.lpszClassName = windowClass.name;
  if (!RegisterClassExW(&wc)) {
    throw AppError(errnum::kComponentMissing, L"Window class " + std::wstring(windowClass.name) +
                                                  L" cannot be registered: " + SystemErrorText(GetLastError()));
  }
}

HICON ResourceIcon(int resourceId) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, 0, 0,
                                       LR_DEFAULTSIZE | LR_SHARED));
}

}  // namespace nb
