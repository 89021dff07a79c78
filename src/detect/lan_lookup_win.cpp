#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstring>
#include <memory>
#include <vector>

#include "detect/ipv6_address.h"
#include "detect/lan_choice.h"
#include "detect/lan_lookup_win.h"
#include "base/dynamic_library_win.h"
#include "base/skip_trap_win.h"
#include "base/worker_win.h"
#include "base/text_util.h"
#include "base/text_win.h"

namespace nb {
namespace {

// The sockets functions, from the library loaded at first use.
struct SocketsApi {
  using StartupFn = int(WSAAPI*)(WORD, LPWSADATA);
  using CleanupFn = int(WSAAPI*)();
  using InetAddrFn = unsigned long(WSAAPI*)(const char*);
  using GetHostByAddrFn = hostent*(WSAAPI*)(const char*, int, int);

  DynamicLibrary library{L"ws2_32.dll"};
  StartupFn startup = library.Get<StartupFn>("WSAStartup");
  CleanupFn cleanup = library.Get<CleanupFn>("WSACleanup");
  InetAddrFn inetAddr = library.Get<InetAddrFn>("inet_addr");
  GetHostByAddrFn getHostByAddr = library.Get<GetHostByAddrFn>("gethostbyaddr");
};

SocketsApi& Sockets() {
  // A failed load raises, and is tried again on the next call. Never unloaded: a lookup that
  // outlived its bound may still run in it as the program ends.
  static SocketsApi& api = *new SocketsApi;
  return api;
}

// An address in network order: 4 bytes for IPv4, 16 for IPv6.
using AddressBytes = std::vector<unsigned char>;

// Where a lookup that could not be made leaves its trace; the user hears of it as a failed lookup.
constexpr wchar_t kLookupLabel[] = L"frmMain GetHostNameByIP";

// The system's reverse lookup. The host entry belongs to the thread that asked, so the name is
// copied out there.
std::optional<std::string> SystemReverseLookup(std::span<const unsigned char> address) {
  const int family = address.size() == 16 ? AF_INET6 : AF_INET;
  const hostent* host = Sockets().getHostByAddr(reinterpret_cast<const char*>(address.data()),
                                                static_cast<int>(address.size()), family);
  if (!host) return std::nullopt;
  return std::string(host->h_name ? host->h_name : "");
}

// One lookup on a worker thread. It starts the sockets library for itself, so that a lookup that
// outlives its caller's wait, and the caller's release of the library, can still finish.
struct LookupJob {
  LookupJob(AddressBytes address, ReverseLookup lookup) : address(std::move(address)), lookup(std::move(lookup)) {}

  void Run() noexcept {
    bool started = false;
    const bool ran = SkipTrap(kLookupLabel, [&] {
      started = SocketsStartup();
      if (started) name = lookup(address);
    });
    if (!ran) name.reset();  // counts as a lookup that found nothing
    if (started) Sockets().cleanup();  // a failure here has nobody to tell
  }

  const AddressBytes address;
  const ReverseLookup lookup;
  std::optional<std::string> name;  // read only once the worker has ended
};

// Runs the lookup on a thread of its own and waits for it at most `bound`. Nothing when it found
// no name, did not end in time, was stopped, or could not be started.
std::optional<std::string> LookUpWithin(AddressBytes address, std::chrono::milliseconds bound, ReverseLookup lookup,
                                        const StopSignal* stop) {
  std::optional<std::string> name;
  // No thread, or no memory for one: the lookup failed.
  SkipTrap(kLookupLabel, [&] {
    auto job = std::make_shared<LookupJob>(std::move(address), std::move(lookup));
    const unique_handle worker = StartWorker(job);
    if (WaitFor(worker.get(), stop, bound) == WaitEnd::kSignalled) name = job->name;
  });
  return name;
}

// The address of a text in network order: a dotted address as the sockets library reads it, or
// else a strictly written IPv6 address; nothing for any other text.
std::optional<AddressBytes> AddressOfText(std::wstring_view text) {
  const std::string ansi = ToAnsi(text);
  const unsigned long value = Sockets().inetAddr(ansi.c_str());
  if (value != INADDR_NONE) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    return AddressBytes(bytes, bytes + sizeof value);
  }
  if (const std::optional<Ipv6Address> address = ParseIPv6(text)) {
    return AddressBytes(address->bytes.begin(), address->bytes.end());
  }
  return std::nullopt;
}

// The release of the library, with its warning when it fails.
void Cleanup(HostNameLookup& lookup) {
  if (!SocketsCleanup()) lookup.notices.push_back({kCleanupFailedText, MB_OK | MB_ICONEXCLAMATION});
}

}  // namespace

std::wstring GetLocalIP() { return GetLocalIP(L"iphlpapi.dll"); }

std::wstring GetLocalIP(const wchar_t* ipHelperLibrary) {
  using GetAdaptersInfoFn = ULONG(WINAPI*)(PIP_ADAPTER_INFO, PULONG);
  const DynamicLibrary library(ipHelperLibrary);
  const auto getAdaptersInfo = library.Get<GetAdaptersInfoFn>("GetAdaptersInfo");

  ULONG size = 0;
  getAdaptersInfo(nullptr, &size);
  if (size == 0) return {};
  // Records need the alignment of the structure, which a vector of the structure gives.
  std::vector<IP_ADAPTER_INFO> buffer(size / sizeof(IP_ADAPTER_INFO) + 1);
  size = static_cast<ULONG>(buffer.size() * sizeof(IP_ADAPTER_INFO));
  if (getAdaptersInfo(buffer.data(), &size) != ERROR_SUCCESS) return {};

  std::vector<std::wstring> firstAddresses;
  for (const IP_ADAPTER_INFO* record = buffer.data(); record; record = record->Next) {
    const char* field = record->IpAddressList.IpAddress.String;
    firstAddresses.push_back(FromAnsi(StripNull(std::string_view(field, sizeof record->IpAddressList.IpAddress.String))));
  }
  return ChooseLanAddress(firstAddresses);
}

bool SocketsStartup() {
  WSADATA data;
  std::memset(&data, 0, sizeof data);
  return Sockets().startup(MAKEWORD(1, 1), &data) == 0;
}

bool SocketsCleanup() { return Sockets().cleanup() == 0; }

HostNameLookup GetHostNameByIP(std::wstring_view address, const StopSignal* stop) {
  return GetHostNameByIP(address, kHostNameBound, SystemReverseLookup, stop);
}

HostNameLookup GetHostNameByIP(std::wstring_view address, std::chrono::milliseconds bound, ReverseLookup lookup,
                               const StopSignal* stop) {
  HostNameLookup result;
  if (!SocketsStartup()) {
    result.notices.push_back({kSocketsFailedText, MB_OK});
    return result;
  }
  std::optional<AddressBytes> bytes = AddressOfText(address);
  if (!bytes) {
    result.notices.push_back({kInvalidIPText, MB_OK});
  } else if (const std::optional<std::string> found = LookUpWithin(std::move(*bytes), bound, std::move(lookup), stop)) {
    result.name = FromAnsi(*found);
  } else {
    result.notices.push_back({kLookupFailedText, MB_OK});
  }
  Cleanup(result);
  return result;
}

}  // namespace nb
