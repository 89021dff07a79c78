// The main window's command line. Portable: no Windows header.
#pragma once

#include <string>
#include <string_view>

namespace nb {

// The command-line switches: the whole argument text must equal one exactly.
inline constexpr wchar_t kSwitchCopyPublic[] = L"AutocopyEX";
inline constexpr wchar_t kSwitchCopyLan[] = L"AutocopyIN";

// The argument text of a full command line: what follows the program's name (quoted or not)
// and the blanks after it, kept as typed (a trailing blank stays).
std::wstring ArgumentText(std::wstring_view commandLine);

}  // namespace nb
