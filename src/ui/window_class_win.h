// Registering the program's window classes: the windows and the owner-drawn controls alike.
#pragma once

#include <windows.h>

namespace nb {

struct WindowClass {
  const wchar_t* name;
  WNDPROC procedure;
  UINT style = CS_DBLCLKS;
  int extraBytes = 0;  // per window, read with GetWindowLongPtr
  HICON icon = nullptr;
  HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
};

// Registers the class unless it is registered already. Raises AppError 339 when Windows refuses.
void RegisterClassOnce(const WindowClass& windowClass);

// An icon of the program's resources (res/resource_ids.h) at the system's icon size (shared: never
// destroyed), for the windows that stand in the task bar.
HICON ResourceIcon(int resourceId);

}  // namespace nb
