// Text at the boundary with Windows: ANSI code page conversions and window texts.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/app_error.h"

namespace nb {

// The system's ANSI code page, which the stored formats and the A-only platform calls use.
std::wstring FromAnsi(std::string_view text);
// Unrepresentable characters become the code page's default character.
std::string ToAnsi(std::wstring_view text);

std::wstring WindowText(HWND hwnd);
void SetWindowTextOf(HWND hwnd, std::wstring_view text);

// Full path of the running executable, and its folder with a trailing backslash.
std::wstring ExecutablePath();
std::wstring ExecutableFolder();

// The system's description of a Win32 error code.
std::wstring SystemErrorText(DWORD code);

// The error of a failed file or process operation, with the classic run-time number that fits
// the system's error code (53 file not found, 76 path not found, 70 permission denied, 61 disk
// full, 58 file already exists, 75 otherwise), naming what was done and the path.
AppError FileOperationError(DWORD code, std::wstring_view what, std::wstring_view path);

}  // namespace nb
