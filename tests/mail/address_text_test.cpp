#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail/smtp/address_text.h"

namespace {

using nb::mail::ParseRecipients;
using nb::mail::ParseServerText;

struct RecipientCase {
  const wchar_t* text;
  std::vector<std::string> addresses;
  const char32_t* firstName;  // display name of the first entry
  const wchar_t* invalid;
};

class Recipients : public testing::TestWithParam<RecipientCase> {};

TEST_P(Recipients, SplitsAndTakesTheAddresses) {
  const RecipientCase& c = GetParam();
  const nb::mail::RecipientList list = ParseRecipients(c.text);
  std::vector<std::string> addresses;
  for (const auto& entry : list.entries) addresses.push_back(entry.address);
  EXPECT_EQ(addresses, c.addresses);
  if (!list.entries.empty()) {
    EXPECT_EQ(list.entries.front().name, std::u32string(c.firstName));
  }
  EXPECT_EQ(list.invalid, std::wstring(c.invalid));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, Recipients,
    testing::Values(
        RecipientCase{L"", {}, U"", L""}, RecipientCase{L"   ", {}, U"", L""}, RecipientCase{L" , ,", {}, U"", L""},
        RecipientCase{L"a@example.com", {"a@example.com"}, U"", L""},
        RecipientCase{L"  a@example.com ,b@example.org,", {"a@example.com", "b@example.org"}, U"", L""},
        RecipientCase{L"Ann Lee <ann@example.com>, <bo@example.com>", {"ann@example.com", "bo@example.com"},
                      U"Ann Lee", L""},
        RecipientCase{L"\"Lee, Ann\" <ann@example.com>; c@example.com", {"ann@example.com", "c@example.com"},
                      U"Lee, Ann", L""},
        RecipientCase{L"Jos\u00e9 <j@example.com>", {"j@example.com"}, U"Jos\u00e9", L""},
        // Not addresses: no "@", blanks inside, text after ">", a missing ">", non-ASCII, line breaks.
        RecipientCase{L"a@example.com, nobody", {"a@example.com"}, U"", L"nobody"},
        RecipientCase{L"a b@example.com", {}, U"", L"a b@example.com"},
        RecipientCase{L"Ann <a@example.com> x", {}, U"", L"Ann <a@example.com> x"},
        RecipientCase{L"Ann <a@example.com", {}, U"", L"Ann <a@example.com"},
        RecipientCase{L"j\u00f6@example.com", {}, U"", L"j\u00f6@example.com"},
        RecipientCase{L"a@exa\r\nmple.com", {}, U"", L"a@exa\r\nmple.com"},
        RecipientCase{L"@example.com, a@", {}, U"", L"@example.com"},
        // A name that is not one: an address or a command in front of the real address.
        RecipientCase{L"r@example.test\r\nRCPT TO:<evil@evil.test>", {}, U"",
                      L"r@example.test\r\nRCPT TO:<evil@evil.test>"},
        RecipientCase{L"r@example.test RCPT TO:<evil@evil.test>", {}, U"", L"r@example.test RCPT TO:<evil@evil.test>"},
        RecipientCase{L"Ann \\ Lee <a@example.com>", {}, U"", L"Ann \\ Lee <a@example.com>"},
        RecipientCase{L"Ann \"Lee\" <a@example.com>", {}, U"", L"Ann \"Lee\" <a@example.com>"},
        RecipientCase{L"\"r@example.test: <x>\" <a@example.com>", {"a@example.com"}, U"r@example.test: <x>", L""}));

struct ServerCase {
  const wchar_t* text;
  bool valid;
  const char* host;
  unsigned port;
};

class Servers : public testing::TestWithParam<ServerCase> {};

TEST_P(Servers, ReadsHostAndPort) {
  const ServerCase& c = GetParam();
  const auto server = ParseServerText(c.text);
  ASSERT_EQ(server.has_value(), c.valid);
  if (!server) return;
  EXPECT_EQ(server->host, c.host);
  EXPECT_EQ(server->port, c.port);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Servers,
    testing::Values(ServerCase{L"mail.example.com", true, "mail.example.com", 25},
                    ServerCase{L"mail.example.com:587", true, "mail.example.com", 587},
                    ServerCase{L"192.0.2.7:465", true, "192.0.2.7", 465}, ServerCase{L"[::1]:2525", true, "::1", 2525},
                    ServerCase{L"[2001:db8::5]", true, "2001:db8::5", 25}, ServerCase{L"2001:db8::5", true, "2001:db8::5", 25},
                    ServerCase{L"host:65535", true, "host", 65535}, ServerCase{L"", false, "", 0},
                    ServerCase{L":25", false, "", 0}, ServerCase{L"host:", false, "", 0},
                    ServerCase{L"host:0", false, "", 0}, ServerCase{L"host:65536", false, "", 0},
                    ServerCase{L"host:25x", false, "", 0}, ServerCase{L"host:-1", false, "", 0},
                    ServerCase{L"[::1", false, "", 0}, ServerCase{L"[::1]x", false, "", 0},
                    ServerCase{L"[mail.example.com]:25", false, "", 0}, ServerCase{L"ma il", false, "", 0},
                    ServerCase{L"m\u00e4il.example.com", false, "", 0}, ServerCase{L"host/x", false, "", 0}));

}  // namespace
