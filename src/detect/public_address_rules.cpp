// The rules of the public-address chain; no Windows header.
#include <cstddef>

#include "detect/ipv6_address.h"
#include "detect/isip.h"
#include "detect/public_address.h"
#include "base/app_error.h"
#include "base/text_util.h"

namespace nb {

ServiceSettings DefaultServiceSettings() {
  ServiceSettings settings;
  // Large, always-reachable sites and address-echo services that answer a plain GET with the
  // caller's IPv4 address as text.
  settings.probeUrl = L"https://www.msftconnecttest.com/";
  settings.services = {{
      {L"https://api.ipify.org", L"api.ipify.org", L"frmMain GetPublicIP"},
      {L"https://checkip.amazonaws.com", L"checkip.amazonaws.com", L"frmMain GetPublicIP2"},
      {L"https://ipv4.icanhazip.com", L"ipv4.icanhazip.com", L"frmMain GetPublicIP3"},
      {L"https://ifconfig.me/ip", L"ifconfig.me", L"frmMain GetPublicIP4"},
  }};
  // IPv6-only sites: each has no IPv4 address, so an answer comes over IPv6 or not at all.
  settings.probe6Url = L"https://ipv6.msftconnecttest.com/";
  settings.services6 = {{
      {L"https://api6.ipify.org", L"api6.ipify.org", L"frmMain GetPublicIPv6"},
      {L"https://ipv6.icanhazip.com", L"ipv6.icanhazip.com", L"frmMain GetPublicIPv6_2"},
      {L"https://v6.ident.me", L"v6.ident.me", L"frmMain GetPublicIPv6_3"},
  }};
  return settings;
}

namespace {

// The stored text when it is present and not blank.
bool StoredValue(const std::function<std::optional<std::wstring>(std::wstring_view)>& read, std::wstring_view name,
                 std::wstring& value) {
  const std::optional<std::wstring> stored = read(name);
  if (!stored) return false;
  std::wstring text(Trim(*stored));
  if (text.empty()) return false;
  value = std::move(text);
  return true;
}

}  // namespace

ServiceSettings ApplyServiceOverrides(ServiceSettings settings,
                                      const std::function<std::optional<std::wstring>(std::wstring_view)>& read) {
  std::wstring value;
  if (StoredValue(read, kProbeUrlValue, value)) settings.probeUrl = value;
  if (StoredValue(read, kProbe6UrlValue, value)) settings.probe6Url = value;
  const auto replace = [&](auto& services, const auto& valueNames) {
    for (std::size_t i = 0; i < services.size(); ++i) {
      if (!StoredValue(read, valueNames[i], value)) continue;
      services[i].url = value;
      services[i].displayLabel = HostLabelOfUrl(value);
    }
  };
  replace(settings.services, kServiceUrlValues);
  replace(settings.services6, kService6UrlValues);
  return settings;
}

std::wstring HostLabelOfUrl(std::wstring_view url) {
  std::size_t start = 0;
  const std::size_t scheme = url.find(L"://");
  if (scheme != std::wstring_view::npos) start = scheme + 3;
  std::wstring_view authority = url.substr(start);
  authority = authority.substr(0, authority.find_first_of(L"/?#"));
  const std::size_t at = authority.rfind(L'@');
  if (at != std::wstring_view::npos) authority.remove_prefix(at + 1);
  // An empty port ("host:/") names no port. A bracketed IPv6 host keeps its colons.
  if (!authority.empty() && authority.back() == L':') authority.remove_suffix(1);
  if (authority.empty()) return std::wstring(url);
  return std::wstring(authority);
}

std::wstring TryingText(const PublicService& service) { return L"Trying " + service.displayLabel + L" ..."; }

std::wstring Answer6Result(std::wstring_view answer) {
  return PublicIPv6Answer(answer).value_or(kAccessError);
}

std::wstring AnswerResult(std::wstring_view answer) {
  std::wstring text;
  text.reserve(answer.size());
  for (const wchar_t c : answer) {
    if (c != L'\n' && c != L'\r') text += c;
  }
  if (IsIP(text)) return text;
  return kAccessError;
}

}  // namespace nb
