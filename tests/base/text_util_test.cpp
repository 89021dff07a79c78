#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/text_util.h"

namespace {

TEST(StripNull, CutsAtTheFirstNul) {
  EXPECT_EQ(nb::StripNull(std::wstring_view(L"abc", 3)), L"abc");
  EXPECT_EQ(nb::StripNull(std::wstring_view(L"\0abc", 4)), L"");
  EXPECT_EQ(nb::StripNull(std::string_view("10.0.0.5\0\0\0", 11)), "10.0.0.5");
}

struct TrimCase {
  const wchar_t* text;
  nb::TrimEnds ends;
  const wchar_t* characters;
  const wchar_t* trimmed;
};

class TrimTable : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimTable, RemovesTheCharactersAtTheEndsNamed) {
  const TrimCase& c = GetParam();
  EXPECT_EQ(std::wstring(nb::Trim(c.text, c.ends, c.characters)), c.trimmed);
}

using nb::TrimEnds;
INSTANTIATE_TEST_SUITE_P(
    Texts, TrimTable,
    testing::Values(TrimCase{L"  a b  ", TrimEnds::Both, L" ", L"a b"}, TrimCase{L"   ", TrimEnds::Both, L" ", L""},
                    TrimCase{L"", TrimEnds::Both, L" ", L""},
                    // Only the characters named: a tab is no blank unless named.
                    TrimCase{L"\ta\t", TrimEnds::Both, L" ", L"\ta\t"},
                    TrimCase{L" \ta \t", TrimEnds::Both, L" \t", L"a"},
                    TrimCase{L"  a  ", TrimEnds::Leading, L" ", L"a  "},
                    TrimCase{L"  a  ", TrimEnds::Trailing, L" ", L"  a"},
                    TrimCase{L"   ", TrimEnds::Leading, L" ", L""}, TrimCase{L"   ", TrimEnds::Trailing, L" ", L""},
                    TrimCase{L"Access denied.\r\n", TrimEnds::Trailing, L"\r\n ", L"Access denied."}));

struct NumberCase {
  const wchar_t* text;
  bool isNumber;
  double value;
};

class ParseNumberTable : public testing::TestWithParam<NumberCase> {};

TEST_P(ParseNumberTable, RecognisesNumbers) {
  const NumberCase& c = GetParam();
  const auto value = nb::ParseNumber(c.text);
  ASSERT_EQ(value.has_value(), c.isNumber);
  if (c.isNumber) {
    EXPECT_DOUBLE_EQ(*value, c.value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseNumberTable,
    testing::Values(NumberCase{L"0", true, 0}, NumberCase{L"255", true, 255}, NumberCase{L" 7 ", true, 7},
                    NumberCase{L"\t7\t", true, 7}, NumberCase{L"+7", true, 7}, NumberCase{L"-7", true, -7},
                    NumberCase{L"- 7", false, 0}, NumberCase{L"2.5", true, 2.5}, NumberCase{L"5.", true, 5},
                    NumberCase{L".5", true, 0.5}, NumberCase{L"1e2", true, 100}, NumberCase{L"1E+2", true, 100},
                    NumberCase{L"25e-1", true, 2.5}, NumberCase{L"1e", false, 0}, NumberCase{L"e1", false, 0},
                    NumberCase{L"", false, 0}, NumberCase{L"   ", false, 0}, NumberCase{L"+", false, 0},
                    NumberCase{L".", false, 0}, NumberCase{L"7\r", false, 0}, NumberCase{L"0x1F", false, 0},
                    NumberCase{L"1 2", false, 0}, NumberCase{L"1e999", true, HUGE_VAL}));

}  // namespace
