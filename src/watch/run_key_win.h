// "Start with Windows": a value under the current user's Run key that starts the program watching.
// The registry is used directly here: the program's registry layer knows only the program key.
#pragma once

#include <string>

namespace nb {

inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";  // under HKEY_CURRENT_USER
inline constexpr wchar_t kRunValue[] = L"Netbeacon";

// What the Run value holds: the running program's full path in double quotes, then the Watch switch.
std::wstring RunCommand();

// Whether the Run value exists (whatever it holds).
bool StartsWithWindows();
// Writes the Run value (afresh, so that it follows a program that moved) or removes it. Failures
// are silent, as for every other stored setting.
void SetStartWithWindows(bool on);

}  // namespace nb
