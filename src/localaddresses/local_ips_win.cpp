#include "localaddresses/local_ips_win.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <span>

#include "localaddresses/address_list.h"
#include "base/app_error.h"
#include "base/dynamic_library_win.h"

namespace nb {
namespace {

// Room for the count and this many rows at first; the system tells when it needs more.
constexpr std::size_t kFirstRows = 16;

// A table that keeps growing between a call that gave its size and the next one is asked for
// again this many times before the last answer counts.
constexpr int kSizeAttempts = 4;

}  // namespace

std::vector<std::wstring> GetLocalIPs() {
  using GetIpAddrTableFn = ULONG(WINAPI*)(PMIB_IPADDRTABLE, PULONG, BOOL);
  const DynamicLibrary library(L"iphlpapi.dll");
  const auto getIpAddrTable = library.Get<GetIpAddrTableFn>("GetIpAddrTable");
  return GetLocalIPs([&](void* table, unsigned long* size, bool sorted) -> unsigned long {
    ULONG bytes = *size;
    const ULONG result = getIpAddrTable(static_cast<PMIB_IPADDRTABLE>(table), &bytes, sorted ? TRUE : FALSE);
    *size = bytes;
    return result;
  });
}

std::vector<std::wstring> GetLocalIPs(const AddressTableCall& call) {
  // DWORD elements give the buffer the table's alignment.
  std::vector<DWORD> buffer;
  unsigned long size = static_cast<unsigned long>(kAddressTableCountBytes + kFirstRows * kAddressTableRowBytes);
  unsigned long result = ERROR_INSUFFICIENT_BUFFER;
  for (int attempt = 0; attempt < kSizeAttempts && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
    if (size > buffer.size() * sizeof(DWORD)) buffer.assign((size + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    size = static_cast<unsigned long>(buffer.size() * sizeof(DWORD));
    result = call(buffer.data(), &size, true);
  }
  if (result != NO_ERROR) {
    throw AppError(kProgramErrorBase, L"GetIpAddrTable failed with return value " + std::to_wstring(result));
  }
  const auto bytes = std::as_bytes(std::span<const DWORD>(buffer));
  return AddressTableTexts(std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
}

}  // namespace nb
