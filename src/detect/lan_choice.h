// Which adapter address is the LAN address. Portable: no Windows header.
#pragma once

#include <string>
#include <vector>

namespace nb {

// Given the first IPv4 address text of each adapter in the system's order, the LAN address:
// the first one that is neither empty nor "0.0.0.0" (a disconnected adapter), or empty text.
std::wstring ChooseLanAddress(const std::vector<std::wstring>& firstAddresses);

}  // namespace nb
