// Reading the machine's IPv4 address table from the system (the local address table's
// GetLocalIPs).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace nb {

// The system's table call: fills the `*size` bytes at `table` and sets `*size` to the bytes the
// table needs; returns 0 or a system error code (122 when the buffer is too small). `sorted`
// asks for the rows sorted by address.
using AddressTableCall = std::function<unsigned long(void* table, unsigned long* size, bool sorted)>;

// The table's addresses as dotted texts in table order (sorted by address), an empty list when
// it has no rows. The buffer is as large as the system asks for, so every address is listed.
// Raises AppError -2147221504 "GetIpAddrTable failed with return value N" when the call fails,
// and run-time error 48 when the IP Helper library cannot be loaded.
std::vector<std::wstring> GetLocalIPs();
// The same through another table call (tests give their own tables).
std::vector<std::wstring> GetLocalIPs(const AddressTableCall& call);

}  // namespace nb
