// How the main window reads its stored preferences and its command line. Portable: no
// Windows header.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nb {

// The command-line switches: the whole argument text must equal one exactly.
inline constexpr wchar_t kSwitchCopyPublic[] = L"AutocopyEX";
inline constexpr wchar_t kSwitchCopyLan[] = L"AutocopyIN";

// The argument text of a full command line: what follows the program's name (quoted or not)
// and the blanks after it, kept as typed (a trailing blank stays).
std::wstring ArgumentText(std::wstring_view commandLine);

// A stored value read as a number, or nothing when it is not one (the failure marker included).
std::optional<double> StoredNumber(std::wstring_view stored);

// A stored check box state: 0, 1 or 2; anything else is not a state.
std::optional<int> StoredCheckState(std::wstring_view stored);

// True for the green-on-black scheme: a stored 65280, or a value that is missing or not a number.
bool StoredSchemeIsGreenOnBlack(std::wstring_view stored);

// A position in twips as the decimal text of a single-precision number ("1500", "1234.5").
std::wstring SingleText(double value);

}  // namespace nb
