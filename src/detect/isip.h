// Recognising well-formed dotted IPv4 texts. Portable: no Windows header.
#pragma once

#include <string_view>

namespace nb {

// True when the text is four dot-separated pieces, each a number (ParseNumber) of at most three
// characters (as written) whose value lies between 0 and 255.
bool IsIP(std::wstring_view ip);

}  // namespace nb
