// The main window's command line. Portable: no Windows header.
#pragma once

#include <string>
#include <string_view>

namespace nb {

// The command-line switches: the whole argument text must equal one exactly.
inline constexpr wchar_t kSwitchCopyPublic[] = L"AutocopyEX";
inline constexpr wchar_t kSwitchCopyLan[] = L"AutocopyIN";
// The same for the IPv6 addresses.
inline constexpr wchar_t kSwitchCopyPublic6[] = L"AutocopyEX6";
inline constexpr wchar_t kSwitchCopyLan6[] = L"AutocopyIN6";

// The argument text of a full command line: what follows the program's name (quoted or not)
// and the blanks after it, kept as typed (a trailing blank stays).
std::wstring ArgumentText(std::wstring_view commandLine);

}  // namespace nb
