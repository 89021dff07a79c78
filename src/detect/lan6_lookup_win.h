// The machine's LAN IPv6 address: the source address the system would use towards the internet,
// checked against the unicast addresses of the adapters.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "detect/ipv6_address.h"

namespace nb {

// The source address the system picks for a datagram socket connected to a public IPv6 address
// (no packet is sent); nothing when it picks none, as on a machine without an IPv6 route.
using RouteSourceCall = std::function<std::optional<Ipv6Address>()>;

// The system's adapter list for IPv6 (GetAdaptersAddresses): fills the `*size` bytes at `buffer`
// with the adapters' records and sets `*size` to the bytes they need; returns 0 or a system error
// code (111 when the buffer is too small, 232 when no adapter has an address).
using AdapterAddressesCall = std::function<unsigned long(void* buffer, unsigned long* size)>;

// The LAN IPv6 address in its canonical text (ChooseLanIPv6 over what the system answers), or
// nothing when the machine has no global IPv6 address. Never raises: a failed system call counts
// as an empty answer, and a library that cannot be loaded leaves a trace and gives nothing.
// Runs on a worker: the sockets and IP Helper libraries are loaded at first use.
std::optional<std::wstring> GetLocalIPv6();
// The same from other answers (tests give their own).
std::optional<std::wstring> GetLocalIPv6(const RouteSourceCall& routeSource, const AdapterAddressesCall& adapters);

}  // namespace nb
