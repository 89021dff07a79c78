// Recognising numbers and well-formed dotted IPv4 texts. Portable: no Windows header.
#pragma once

#include <optional>
#include <string_view>

namespace nb {

// Reads a text as a number the way the address test needs: surrounding spaces and tabs, an
// optional sign, digits with an optional decimal point, and an optional exponent
// ("1e2", "2.5E-1"). Any other character, a carriage return included, makes it no number.
std::optional<double> ParseNumber(std::wstring_view text);

// True when the text is four dot-separated pieces, each a number of at most three
// characters (as written) whose value lies between 0 and 255.
bool IsIP(std::wstring_view ip);

}  // namespace nb
