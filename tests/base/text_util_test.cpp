#include <gtest/gtest.h>

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

}  // namespace
