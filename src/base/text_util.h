// Small text helpers shared by the whole program. Portable: no Windows header.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nb {

// The part of a text before its first NUL (all of it when there is none).
std::wstring StripNull(std::wstring_view text);
std::string StripNull(std::string_view text);

enum class TrimEnds { Both, Leading, Trailing };

// The one trim of the program: the text without the given characters (blanks unless told
// otherwise) at the ends named.
std::wstring_view Trim(std::wstring_view text, TrimEnds ends = TrimEnds::Both, std::wstring_view characters = L" ");
// The same on code points (the mail component reads addresses as code points).
std::u32string_view Trim(std::u32string_view text, TrimEnds ends, std::u32string_view characters);

// Reads a text as a number the way the address test and the stored preferences need:
// surrounding spaces and tabs, an optional sign, digits with an optional decimal point, and an
// optional exponent ("1e2", "2.5E-1"). Any other character, a carriage return included, makes it
// no number.
std::optional<double> ParseNumber(std::wstring_view text);

// Splits at every separator, keeping empty pieces.
std::vector<std::wstring_view> SplitKeepEmpty(std::wstring_view text, wchar_t separator);

}  // namespace nb
