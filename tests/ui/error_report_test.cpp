#include <gtest/gtest.h>

#include <stdexcept>

#include "ui/app_error.h"
#include "ui/layout.h"
#include "ui/text_util.h"

namespace {

TEST(ErrorReportText, HasSevenLinesInTheAgreedOrder) {
  const nb::AppError error(48, L"Error in loading DLL");
  const std::wstring text = nb::ErrorReportText(error, L"frmMain Sub showIPs");
  const auto lines = nb::SplitKeepEmpty(text, L'\n');
  ASSERT_EQ(lines.size(), 7u);
  for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].back(), L'\r') << "line " << i + 1;
  EXPECT_EQ(lines[0], L"An error has occurred:\r");
  EXPECT_EQ(lines[1], L"\r");
  EXPECT_EQ(lines[2].substr(lines[2].size() - 2), L":\r");
  EXPECT_EQ(lines[3], L"Error 48 - Error in loading DLL\r");
  EXPECT_EQ(lines[4], L"frmMain Sub showIPs\r");
  EXPECT_EQ(lines[5], L"\r");
  EXPECT_EQ(lines[6], nb::kReportToMakerHint);
}

TEST(ErrorReportText, NegativeNumbersHaveNoBlankBeforeThem) {
  const nb::AppError error(nb::kProgramErrorBase, L"Own failure");
  const std::wstring text = nb::ErrorReportText(error, L"Sub updateLOG", L"Hint");
  EXPECT_NE(text.find(L"\r\nError-2147221504 - Own failure\r\n"), std::wstring::npos);
  EXPECT_EQ(text.substr(text.size() - 4), L"Hint");
}

TEST(CurrentError, TurnsWhatIsInFlightIntoAnError) {
  try {
    throw nb::AppError(53, L"File not found", L"x.hlp", 3);
  } catch (...) {
    const nb::AppError e = nb::CurrentError();
    EXPECT_EQ(e.number, 53);
    EXPECT_EQ(e.helpFile, L"x.hlp");
    EXPECT_EQ(e.helpContext, 3u);
  }
  try {
    throw std::runtime_error("disk full");
  } catch (...) {
    const nb::AppError e = nb::CurrentError();
    EXPECT_EQ(e.number, nb::kProgramErrorBase);
    EXPECT_EQ(e.description, L"disk full");
  }
}

struct TwipsCase {
  int twips;
  int dpi;
  int pixels;
};

class TwipsTable : public testing::TestWithParam<TwipsCase> {};

TEST_P(TwipsTable, ConvertsToTheNearestPixel) {
  EXPECT_EQ(nb::TwipsToPixels(GetParam().twips, GetParam().dpi), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Layouts, TwipsTable,
                         testing::Values(TwipsCase{2295, 96, 153}, TwipsCase{1980, 96, 132}, TwipsCase{105, 96, 7},
                                         TwipsCase{2295, 144, 230}, TwipsCase{2295, 192, 306}, TwipsCase{15, 120, 1},
                                         TwipsCase{7, 96, 0}, TwipsCase{8, 96, 1}, TwipsCase{0, 96, 0},
                                         TwipsCase{-15, 96, -1}));

TEST(Text, StripNullAndTrim) {
  EXPECT_EQ(nb::StripNull(std::wstring_view(L"abc", 3)), L"abc");
  EXPECT_EQ(nb::StripNull(std::wstring_view(L"\0abc", 4)), L"");
  EXPECT_EQ(nb::StripNull(std::string_view("10.0.0.5\0\0\0", 11)), "10.0.0.5");
  EXPECT_EQ(nb::TrimSpaces(L"  a b  "), L"a b");
  EXPECT_EQ(nb::TrimSpaces(L"   "), L"");
  EXPECT_EQ(nb::TrimSpaces(L"\ta\t"), L"\ta\t");  // only spaces are trimmed
}

}  // namespace
