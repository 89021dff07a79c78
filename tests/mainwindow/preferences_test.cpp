#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "mainwindow/preferences.h"

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

struct StoredCase {
  const wchar_t* stored;
  std::optional<int> checkState;
  bool greenOnBlack;
};

class StoredValueTable : public testing::TestWithParam<StoredCase> {};

TEST_P(StoredValueTable, ReadsBackAsTheLoadStepExpects) {
  EXPECT_EQ(nb::StoredCheckState(GetParam().stored), GetParam().checkState);
  EXPECT_EQ(nb::StoredSchemeIsGreenOnBlack(GetParam().stored), GetParam().greenOnBlack);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredValueTable,
    testing::Values(StoredCase{L"0", 0, false}, StoredCase{L"1", 1, false}, StoredCase{L"2", 2, false},
                    StoredCase{L"3", std::nullopt, false}, StoredCase{L"-1", std::nullopt, false},
                    StoredCase{L"65280", std::nullopt, true}, StoredCase{L"16777215", std::nullopt, false},
                    // Missing (the failure marker), empty and non-numbers: green on black, box unchanged.
                    StoredCase{L"Error", std::nullopt, true}, StoredCase{L"", std::nullopt, true},
                    StoredCase{L"green", std::nullopt, true}, StoredCase{L" 1 ", 1, false}));

TEST(SingleText, WritesPositionsAsShortDecimalText) {
  EXPECT_EQ(nb::SingleText(1500), L"1500");
  EXPECT_EQ(nb::SingleText(0), L"0");
  EXPECT_EQ(nb::SingleText(-450), L"-450");
  EXPECT_EQ(nb::SingleText(1234.5), L"1234.5");
  // What is written reads back as the same number.
  for (const double value : {15.0, 7335.0, 10.5, 123456.0}) {
    EXPECT_EQ(nb::StoredNumber(nb::SingleText(value)), value);
  }
}

}  // namespace
