// The program's per-user data folder, "Ambertop software\Netbeacon\" inside the roaming
// application data folder, made on demand. Paths returned here end with a backslash.
#pragma once

#include <string>
#include <string_view>

#include "settings/path_text.h"

namespace nb {

// The data folder, created if missing; the fallback folder (with a backslash) when it cannot
// be found or made. Never fails and shows nothing.
std::wstring GetAppDataDir(std::wstring_view fallback);

// The same two levels made below a given base folder; the fallback when the base is empty or
// a level cannot be made.
std::wstring GetAppDataDirUnder(std::wstring_view base, std::wstring_view fallback);

// A shell special folder (a CSIDL number) with a trailing backslash, or "" when it has none.
std::wstring GetSpecialFolder(int csidl);

// The file-system path of a shell item-identifier list (an absolute ITEMIDLIST), "" when it has
// none. The path buffer starts at `capacity` characters and grows as needed.
std::wstring PathFromIdList(const void* idList, unsigned long capacity = 260);

// True when the path (trailing backslashes ignored) names an existing directory.
bool DirExists(std::wstring_view path);

}  // namespace nb
