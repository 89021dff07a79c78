#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/dynamic_library_win.h"
#include "base/skip_trap_win.h"
#include "detect/lan6_lookup_win.h"

namespace nb {
namespace {

// Where a LAN IPv6 address that could not be looked for leaves its trace.
constexpr wchar_t kLan6Label[] = L"frmMain GetLocalIPv6";

// A root name server's address: any public IPv6 address would do, since none is contacted.
constexpr std::uint8_t kPublicIPv6[16] = {0x20, 0x01, 0x05, 0x00, 0x00, 0x2f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0f};

// The sockets functions the route source needs, from the library loaded at first use.
struct RouteSocketsApi {
  using StartupFn = int(WSAAPI*)(WORD, LPWSADATA);
  using CleanupFn = int(WSAAPI*)();
  using SocketFn = SOCKET(WSAAPI*)(int, int, int);
  using ConnectFn = int(WSAAPI*)(SOCKET, const sockaddr*, int);
  using GetSockNameFn = int(WSAAPI*)(SOCKET, sockaddr*, int*);
  using CloseFn = int(WSAAPI*)(SOCKET);

  DynamicLibrary library{L"ws2_32.dll"};
  StartupFn startup = library.Get<StartupFn>("WSAStartup");
  CleanupFn cleanup = library.Get<CleanupFn>("WSACleanup");
  SocketFn socket = library.Get<SocketFn>("socket");
  ConnectFn connect = library.Get<ConnectFn>("connect");
  GetSockNameFn getSockName = library.Get<GetSockNameFn>("getsockname");
  CloseFn close = library.Get<CloseFn>("closesocket");
};

const RouteSocketsApi& RouteSockets() {
  // A failed load raises, and is tried again on the next call.
  static const RouteSocketsApi& api = *new RouteSocketsApi;
  return api;
}

// Connecting a datagram socket only makes the system choose its route and source address.
std::optional<Ipv6Address> SourceOfSocket(SOCKET s) {
  const RouteSocketsApi& api = RouteSockets();
  sockaddr_in6 target{};
  target.sin6_family = AF_INET6;
  const std::uint8_t port[2] = {0, 53};  // in network order, without the sockets library's help
  std::memcpy(&target.sin6_port, port, sizeof port);
  std::memcpy(&target.sin6_addr, kPublicIPv6, sizeof kPublicIPv6);
  if (api.connect(s, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) return std::nullopt;
  sockaddr_in6 source{};
  int length = sizeof source;
  if (api.getSockName(s, reinterpret_cast<sockaddr*>(&source), &length) != 0 || source.sin6_family != AF_INET6) {
    return std::nullopt;
  }
  Ipv6Address address;
  std::memcpy(address.bytes.data(), &source.sin6_addr, address.bytes.size());
  return address;
}

std::optional<Ipv6Address> SystemRouteSource() {
  const RouteSocketsApi& api = RouteSockets();
  WSADATA data;
  if (api.startup(MAKEWORD(2, 2), &data) != 0) return std::nullopt;
  std::optional<Ipv6Address> source;
  const SOCKET s = api.socket(AF_INET6, SOCK_DGRAM, IPPROTO_UDP);
  if (s != INVALID_SOCKET) {
    source = SourceOfSocket(s);
    api.close(s);
  }
  api.cleanup();
  return source;
}

unsigned long SystemAdapterAddresses(void* buffer, unsigned long* size) {
  using GetAdaptersAddressesFn = ULONG(WINAPI*)(ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES, PULONG);
  const DynamicLibrary library(L"iphlpapi.dll");
  const auto getAdaptersAddresses = library.Get<GetAdaptersAddressesFn>("GetAdaptersAddresses");
  ULONG bytes = *size;
  const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
  const ULONG result =
      getAdaptersAddresses(AF_INET6, flags, nullptr, static_cast<PIP_ADAPTER_ADDRESSES>(buffer), &bytes);
  *size = bytes;
  return result;
}

// Room for a few adapters at first (the size the system's documentation suggests); the call
// tells when it needs more.
constexpr unsigned long kFirstBytes = 15 * 1024;

// A list that keeps growing between a call that gave its size and the next one is asked for
// again this many times before it counts as failed.
constexpr int kSizeAttempts = 4;

// The adapters' IPv6 unicast addresses in the order listed; none when the list cannot be had.
std::vector<Ipv6Candidate> AdapterCandidates(const AdapterAddressesCall& call) {
  // Records of the list's own type give the buffer the alignment of the records.
  std::vector<IP_ADAPTER_ADDRESSES> buffer;
  unsigned long size = kFirstBytes;
  unsigned long result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < kSizeAttempts && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    if (size > buffer.size() * sizeof(IP_ADAPTER_ADDRESSES)) {
      buffer.assign(size / sizeof(IP_ADAPTER_ADDRESSES) + 1, IP_ADAPTER_ADDRESSES{});
    }
    size = static_cast<unsigned long>(buffer.size() * sizeof(IP_ADAPTER_ADDRESSES));
    result = call(buffer.data(), &size);
  }
  std::vector<Ipv6Candidate> candidates;
  if (result != NO_ERROR) return candidates;
  for (const IP_ADAPTER_ADDRESSES* adapter = buffer.data(); adapter; adapter = adapter->Next) {
    for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
      const SOCKADDR* address = unicast->Address.lpSockaddr;
      if (!address || address->sa_family != AF_INET6) continue;
      Ipv6Candidate candidate;
      std::memcpy(candidate.address.bytes.data(), &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr,
                  candidate.address.bytes.size());
      candidate.adapterUp = adapter->OperStatus == IfOperStatusUp;
      candidate.preferred = unicast->DadState == IpDadStatePreferred;
      candidates.push_back(candidate);
    }
  }
  return candidates;
}

}  // namespace

std::optional<std::wstring> GetLocalIPv6() { return GetLocalIPv6(SystemRouteSource, SystemAdapterAddresses); }

std::optional<std::wstring> GetLocalIPv6(const RouteSourceCall& routeSource, const AdapterAddressesCall& adapters) {
  std::optional<std::wstring> text;
  // The IPv6 part of a run must never cost the IPv4 result: whatever fails here means no IPv6.
  SkipTrap(kLan6Label, [&] {
    if (const std::optional<Ipv6Address> chosen = ChooseLanIPv6(routeSource(), AdapterCandidates(adapters))) {
      text = FormatIPv6(*chosen);
    }
  });
  return text;
}

}  // namespace nb
