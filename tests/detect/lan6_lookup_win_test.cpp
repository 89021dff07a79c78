#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "detect/lan6_lookup_win.h"

namespace {

nb::Ipv6Address Parsed(const wchar_t* text) { return nb::ParseIPv6(text).value(); }

// Two adapters as the system lists them: one that is down, and one that is up with a link-local,
// a deprecated and two preferred global addresses.
class AdapterList {
 public:
  AdapterList() {
    Add(0, L"2a00:1450::1", IpDadStatePreferred);
    Add(1, L"fe80::1", IpDadStatePreferred);
    Add(1, L"2a00:1450::2", IpDadStateDeprecated);
    Add(1, L"2a00:1450::3", IpDadStatePreferred);
    Add(1, L"2a00:1450::4", IpDadStatePreferred);
    adapters_[0].OperStatus = IfOperStatusDown;
    adapters_[0].Next = &adapters_[1];
    adapters_[1].OperStatus = IfOperStatusUp;
  }

  // As the system answers: the first call's buffer is too small.
  unsigned long Call(void* buffer, unsigned long* size) {
    if (*size < kNeeded) {
      *size = kNeeded;
      return ERROR_BUFFER_OVERFLOW;
    }
    std::memcpy(buffer, &adapters_[0], sizeof adapters_[0]);  // the rest lies here, where it points to
    return NO_ERROR;
  }

 private:
  static constexpr unsigned long kNeeded = 40 * 1024;

  void Add(int adapter, const wchar_t* text, IP_DAD_STATE state) {
    const int k = used_++;
    sockaddrs_[k].sin6_family = AF_INET6;
    std::memcpy(&sockaddrs_[k].sin6_addr, Parsed(text).bytes.data(), 16);
    unicast_[k].Address.lpSockaddr = reinterpret_cast<SOCKADDR*>(&sockaddrs_[k]);
    unicast_[k].Address.iSockaddrLength = sizeof(sockaddr_in6);
    unicast_[k].DadState = state;
    IP_ADAPTER_UNICAST_ADDRESS** last = &adapters_[adapter].FirstUnicastAddress;
    while (*last) last = &(*last)->Next;
    *last = &unicast_[k];
  }

  sockaddr_in6 sockaddrs_[5]{};
  IP_ADAPTER_UNICAST_ADDRESS unicast_[5]{};
  IP_ADAPTER_ADDRESSES adapters_[2]{};
  int used_ = 0;
};

struct RouteCase {
  const wchar_t* routeSource;  // nullptr: the system picked none
  const wchar_t* expected;
};

// The route's source wins only as a preferred address of an adapter that is up.
TEST(GetLocalIPv6, ChoosesFromTheSystemsAnswers) {
  const RouteCase cases[] = {
      {L"2a00:1450::4", L"2a00:1450::4"},
      {L"2a00:1450::1", L"2a00:1450::3"},  // its adapter is down
      {L"2a00:1450::2", L"2a00:1450::3"},  // deprecated
      {nullptr, L"2a00:1450::3"},
  };
  for (const RouteCase& c : cases) {
    AdapterList list;
    const auto route = [&c]() -> std::optional<nb::Ipv6Address> {
      if (!c.routeSource) return std::nullopt;
      return Parsed(c.routeSource);
    };
    const std::optional<std::wstring> found =
        nb::GetLocalIPv6(route, [&list](void* buffer, unsigned long* size) { return list.Call(buffer, size); });
    EXPECT_EQ(found.value_or(L"nothing"), c.expected) << (c.routeSource ? nb::FormatIPv6(Parsed(c.routeSource)) : L"");
  }
}

}  // namespace
