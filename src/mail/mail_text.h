// The mail window's text procedures: trimming, reading the sender field and replacing text.
// They compare characters exactly (binary). Portable: no Windows header.
#pragma once

#include <string>
#include <string_view>

namespace nb {

// Removes from both ends of strInput every character that occurs in trimer (an empty trimer
// leaves it unchanged); characters inside the text stay.
void fnTrim(std::wstring& strInput, std::wstring_view trimer);

// Splits a sender text into its display name and its address: the name is what stands before
// the first "<", the address the rest ("<" included), or, without a "<", the whole text. Both
// are then trimmed of blanks, commas, semicolons, angle brackets, double quotes and apostrophes.
void fnParseAddr(std::wstring_view strInput, std::wstring& name, std::wstring& addr);

// SearchLine with its first occurrence of SearchFor replaced by ReplaceWith; unchanged when
// SearchFor does not occur. An empty SearchFor occurs at the start of a non-empty line.
std::wstring sReplace(std::wstring_view SearchLine, std::wstring_view SearchFor, std::wstring_view ReplaceWith);

}  // namespace nb
