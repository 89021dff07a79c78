#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "base/app_error.h"
#include "base/text_util.h"
#include "settings/stored_values.h"

namespace {

struct StoredCase {
  const wchar_t* stored;  // nullptr: nothing stored
  std::optional<int> checkState;
  bool greenOnBlack;
};

class StoredValueTable : public testing::TestWithParam<StoredCase> {};

TEST_P(StoredValueTable, ReadsBackAsTheLoadStepExpects) {
  const auto stored = GetParam().stored ? std::optional<std::wstring>(GetParam().stored) : std::nullopt;
  EXPECT_EQ(nb::StoredCheckState(stored), GetParam().checkState);
  EXPECT_EQ(nb::StoredSchemeIsGreenOnBlack(stored), GetParam().greenOnBlack);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredValueTable,
    testing::Values(StoredCase{L"0", 0, false}, StoredCase{L"1", 1, false}, StoredCase{L"2", 2, false},
                    StoredCase{L"3", std::nullopt, false}, StoredCase{L"-1", std::nullopt, false},
                    StoredCase{L"65280", std::nullopt, true}, StoredCase{L"16777215", std::nullopt, false},
                    // Missing, empty and non-numbers: green on black, box unchanged.
                    StoredCase{nullptr, std::nullopt, true}, StoredCase{L"", std::nullopt, true},
                    StoredCase{L"green", std::nullopt, true}, StoredCase{L" 1 ", 1, false}));

TEST(SingleText, WritesTheShortestTextThatReadsBackAsTheSingle) {
  const struct {
    double value;
    const wchar_t* text;
  } cases[] = {
      {1500, L"1500"}, {0, L"0"}, {-450, L"-450"}, {1234.5, L"1234.5"}, {0.1, L"0.1"},
      // The exponent form only where it is shorter.
      {0.001, L"0.001"}, {0.0001, L"1e-04"}, {1e7, L"1e+07"}, {-1.5e-7, L"-1.5e-07"}, {3e38, L"3e+38"},
      // A whole number as its exact value; 123456789 is 123456792 as a single.
      {123456789, L"123456792"},
      // 2^-96: the nearest eight digits (...774e-29) read back as another single.
      {std::ldexp(1.0, -96), L"1.2621775e-29"},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::SingleText(c.value), c.text) << c.value;
}

// Where the main window comes back, from its left and top edges stored in twips at the DPI of the
// monitor it closed on. The window was put at (100, 100) with 170 x 200 pixels at 96 dpi.
TEST(PlaceOnMonitors, TheWindowComesBackWhereItClosedOnAnyArrangement) {
  using nb::MonitorArea;
  using nb::PixelRect;
  const auto monitor = [](PixelRect area, int dpi) { return MonitorArea{area, area, dpi}; };
  const MonitorArea primary = monitor({0, 0, 1920, 1080}, 96);
  const MonitorArea rightAt150 = monitor({1920, 0, 4800, 1620}, 144);
  const MonitorArea diagonal = monitor({1920, 1080, 3840, 2160}, 96);
  const MonitorArea leftAt125 = monitor({-2400, -200, 0, 1150}, 120);
  const MonitorArea primaryAt150 = monitor({0, 0, 2880, 1620}, 144);
  const MonitorArea rightAt100 = monitor({2880, 0, 4800, 1080}, 96);
  const PixelRect current{100, 100, 270, 300};
  const struct {
    const char* name;
    std::vector<MonitorArea> monitors;
    std::optional<int> left, top;  // twips
    std::optional<PixelRect> placed;
  } cases[] = {
      {"one monitor", {primary}, 3000, 1500, PixelRect{200, 100, 370, 300}},
      {"at x = 3000 on a monitor at 150 %", {primary, rightAt150}, 30000, 1000, PixelRect{3000, 100, 3255, 400}},
      {"on a monitor diagonal to the primary", {primary, diagonal}, 30000, 18000, PixelRect{2000, 1200, 2170, 1400}},
      {"on a monitor at 125 % left of and above the primary", {primary, leftAt125}, -12000, -1200,
       PixelRect{-1000, -100, -787, 150}},
      {"on a monitor at 100 % beside a primary at 150 %", {primaryAt150, rightAt100}, 45000, 750,
       PixelRect{3000, 50, 3170, 250}},
      {"partly off the primary's left edge", {primary}, -120, 1500, PixelRect{-8, 100, 162, 300}},
      {"a place two monitors read so: the first listed", {primary, rightAt150}, 24000, 1500,
       PixelRect{1600, 100, 1770, 300}},
      {"only the top stored: the left edge stays", {primary}, std::nullopt, 1500, PixelRect{100, 100, 270, 300}},
      {"on a monitor removed since", {primary}, 30000, 1000, std::nullopt},
      {"in the corner that no monitor fills", {primary, diagonal}, 15000, 18000, std::nullopt},
      {"nothing stored", {primary}, std::nullopt, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(nb::PlaceOnMonitors(c.monitors, {c.left, c.top}, current, 96), c.placed) << c.name;
  }
}

TEST(StoredTwips, ANumberTooLargeForAPlaceIsAnOverflow) {
  EXPECT_EQ(nb::StoredTwips(L"1500"), 1500);
  EXPECT_EQ(nb::StoredTwips(std::nullopt), std::nullopt);
  EXPECT_THROW(nb::StoredTwips(L"1e30"), nb::AppError);
}

}  // namespace
