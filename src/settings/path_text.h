// Folder paths as text. Portable: no Windows header.
#pragma once

#include <string>
#include <string_view>

namespace nb {

// The path with a backslash appended unless its last character already is one ("" gives "\").
std::wstring AddBackslash(std::wstring_view path);

// The path without any of its trailing backslashes.
std::wstring StripBackslashes(std::wstring_view path);

}  // namespace nb
