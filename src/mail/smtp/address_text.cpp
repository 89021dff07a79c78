#include "mail/smtp/address_text.h"

#include "base/text_util.h"
#include "mail/smtp/charsets.h"

namespace nb::mail {
namespace {

std::u32string_view TrimBlanks(std::u32string_view text) { return Trim(text, TrimEnds::Both, U" \t\r\n"); }

// One entry of a list, already split: the display name and the address.
std::optional<MailAddress> ParseEntry(std::u32string_view entry) {
  std::u32string_view name;
  std::u32string_view address = entry;
  const std::size_t open = entry.rfind(U'<');  // the last: a quoted name may hold one
  if (open != std::u32string_view::npos) {
    const std::size_t close = entry.find(U'>', open);
    if (close == std::u32string_view::npos || !TrimBlanks(entry.substr(close + 1)).empty()) return std::nullopt;
    name = entry.substr(0, open);
    address = entry.substr(open + 1, close - open - 1);
  }
  name = TrimBlanks(name);
  if (name.size() >= 2 && name.front() == U'"' && name.back() == U'"') {
    name = name.substr(1, name.size() - 2);
  } else if (name.find_first_of(U"@:<>;\"\\\r\n") != std::u32string_view::npos) {
    // Not a name: an address or a command in front of the real address would send the mail to
    // someone the user did not see.
    return std::nullopt;
  }
  address = TrimBlanks(address);
  if (!IsMailboxAddress(address)) return std::nullopt;
  MailAddress result;
  for (char32_t c : name) result.name += (c < 0x20 || c == 0x7F) ? U' ' : c;
  result.address.assign(address.begin(), address.end());
  return result;
}

// Hex digits, colons, dots (an embedded IPv4 address) and a zone after "%"; at least one colon.
bool IsIpv6Text(std::string_view host) {
  if (host.find(':') == std::string_view::npos) return false;
  return host.find_first_not_of("0123456789abcdefABCDEF:.%") == std::string_view::npos;
}

}  // namespace

bool IsMailboxAddress(std::u32string_view address) {
  if (address.empty() || address.size() > 254) return false;
  std::size_t at = std::u32string_view::npos;
  for (std::size_t i = 0; i < address.size(); ++i) {
    const char32_t c = address[i];
    if (c <= 0x20 || c >= 0x7F) return false;
    if (std::u32string_view(U"<>()\",;:\\").find(c) != std::u32string_view::npos) return false;
    if (c == U'@') {
      if (at != std::u32string_view::npos) return false;
      at = i;
    }
  }
  return at != std::u32string_view::npos && at > 0 && at + 1 < address.size();
}

RecipientList ParseRecipients(std::wstring_view text) {
  const std::u32string all = CodePoints(text);
  RecipientList list;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= all.size(); ++i) {
    if (i < all.size()) {
      if (all[i] == U'"') quoted = !quoted;
      if (quoted || (all[i] != U',' && all[i] != U';')) continue;
    }
    const std::u32string_view entry = TrimBlanks(std::u32string_view(all).substr(start, i - start));
    start = i + 1;
    if (entry.empty()) continue;
    if (std::optional<MailAddress> parsed = ParseEntry(entry)) {
      list.entries.push_back(std::move(*parsed));
    } else if (list.invalid.empty()) {
      for (char32_t c : entry) list.invalid += static_cast<wchar_t>(c > 0xFFFF ? U'?' : c);
    }
  }
  return list;
}

std::optional<ServerAddress> ParseServerText(std::wstring_view wide) {
  std::string text;
  for (wchar_t c : wide) {
    if (c <= 0x20 || c >= 0x7F) return std::nullopt;
    text += static_cast<char>(c);
  }
  ServerAddress server;
  std::string_view rest = text;
  std::string_view portText;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    server.host = std::string(rest.substr(1, close - 1));
    server.ipLiteral = true;
    rest.remove_prefix(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      portText = rest.substr(1);
      if (portText.empty()) return std::nullopt;
    }
    if (!IsIpv6Text(server.host)) return std::nullopt;
  } else {
    const std::size_t colon = rest.find(':');
    if (colon != std::string_view::npos && rest.find(':', colon + 1) != std::string_view::npos) {
      // A bare IPv6 address.
      server.host = std::string(rest);
      server.ipLiteral = true;
      if (!IsIpv6Text(server.host)) return std::nullopt;
    } else {
      server.host = std::string(rest.substr(0, colon));
      if (colon != std::string_view::npos) {
        portText = rest.substr(colon + 1);
        if (portText.empty()) return std::nullopt;
      }
      for (char c : server.host) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
                        c == '.' || c == '_';
        if (!ok) return std::nullopt;
      }
      server.ipLiteral = !server.host.empty() &&
                         server.host.find_first_not_of("0123456789.") == std::string::npos;
    }
  }
  if (server.host.empty() || server.host.size() > 253) return std::nullopt;
  if (!portText.empty()) {
    if (portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    server.port = static_cast<unsigned>(std::stoul(std::string(portText)));
    if (server.port < 1 || server.port > 65535) return std::nullopt;
  }
  return server;
}

}  // namespace nb::mail
