// The local address table's rules: reading the system's IPv4 address table from its bytes, the
// list with the public address, its count line and the text that is copied. Portable: no
// Windows header.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nb {

// The window's error report labels, and the closing line that replaces the usual one when the
// library with the address table cannot be loaded (run-time error 48).
inline constexpr wchar_t kAllIPsLoadErrorLabel[] = L"frmALLIPs Form_Load";
inline constexpr wchar_t kAllIPsCopyErrorLabel[] = L"frmALLIPs cmdCopyToClipBoard_Click";
inline constexpr wchar_t kWin95LibraryHint[] = L"This option is not functional under Windows 95. Sorry for that.";

// Asked when the window is closed while the public address is being fetched.
inline constexpr wchar_t kStopFetchQuestion[] =
    L"The public address is still being fetched. Stop fetching it and close the window?";

// The system's IPv4 address table as bytes: a 32-bit little-endian entry count, then rows of 24
// bytes whose first four bytes are the address in network byte order.
inline constexpr std::size_t kAddressTableCountBytes = 4;
inline constexpr std::size_t kAddressTableRowBytes = 24;

// The addresses of the system's IPv4 address table, as dotted decimal texts in row order. Raises AppError 9 (subscript out of range) when the count names
// more rows than the bytes hold.
std::vector<std::wstring> AddressTableTexts(std::span<const unsigned char> table);

// Appends the text unless it is empty or equal (exactly) to an entry already in the list. The
// window's list: the table's addresses as they come (duplicates kept), then the public address
// entry through this.
void AddUnique(std::vector<std::wstring>& list, std::wstring_view text);

// "Nr of IP addresses: " and the number of entries.
std::wstring AddressCountLine(std::size_t entries);

// The selected entries in list order, each followed by CR LF. `selected` holds one flag per
// entry (missing flags count as not selected).
std::wstring CopiedAddressText(const std::vector<std::wstring>& entries, const std::vector<bool>& selected);

// The closing line of the window's load error report for an error number.
std::wstring_view AllIPsLoadErrorHint(long errorNumber);

}  // namespace nb
