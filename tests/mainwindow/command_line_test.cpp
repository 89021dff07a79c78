#include <gtest/gtest.h>

#include <string>

#include "mainwindow/command_line.h"

namespace {

struct ArgumentCase {
  const wchar_t* commandLine;
  const wchar_t* arguments;
};

class ArgumentTextTable : public testing::TestWithParam<ArgumentCase> {};

TEST_P(ArgumentTextTable, TakesWhatFollowsTheProgramName) {
  EXPECT_EQ(nb::ArgumentText(GetParam().commandLine), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ArgumentTextTable,
    testing::Values(ArgumentCase{L"netbeacon.exe", L""}, ArgumentCase{L"netbeacon.exe AutocopyEX", L"AutocopyEX"},
                    ArgumentCase{L"\"C:\\Program Files\\Netbeacon\\netbeacon.exe\" AutocopyIN", L"AutocopyIN"},
                    ArgumentCase{L"\"C:\\Program Files\\Netbeacon\\netbeacon.exe\"AutocopyIN", L"AutocopyIN"},
                    ArgumentCase{L"netbeacon.exe   AutocopyEX ", L"AutocopyEX "},
                    ArgumentCase{L"netbeacon.exe AutocopyEX extra", L"AutocopyEX extra"},
                    ArgumentCase{L"  netbeacon.exe\tautocopyex", L"autocopyex"}, ArgumentCase{L"", L""}));

TEST(Switches, OnlyTheExactTextsCount) {
  for (const wchar_t* line : {L"x.exe autocopyEX", L"x.exe AutocopyEX ", L"x.exe AUTOCOPYIN", L"x.exe  AutocopyIN x"}) {
    const std::wstring args = nb::ArgumentText(line);
    EXPECT_NE(args, nb::kSwitchCopyPublic) << testing::PrintToString(std::wstring(line));
    EXPECT_NE(args, nb::kSwitchCopyLan) << testing::PrintToString(std::wstring(line));
  }
  EXPECT_EQ(nb::ArgumentText(L"x.exe AutocopyEX"), nb::kSwitchCopyPublic);
  EXPECT_EQ(nb::ArgumentText(L"x.exe AutocopyIN"), nb::kSwitchCopyLan);
}

}  // namespace
