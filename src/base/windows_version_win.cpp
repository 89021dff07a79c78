#include <windows.h>

#include "base/windows_version_win.h"

namespace nb {

std::wstring GetWindowsVersion() {
  OSVERSIONINFOA info{};
  static_assert(sizeof info == 148, "the ANSI version record is 148 bytes");
  info.dwOSVersionInfoSize = sizeof info;
#ifdef _MSC_VER
#pragma warning(suppress : 4996)  // deprecated: it reports what the program's manifest allows
#endif
  GetVersionExA(&info);  // on failure the record stays zeroed: "0.0.0"
  return WindowsVersionName(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

}  // namespace nb
