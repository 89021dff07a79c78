#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstring>
#include <vector>

#include "detect/lan_choice.h"
#include "detect/lan_lookup.h"
#include "base/dynamic_library.h"
#include "ui/modal.h"
#include "base/text_util.h"
#include "base/win_text.h"

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
  static SocketsApi api;  // a failed load raises, and is tried again on the next call
  return api;
}

void Tell(const wchar_t* text, UINT style = MB_OK) { ShowMessage(text, style, kProgramName); }

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

void SocketsCleanup() {
  if (Sockets().cleanup() != 0) Tell(kCleanupFailedText, MB_OK | MB_ICONEXCLAMATION);
}

std::wstring GetHostNameByIP(std::wstring_view address) {
  if (!SocketsStartup()) {
    Tell(kSocketsFailedText);
    return {};
  }
  const std::string ansiAddress = ToAnsi(address);
  const unsigned long value = Sockets().inetAddr(ansiAddress.c_str());
  if (value == INADDR_NONE) {
    Tell(kInvalidIPText);
    SocketsCleanup();
    return {};
  }
  const hostent* host = Sockets().getHostByAddr(reinterpret_cast<const char*>(&value), 4, AF_INET);
  if (!host) {
    Tell(kLookupFailedText);
    SocketsCleanup();
    return {};
  }
  // Copied out before the library is released.
  const std::wstring name = host->h_name ? FromAnsi(host->h_name) : std::wstring();
  SocketsCleanup();
  return name;
}

}  // namespace nb
