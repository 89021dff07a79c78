// Fuzzes the readers of recipient lists and server texts: the input is UTF-16 text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "mail/smtp/address_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::wstring text;
  for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  const nb::mail::RecipientList list = nb::mail::ParseRecipients(text);
  for (const nb::mail::MailAddress& entry : list.entries) {
    // Whatever was accepted is safe to put on an SMTP command line.
    NB_FUZZ_CHECK(nb::mail::IsMailboxAddress(std::u32string(entry.address.begin(), entry.address.end())));
    NB_FUZZ_CHECK(entry.address.find_first_of("\r\n <>") == std::string::npos);
  }
  if (const auto server = nb::mail::ParseServerText(text)) {
    NB_FUZZ_CHECK(!server->host.empty() && server->port >= 1 && server->port <= 65535);
    NB_FUZZ_CHECK(server->host.find_first_of("\r\n /[]") == std::string::npos);
  }
  return 0;
}
