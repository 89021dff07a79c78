// System error codes as the program's errors.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "base/app_error.h"

namespace nb {

// The system's description of a Win32 error code.
std::wstring SystemErrorText(DWORD code);

// The classic run-time error number for a system error code of a file or process operation:
// 53 file not found; 76 path not found (also a bad name or network path); 70 permission denied
// (also a file in use by another program, a lock, a write-protected disk); 61 disk full; 58 file
// already exists; 75 path/file access error for everything else.
long RunTimeErrorNumber(DWORD code);

// The error of a failed file or process operation: the number above, and a description naming
// what was done, the path and the system's text ("Cannot delete C:\x.log: Access denied.").
// Every file operation of the program raises its failures through this one mapping.
AppError FileOperationError(DWORD code, std::wstring_view what, std::wstring_view path);

}  // namespace nb
