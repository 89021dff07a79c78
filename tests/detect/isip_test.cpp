#include <gtest/gtest.h>

#include <string>

#include "detect/isip.h"

namespace {

struct IpCase {
  const wchar_t* text;
  bool accepted;
};

class IsIPTable : public testing::TestWithParam<IpCase> {};

TEST_P(IsIPTable, JudgesTheText) {
  const IpCase& c = GetParam();
  EXPECT_EQ(nb::IsIP(c.text), c.accepted) << "text: " << testing::PrintToString(std::wstring(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, IsIPTable,
    testing::Values(
        // Well-formed addresses.
        IpCase{L"192.168.0.1", true}, IpCase{L"0.0.0.0", true}, IpCase{L"255.255.255.255", true},
        // Value above 255, wrong piece counts, an empty piece, letters, empty text.
        IpCase{L"256.1.1.1", false}, IpCase{L"1.2.3", false}, IpCase{L"1.2.3.4.5", false}, IpCase{L"1..2.3", false},
        IpCase{L"a.b.c.d", false}, IpCase{L"", false}, IpCase{L"...", false}, IpCase{L"1.2.3.", false},
        // A piece of four characters is too long even when its value is small.
        IpCase{L"0001.2.3.4", false}, IpCase{L"1.2.3.0004", false},
        // Leading blank and sign count towards the three characters.
        IpCase{L" 12.1.1.1", true}, IpCase{L"  12.1.1.1", false}, IpCase{L"+1.2.3.4", true},
        IpCase{L"1.2.3. 4", true}, IpCase{L"1.2.3.4 ", true}, IpCase{L"\t1.2.3.4", true},
        // Lower bound: -1 is refused, -0 equals 0.
        IpCase{L"-1.2.3.4", false}, IpCase{L"-0.1.2.3", true},
        // Exponent forms are numbers.
        IpCase{L"1e2.0.0.1", true}, IpCase{L"1e3.0.0.1", false}, IpCase{L"1e.0.0.1", false},
        // A carriage return is not a blank: a last piece that ends in one is not a number.
        IpCase{L"198.51.100.2\r", false}, IpCase{L"198.51.100.200\r", false}, IpCase{L"1.2.3.4\n", false},
        // Other junk.
        IpCase{L"1.2.3.4x", false}, IpCase{L"1.2.3.+", false}, IpCase{L"1.2.3.- ", false},
        IpCase{L"192.0.2.45", true}));

}  // namespace
