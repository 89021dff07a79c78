// The machine's LAN address from the adapter list, and host names by reverse lookup.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nb {

class StopSignal;

// The LAN address, or empty text when no adapter has one. Raises (does not report) an error
// of the platform call, such as run-time error 48 when the IP Helper library is missing.
std::wstring GetLocalIP();
std::wstring GetLocalIP(const wchar_t* ipHelperLibrary);

// How long a host-name lookup may take before it counts as failed: as long as a download.
inline constexpr std::chrono::milliseconds kHostNameBound{5000};

// A reverse lookup of an address in network order (4 bytes for IPv4, 16 for IPv6): the host's
// name, or nothing when there is none.
using ReverseLookup = std::function<std::optional<std::string>(std::span<const unsigned char> address)>;

// A message box that a lookup asks its window to show: the text and the box's style.
struct LookupNotice {
  std::wstring text;
  unsigned style = 0;
  friend bool operator==(const LookupNotice&, const LookupNotice&) = default;
};

struct HostNameLookup {
  std::wstring name;                  // empty when none was found
  std::vector<LookupNotice> notices;  // what went wrong, in order, for the window to show
};

// The host name of a dotted address or an IPv6 address, or empty text with the notices that say
// why (a text that is neither is an invalid IP: IPv6 texts are read strictly). Runs on a
// worker: the name service is asked on a thread of its own and waited for at most kHostNameBound
// (or until the stop); a lookup that takes longer counts as failed and is left to end by itself.
// The second form takes the bound and the lookup to use (tests give theirs).
HostNameLookup GetHostNameByIP(std::wstring_view address, const StopSignal* stop = nullptr);
HostNameLookup GetHostNameByIP(std::wstring_view address, std::chrono::milliseconds bound, ReverseLookup lookup,
                               const StopSignal* stop = nullptr);

// Start and release the sockets library (version 1.1); false when the release failed.
bool SocketsStartup();
bool SocketsCleanup();

inline constexpr wchar_t kSocketsFailedText[] = L"Sockets failed to initialize.";
inline constexpr wchar_t kInvalidIPText[] = L"String passed is an invalid IP.";
inline constexpr wchar_t kLookupFailedText[] = L"Call to Function gethostbyaddr failed.";
inline constexpr wchar_t kCleanupFailedText[] = L"Windows Sockets error occurred in Cleanup.";

}  // namespace nb
