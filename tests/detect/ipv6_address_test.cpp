#include "detect/ipv6_address.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

nb::Ipv6Address Address(const wchar_t* text) { return nb::ParseIPv6(text).value(); }

// Each text with its canonical form, or nullptr when it is refused.
TEST(Ipv6Address, ParseAndCanonicalForm) {
  const struct {
    const wchar_t* text;
    const wchar_t* canonical;
  } cases[] = {
      {L"2001:0DB8:0000:0000:0000:0000:0000:0001", L"2001:db8::1"}, {L"::", L"::"}, {L"::1", L"::1"},
      {L"1::", L"1::"}, {L"a:0:0:b:0:0:c:d", L"a::b:0:0:c:d"}, {L"a:0:0:b:0:0:0:d", L"a:0:0:b::d"},
      {L"1:0:2:3:4:5:6:7", L"1:0:2:3:4:5:6:7"}, {L"1:2:3:4:5:6:7::", L"1:2:3:4:5:6:7:0"},
      {L"::2:3:4:5:6:7:8", L"0:2:3:4:5:6:7:8"}, {L"0:0:0:0:0:0:0:0", L"::"}, {L"FE80::aBc", L"fe80::abc"},
      {L"::ffff:192.0.2.1", L"::ffff:192.0.2.1"}, {L"::FFFF:c000:201", L"::ffff:192.0.2.1"},
      {L"::ffff:0:0", L"::ffff:0.0.0.0"}, {L"64:ff9b::192.0.2.33", L"64:ff9b::c000:221"},
      {L"1:2:3:4:5:6:001.2.3.255", L"1:2:3:4:5:6:102:3ff"}, {L"1::ffff:1.2.3.4", L"1::ffff:102:304"},
      {L"", nullptr}, {L":", nullptr}, {L":::", nullptr}, {L":1::", nullptr}, {L"1::2:", nullptr},
      {L":1:2:3:4:5:6:7", nullptr}, {L"1:2:3:4:5:6:7:", nullptr}, {L"1:2:3:4:5:6:7", nullptr},
      {L"1:2:3:4:5:6:7:8:9", nullptr}, {L"1:2:3:4::5:6:7:8", nullptr}, {L"1::2::3", nullptr},
      {L"12345::", nullptr}, {L"g::", nullptr}, {L"fe80::1%eth0", nullptr}, {L"[::1]", nullptr},
      {L"2001:db8::/64", nullptr}, {L" ::1", nullptr}, {L"::1 ", nullptr}, {L"::1\n", nullptr},
      {L"1.2.3.4", nullptr}, {L"1.2.3.4::", nullptr}, {L"::1.2.3.4:5", nullptr}, {L"::1.2.3.256", nullptr},
      {L"::1.2.3", nullptr}, {L"::1.2.3.0004", nullptr}, {L"::+1.2.3.4", nullptr}, {L"::1.2. 3.4", nullptr},
      {L"1:2:3:4:5:6:7:1.2.3.4", nullptr}, {L"\xff11::", nullptr},  // a full-width digit
  };
  for (const auto& c : cases) {
    const auto address = nb::ParseIPv6(c.text);
    ASSERT_EQ(address.has_value(), c.canonical != nullptr) << c.text;
    if (address) {
      EXPECT_EQ(nb::FormatIPv6(*address), c.canonical) << c.text;
    }
  }
}

TEST(Ipv6Address, GlobalByRange) {
  const struct {
    const wchar_t* text;
    bool global;
  } cases[] = {
      {L"2000::", true}, {L"2a00:1450::1", true}, {L"3fff:1000::", true}, {L"2001:db9::", true},
      {L"1fff:ffff::", false}, {L"4000::", false}, {L"2001:db8:ffff::", false}, {L"3fff:fff::", false},
      {L"fe80::1", false}, {L"::1", false}, {L"::", false}, {L"fc00::1", false}, {L"fd12::1", false},
      {L"ff02::1", false}, {L"fec0::1", false}, {L"::ffff:8.8.8.8", false}, {L"::8.8.8.8", false},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::IsGlobalIPv6(Address(c.text)), c.global) << c.text;
}

TEST(Ipv6Address, PublicAnswer) {
  const struct {
    const wchar_t* body;
    const wchar_t* result;
  } cases[] = {
      {L"2a00:1450::1", L"2a00:1450::1"}, {L"2A00:1450:0:0:0:0:0:1\r\n", L"2a00:1450::1"},
      {L"2a00:1450::1\n\r\n\n", L"2a00:1450::1"}, {L"\n2a00:1450::1", nullptr}, {L"2a00:1450::1\nx", nullptr},
      {L"2a00:1450::1 \n", nullptr}, {L" 2a00:1450::1", nullptr}, {L"2a00:1450::1\t", nullptr},
      {L"ip=2a00:1450::1", nullptr}, {L"2a00:1450::1%2\n", nullptr}, {L"fe80::1\n", nullptr},
      {L"2001:db8::1\n", nullptr}, {L"fd00::1", nullptr}, {L"192.0.2.1\n", nullptr}, {L"\r\n", nullptr},
  };
  for (const auto& c : cases) {
    const auto result = nb::PublicIPv6Answer(c.body);
    ASSERT_EQ(result.has_value(), c.result != nullptr) << c.body;
    if (result) {
      EXPECT_EQ(*result, c.result) << c.body;
    }
  }
}

TEST(Ipv6Address, LanChoice) {
  struct Candidate {
    const wchar_t* address;
    bool up, preferred;
  };
  const wchar_t* a = L"2a00:1::a";
  const wchar_t* b = L"2a00:1::b";
  const struct {
    const wchar_t* route;  // nullptr: the system gave no source
    std::vector<Candidate> candidates;
    const wchar_t* chosen;
  } cases[] = {
      {a, {{b, true, true}, {a, true, true}}, a},
      {a, {}, a},
      {a, {{a, true, false}, {b, true, true}}, b},  // the route's source is deprecated
      {a, {{a, false, true}, {b, true, true}}, b},
      {a, {{b, true, true}}, b},  // a source no adapter lists
      {L"fe80::1", {}, nullptr},
      {L"2001:db8::1", {{L"2001:db8::1", true, true}, {b, true, true}}, b},
      {nullptr, {{L"fe80::1", true, true}, {L"fd00::1", true, true}, {L"::1", true, true}, {b, true, true}}, b},
      {nullptr, {{a, false, true}, {b, true, false}}, nullptr},
  };
  for (const auto& c : cases) {
    std::vector<nb::Ipv6Candidate> candidates;
    for (const Candidate& candidate : c.candidates) {
      candidates.push_back({Address(candidate.address), candidate.up, candidate.preferred});
    }
    const auto route = c.route ? std::optional(Address(c.route)) : std::nullopt;
    const auto chosen = c.chosen ? std::optional(Address(c.chosen)) : std::nullopt;
    EXPECT_EQ(nb::ChooseLanIPv6(route, candidates), chosen) << (c.route ? c.route : L"no route");
  }
}

}  // namespace
