#include <winsock2.h>
#include <ws2tcpip.h>

#include "support/loopback_socket_win.h"

#include <stdexcept>

namespace nbtest {
namespace {

class WinsockUser {
 public:
  WinsockUser() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
  }
  ~WinsockUser() { WSACleanup(); }
};

}  // namespace

std::uintptr_t LoopbackSocket(unsigned short& port, bool ipv6, int backlog) {
  static WinsockUser winsock;
  const SOCKET s = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) throw std::runtime_error("socket failed");
  sockaddr_storage address{};
  int length = ipv6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
  if (ipv6) {
    auto& in6 = reinterpret_cast<sockaddr_in6&>(address);
    in6.sin6_family = AF_INET6;
    in6.sin6_addr = in6addr_loopback;
  } else {
    auto& in4 = reinterpret_cast<sockaddr_in&>(address);
    in4.sin_family = AF_INET;
    in4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  }
  if (bind(s, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      (backlog > 0 && listen(s, backlog) != 0)) {
    closesocket(s);
    throw std::runtime_error("no loopback port to listen on");
  }
  // The port lies at the same place in both address forms.
  port = ntohs(reinterpret_cast<sockaddr_in&>(address).sin_port);
  return s;
}

std::optional<std::uintptr_t> NextConnection(std::uintptr_t listener, const std::function<bool()>& stopping) {
  const SOCKET s = static_cast<SOCKET>(listener);
  while (!stopping()) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval wait{0, 20 * 1000};
    if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
    const SOCKET connection = accept(s, nullptr, nullptr);
    if (connection != INVALID_SOCKET) return connection;
  }
  return std::nullopt;
}

}  // namespace nbtest
