#include <gtest/gtest.h>

#include "base/text_util.h"
#include "ui/error_report_text.h"

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

}  // namespace
