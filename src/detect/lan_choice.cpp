#include "detect/lan_choice.h"

namespace nb {

std::wstring ChooseLanAddress(const std::vector<std::wstring>& firstAddresses) {
  for (const std::wstring& address : firstAddresses) {
    if (!address.empty() && address != L"0.0.0.0") return address;
  }
  return {};
}

}  // namespace nb
