#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "base/app_error.h"
#include "detect/lan6_lookup_win.h"

namespace {

nb::Ipv6Address Parsed(const wchar_t* text) { return nb::ParseIPv6(text).value(); }

// An adapter that is down with ::1, one that is up with ::2 (deprecated), ::3 and ::4, listed on
// the second call (the first one's buffer is too small). The route's source wins only as a
// preferred address of an adapter that is up.
TEST(GetLocalIPv6, ChoosesFromTheSystemsAnswers) {
  const wchar_t* texts[] = {L"2a00:1450::1", L"2a00:1450::2", L"2a00:1450::3", L"2a00:1450::4"};
  sockaddr_in6 sockaddrs[4]{};
  IP_ADAPTER_UNICAST_ADDRESS unicast[4]{};
  for (int k = 0; k < 4; ++k) {
    sockaddrs[k].sin6_family = AF_INET6;
    std::memcpy(&sockaddrs[k].sin6_addr, Parsed(texts[k]).bytes.data(), 16);
    unicast[k].Address.lpSockaddr = reinterpret_cast<SOCKADDR*>(&sockaddrs[k]);
    unicast[k].DadState = k == 1 ? IpDadStateDeprecated : IpDadStatePreferred;
    if (k >= 2) unicast[k - 1].Next = &unicast[k];
  }
  IP_ADAPTER_ADDRESSES adapters[2]{};
  adapters[0].Next = &adapters[1];
  adapters[0].FirstUnicastAddress = &unicast[0];
  adapters[0].OperStatus = IfOperStatusDown;
  adapters[1].FirstUnicastAddress = &unicast[1];
  adapters[1].OperStatus = IfOperStatusUp;
  const auto list = [&adapters](void* buffer, unsigned long* size) -> unsigned long {
    constexpr unsigned long kNeeded = 40 * 1024;
    if (*size < kNeeded) {
      *size = kNeeded;
      return ERROR_BUFFER_OVERFLOW;
    }
    std::memcpy(buffer, &adapters[0], sizeof adapters[0]);  // the rest lies where it points to
    return NO_ERROR;
  };
  const std::pair<const wchar_t*, const wchar_t*> routeAndChoice[] = {
      {L"2a00:1450::4", L"2a00:1450::4"}, {L"2a00:1450::1", L"2a00:1450::3"}, {L"2a00:1450::2", L"2a00:1450::3"}};
  for (const auto& [route, expected] : routeAndChoice) {
    const std::optional<std::wstring> found = nb::GetLocalIPv6([route] { return nb::ParseIPv6(route); }, list);
    EXPECT_EQ(found.value_or(L"nothing"), expected) << route;
  }
}

// A failed system call never fails the run. Without the adapter list (a call that fails, or a list
// that keeps growing) a global route source stands alone; a route lookup whose library cannot be
// loaded gives nothing.
TEST(GetLocalIPv6, GetsOverFailedSystemCalls) {
  const auto failing = [](void*, unsigned long*) -> unsigned long { return ERROR_NOT_ENOUGH_MEMORY; };
  const auto growing = [](void*, unsigned long* size) -> unsigned long {
    *size += 1024;
    return ERROR_BUFFER_OVERFLOW;
  };
  const auto route = [](const wchar_t* text) { return [text] { return nb::ParseIPv6(text); }; };
  const auto unloadable = []() -> std::optional<nb::Ipv6Address> { throw nb::AppError(48, L"no library"); };
  EXPECT_EQ(nb::GetLocalIPv6(route(L"2a00:1450::4"), failing), L"2a00:1450::4");
  EXPECT_EQ(nb::GetLocalIPv6(route(L"2a00:1450::4"), growing), L"2a00:1450::4");
  EXPECT_EQ(nb::GetLocalIPv6(route(L"fe80::4"), failing), std::nullopt);
  EXPECT_EQ(nb::GetLocalIPv6(unloadable, failing), std::nullopt);
}

}  // namespace
