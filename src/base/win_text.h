// Text at the boundary with Windows: ANSI code page conversions, window texts, the program's
// own path and the system folder.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

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

// The system folder (where the system's own programs are) with a trailing backslash. Raises an
// AppError in the unlikely case that Windows cannot say.
std::wstring SystemFolder();

}  // namespace nb
