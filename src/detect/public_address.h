// The public (WAN) address: a connectivity probe, then up to four address-echo web services
// asked in order until one answers with a well-formed dotted address; and, on a machine with a
// global IPv6 address, the same over IPv6: its own probe and three IPv6-only services.
//
// The rules of the chain (service table, overrides, labels, judging an answer, the order of
// asking); asking the services is detect/public_address_win.h.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nb {

// What a service procedure returns, and what the WAN label shows, when no address was found.
inline constexpr wchar_t kAccessError[] = L"Access error";

// The progress text shown while the connectivity probe runs.
inline constexpr wchar_t kConnectNotice[] = L"Trying to connect to the internet ...";

// An answer longer than this is refused without being read.
inline constexpr std::size_t kMaxAnswerBytes = 4096;

// The scratch file that each service's answer is downloaded into, in the data folder.
inline constexpr wchar_t kAnswerFileName[] = L"ip.txt";

// Registry values (under the program key) that replace the default probe and services.
inline constexpr wchar_t kProbeUrlValue[] = L"ProbeURL";
inline constexpr std::array<const wchar_t*, 4> kServiceUrlValues = {L"ServiceURL1", L"ServiceURL2", L"ServiceURL3",
                                                                     L"ServiceURL4"};
inline constexpr wchar_t kProbe6UrlValue[] = L"Probe6URL";
inline constexpr std::array<const wchar_t*, 3> kService6UrlValues = {L"Service6URL1", L"Service6URL2",
                                                                      L"Service6URL3"};

// The progress text shown while the IPv6 probe runs.
inline constexpr wchar_t kConnect6Notice[] = L"Trying to connect to the internet over IPv6 ...";

struct PublicService {
  std::wstring url;
  std::wstring displayLabel;  // named in the progress text "Trying <label> ..."
  std::wstring reportLabel;   // procedure label of its error report, "frmMain GetPublicIP" ...
};

struct ServiceSettings {
  std::wstring probeUrl;
  std::array<PublicService, 4> services;
  std::wstring probe6Url;
  std::array<PublicService, 3> services6;  // IPv6-only services
  // How long the probe and each download may take before they are given up.
  std::chrono::milliseconds bound{5000};
};

// The built-in probe site and services.
ServiceSettings DefaultServiceSettings();

// Replaces the probe URL and service URLs by stored values. `read` gives a value's text by
// name, or nothing when it is missing; a missing or blank value keeps the default. A replaced
// service is labelled with its URL's host (and port, when one is written).
ServiceSettings ApplyServiceOverrides(ServiceSettings settings,
                                      const std::function<std::optional<std::wstring>(std::wstring_view)>& read);

// The host of a URL, followed by ":port" when the URL names a port; user information is left
// out. A URL without a host gives the URL itself, so that a label is never empty.
std::wstring HostLabelOfUrl(std::wstring_view url);

// "Trying " + display label + " ...".
std::wstring TryingText(const PublicService& service);

// Judges a downloaded answer: every line feed and carriage return is removed; the rest is the
// result when it is a well-formed address, otherwise kAccessError.
std::wstring AnswerResult(std::wstring_view answer);

// Judges an IPv6 service's answer: its canonical text when it is a global IPv6 address, written
// strictly (PublicIPv6Answer), otherwise kAccessError.
std::wstring Answer6Result(std::wstring_view answer);

}  // namespace nb
