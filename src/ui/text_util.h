// Small text helpers shared by the whole program. Portable: no Windows header.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nb {

// The part of a text before its first NUL (all of it when there is none).
std::wstring StripNull(std::wstring_view text);
std::string StripNull(std::string_view text);

// Removes leading and trailing blanks (spaces only).
std::wstring TrimSpaces(std::wstring_view text);

// Splits at every separator, keeping empty pieces.
std::vector<std::wstring_view> SplitKeepEmpty(std::wstring_view text, wchar_t separator);

}  // namespace nb
