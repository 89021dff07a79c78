// Reading the texts the mail window passes: recipient lists, the sender's address and the
// server text. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nb::mail {

struct MailAddress {
  std::u32string name;   // display name, may be empty
  std::string address;   // local@domain, ASCII
};

struct RecipientList {
  std::vector<MailAddress> entries;
  std::wstring invalid;  // the first entry that is not an address (empty when all are)
};

// Splits a recipient list at its commas (and semicolons), except inside double quotes. Each entry
// is "Name <address>", "<address>" or a bare address, blanks trimmed; empty entries are skipped,
// so an empty or blank text is an empty list. A name not in double quotes holds none of
// @ : < > ; " \ and no line break: such an entry is not an address.
RecipientList ParseRecipients(std::wstring_view text);

// A mailbox address we can put in MAIL FROM, RCPT TO and the headers: printable ASCII without
// blanks, quotes, brackets, commas or semicolons, one "@" with text on both sides, at most 254
// characters.
bool IsMailboxAddress(std::u32string_view address);

inline constexpr unsigned kDefaultSmtpPort = 25;
inline constexpr unsigned kImplicitTlsPort = 465;

struct ServerAddress {
  std::string host;  // name or address, without brackets
  unsigned port = kDefaultSmtpPort;
  bool ipLiteral = false;
};

// "host", "host:port", "[IPv6]", "[IPv6]:port", or a bare IPv6 address (more than one colon and
// no brackets: port 25). nullopt for anything else (an empty host, a port that is not 1 to
// 65535, characters that cannot be in a host name).
std::optional<ServerAddress> ParseServerText(std::wstring_view text);

}  // namespace nb::mail
