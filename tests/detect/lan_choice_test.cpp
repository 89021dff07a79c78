#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "detect/lan_choice.h"

namespace {

struct LanCase {
  std::vector<std::wstring> firstAddresses;
  std::wstring expected;
};

class LanChoiceTable : public testing::TestWithParam<LanCase> {};

TEST_P(LanChoiceTable, PicksTheFirstConnectedAdapter) {
  EXPECT_EQ(nb::ChooseLanAddress(GetParam().firstAddresses), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, LanChoiceTable,
    testing::Values(LanCase{{L"", L"10.0.0.5"}, L"10.0.0.5"},
                    // A disconnected adapter reports 0.0.0.0 and does not win.
                    LanCase{{L"0.0.0.0", L"0.0.0.0", L"192.0.2.2"}, L"192.0.2.2"},
                    LanCase{{L"0.0.0.0"}, L""}, LanCase{{}, L""},
                    LanCase{{L"192.168.1.10", L"10.0.0.5"}, L"192.168.1.10"}));

}  // namespace
