// The machine's LAN address from the adapter list, and host names by reverse lookup.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nb {

// The LAN address, or empty text when no adapter has one. Raises (does not report) an error
// of the platform call, such as run-time error 48 when the IP Helper library is missing.
std::wstring GetLocalIP();
std::wstring GetLocalIP(const wchar_t* ipHelperLibrary);

// How long a host-name lookup may take before it counts as failed: as long as a download.
inline constexpr std::chrono::milliseconds kHostNameBound{5000};

// A reverse lookup of a network-order IPv4 value: the host's name, or nothing when there is none.
using ReverseLookup = std::function<std::optional<std::string>(unsigned long address)>;

// The host name of a dotted address, or empty text; failures are told in message boxes. The name
// service is asked on a worker thread while the calling (user-interface) thread waits for at most
// kHostNameBound and lets its windows paint; a lookup that takes longer counts as failed and is
// left to end by itself. The second form takes the bound and the lookup to use (tests give theirs).
std::wstring GetHostNameByIP(std::wstring_view address);
std::wstring GetHostNameByIP(std::wstring_view address, std::chrono::milliseconds bound, ReverseLookup lookup);

// Start and release the sockets library (version 1.1).
bool SocketsStartup();
void SocketsCleanup();

inline constexpr wchar_t kSocketsFailedText[] = L"Sockets failed to initialize.";
inline constexpr wchar_t kInvalidIPText[] = L"String passed is an invalid IP.";
inline constexpr wchar_t kLookupFailedText[] = L"Call to Function gethostbyaddr failed.";
inline constexpr wchar_t kCleanupFailedText[] = L"Windows Sockets error occurred in Cleanup.";

}  // namespace nb
