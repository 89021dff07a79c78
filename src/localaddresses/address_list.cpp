#include "localaddresses/address_list.h"

#include <algorithm>

#include "base/app_error.h"
#include "ui/error_report_text.h"

namespace nb {

std::vector<std::wstring> AddressTableTexts(std::span<const unsigned char> table) {
  if (table.size() < kAddressTableCountBytes) throw AppError(errnum::kSubscript, L"Subscript out of range");
  const unsigned long long count = static_cast<unsigned long long>(table[0]) | (static_cast<unsigned long long>(table[1]) << 8) |
                                   (static_cast<unsigned long long>(table[2]) << 16) |
                                   (static_cast<unsigned long long>(table[3]) << 24);
  if (count > (table.size() - kAddressTableCountBytes) / kAddressTableRowBytes) {
    throw AppError(errnum::kSubscript, L"Subscript out of range");
  }
  std::vector<std::wstring> addresses;
  addresses.reserve(static_cast<std::size_t>(count));
  for (std::size_t row = 0; row < count; ++row) {
    const unsigned char* address = table.data() + kAddressTableCountBytes + kAddressTableRowBytes * row;
    addresses.push_back(std::to_wstring(address[0]) + L"." + std::to_wstring(address[1]) + L"." +
                        std::to_wstring(address[2]) + L"." + std::to_wstring(address[3]));
  }
  return addresses;
}

void AddUnique(std::vector<std::wstring>& list, std::wstring_view text) {
  if (text.empty() || std::find(list.begin(), list.end(), text) != list.end()) return;
  list.emplace_back(text);
}

std::wstring AddressCountLine(std::size_t entries) { return L"Nr of IP addresses: " + std::to_wstring(entries); }

std::wstring CopiedAddressText(const std::vector<std::wstring>& entries, const std::vector<bool>& selected) {
  std::wstring text;
  for (std::size_t i = 0; i < entries.size() && i < selected.size(); ++i) {
    if (selected[i]) text += entries[i] + L"\r\n";
  }
  return text;
}

std::wstring_view AllIPsLoadErrorHint(long errorNumber) {
  return errorNumber == errnum::kLibraryLoad ? std::wstring_view(kWin95LibraryHint) : std::wstring_view(kReportToMakerHint);
}

}  // namespace nb
