// What the loopback servers of the tests share: a listening socket on an ephemeral port of
// 127.0.0.1 or ::1, and the wait for its next connection that gives up when the server stops.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace nbtest {

// A socket bound to an ephemeral port of 127.0.0.1 (or ::1), listening unless `backlog` is 0;
// Winsock stays started for the rest of the program. Throws when the port cannot be had.
std::uintptr_t LoopbackSocket(unsigned short& port, bool ipv6 = false, int backlog = 0);

// The next connection to `listener`; nothing once `stopping` says so. It looks every 20 ms, so a
// server's destructor is never kept waiting long.
std::optional<std::uintptr_t> NextConnection(std::uintptr_t listener, const std::function<bool()>& stopping);

}  // namespace nbtest
