// The machine's LAN address from the adapter list, and host names by reverse lookup.
#pragma once

#include <string>
#include <string_view>

namespace nb {

// The LAN address, or empty text when no adapter has one. Raises (does not report) an error
// of the platform call, such as run-time error 48 when the IP Helper library is missing.
std::wstring GetLocalIP();
std::wstring GetLocalIP(const wchar_t* ipHelperLibrary);

// The host name of a dotted address, or empty text; failures are told in message boxes.
std::wstring GetHostNameByIP(std::wstring_view address);

// Start and release the sockets library (version 1.1).
bool SocketsStartup();
void SocketsCleanup();

inline constexpr wchar_t kSocketsFailedText[] = L"Sockets failed to initialize.";
inline constexpr wchar_t kInvalidIPText[] = L"String passed is an invalid IP.";
inline constexpr wchar_t kLookupFailedText[] = L"Call to Function gethostbyaddr failed.";
inline constexpr wchar_t kCleanupFailedText[] = L"Windows Sockets error occurred in Cleanup.";

}  // namespace nb
