#include "detect/ipv6_address.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// nullptr in the tables stands for nothing.
std::optional<std::wstring> Text(const wchar_t* text) {
  return text ? std::optional<std::wstring>(text) : std::nullopt;
}

std::optional<nb::Ipv6Address> Address(const wchar_t* text) { return text ? nb::ParseIPv6(text) : std::nullopt; }

// Each text with its canonical form, nullptr when it is refused.
TEST(Ipv6Address, ParseAndCanonicalForm) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"2001:0DB8:0000:0000:0000:0000:0000:0001", L"2001:db8::1"}, {L"::", L"::"}, {L"::1", L"::1"}, {L"1::", L"1::"},
      {L"a:0:0:b:0:0:c:d", L"a::b:0:0:c:d"}, {L"a:0:0:b:0:0:0:d", L"a:0:0:b::d"}, {L"FE80::aBc", L"fe80::abc"},
      {L"1:0:2:3:4:5:6:7", L"1:0:2:3:4:5:6:7"}, {L"1:2:3:4:5:6:7::", L"1:2:3:4:5:6:7:0"},
      {L"::2:3:4:5:6:7:8", L"0:2:3:4:5:6:7:8"}, {L"::FFFF:c000:201", L"::ffff:192.0.2.1"},
      {L"::ffff:0:0", L"::ffff:0.0.0.0"}, {L"64:ff9b::192.0.2.33", L"64:ff9b::c000:221"},
      {L"1:2:3:4:5:6:001.2.3.255", L"1:2:3:4:5:6:102:3ff"}, {L"1::ffff:1.2.3.4", L"1::ffff:102:304"},
      {L"", nullptr}, {L":", nullptr}, {L":::", nullptr}, {L":1::", nullptr}, {L"1::2:", nullptr}, {L"g::", nullptr},
      {L":1:2:3:4:5:6:7", nullptr}, {L"1:2:3:4:5:6:7:", nullptr}, {L"1:2:3:4:5:6:7", nullptr}, {L"12345::", nullptr},
      {L"1:2:3:4:5:6:7:8:9", nullptr}, {L"1:2:3:4::5:6:7:8", nullptr}, {L"1::2::3", nullptr}, {L"[::1]", nullptr},
      {L"fe80::1%eth0", nullptr}, {L"2001:db8::/64", nullptr}, {L" ::1", nullptr}, {L"::1\n", nullptr},
      {L"1.2.3.4", nullptr}, {L"1.2.3.4::", nullptr}, {L"::1.2.3.4:5", nullptr}, {L"::1.2.3.256", nullptr},
      {L"::1.2.3", nullptr}, {L"::1.2.3.0004", nullptr}, {L"::+1.2.3.4", nullptr}, {L"::1.2. 3.4", nullptr},
      {L"1:2:3:4:5:6:7:1.2.3.4", nullptr}, {L"\xff11::", nullptr},  // a full-width digit
  };
  for (const auto& [text, canonical] : cases) {
    const auto address = nb::ParseIPv6(text);
    EXPECT_EQ(address ? std::optional(nb::FormatIPv6(*address)) : std::nullopt, Text(canonical)) << text;
  }
}

TEST(Ipv6Address, GlobalByRange) {
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"2000::", true}, {L"2a00:1450::1", true}, {L"3fff:1000::", true}, {L"2001:db9::", true},
      {L"1fff:ffff::", false}, {L"4000::", false}, {L"2001:db8:ffff::", false}, {L"3fff:fff::", false},
      {L"fe80::1", false}, {L"::1", false}, {L"::", false}, {L"fc00::1", false}, {L"fd12::1", false},
      {L"ff02::1", false}, {L"fec0::1", false}, {L"::ffff:8.8.8.8", false}, {L"::8.8.8.8", false},
  };
  for (const auto& [text, global] : cases) EXPECT_EQ(nb::IsGlobalIPv6(Address(text).value()), global) << text;
}

TEST(Ipv6Address, PublicAnswer) {
  // The service's answer and the address it gives, nullptr when it is refused.
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"2A00:1450:0:0:0:0:0:1\r\n", L"2a00:1450::1"}, {L"2a00:1450::1\n\r\n\n", L"2a00:1450::1"},
      {L"\n2a00:1450::1", nullptr}, {L"2a00:1450::1\nx", nullptr}, {L"2a00:1450::1 \n", nullptr},
      {L"ip=2a00:1450::1", nullptr}, {L"2a00:1450::1%2\n", nullptr}, {L"fe80::1\n", nullptr},
      {L"192.0.2.1\n", nullptr},
  };
  for (const auto& [body, result] : cases) EXPECT_EQ(nb::PublicIPv6Answer(body), Text(result)) << body;
}

TEST(Ipv6Address, LanChoice) {
  const wchar_t* a = L"2a00:1::a";
  const wchar_t* b = L"2a00:1::b";
  const struct {
    const wchar_t* route;
    std::vector<std::tuple<const wchar_t*, bool, bool>> candidates;  // address, adapter up, preferred
    const wchar_t* chosen;
  } cases[] = {
      {a, {{b, true, true}, {a, true, true}}, a}, {a, {}, a}, {L"fe80::1", {}, nullptr},
      {a, {{a, true, false}, {b, true, true}}, b}, {a, {{a, false, true}, {b, true, true}}, b},
      {a, {{b, true, true}}, b},  // a source that no adapter lists
      {L"2001:db8::1", {{L"2001:db8::1", true, true}, {b, true, true}}, b},
      {nullptr, {{L"fe80::1", true, true}, {L"fd00::1", true, true}, {L"::1", true, true}, {b, true, true}}, b},
      {nullptr, {{a, false, true}, {b, true, false}}, nullptr},
  };
  for (const auto& c : cases) {
    std::vector<nb::Ipv6Candidate> candidates;
    for (const auto& [address, up, preferred] : c.candidates) candidates.push_back({*Address(address), up, preferred});
    EXPECT_EQ(nb::ChooseLanIPv6(Address(c.route), candidates), Address(c.chosen)) << (c.route ? c.route : L"-");
  }
}

}  // namespace
