// Naming a Windows version in words: the program's table of versions. Asking Windows which version
// runs is base/windows_version_win.h.
#pragma once

#include <cstdint>
#include <string>

namespace nb {

// The two names the configuration capture looks for.
inline constexpr wchar_t kWindows95[] = L"Windows 95";
inline constexpr wchar_t kUnknownWindows[] = L"Unknown";

// The name of a version given as platform identifier, major and minor version: the name of the
// key "platform.major.minor" (plain decimal numbers) in the program's table, or "Unknown" for a
// key that is not in it. Build number and service pack play no part.
std::wstring WindowsVersionName(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor);

}  // namespace nb
