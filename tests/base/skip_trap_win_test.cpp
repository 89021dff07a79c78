// A skipped step leaves one line on the debug output; the caller goes on.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "base/app_error.h"
#include "base/skip_trap_win.h"
#include "support/debug_output_win.h"

namespace {

enum class Step { Succeeds, RaisesAppError, RunsOutOfMemory };

struct SkipCase {
  const char* name;
  Step step;
  std::vector<std::wstring> lines;
};

void PrintTo(const SkipCase& c, std::ostream* os) { *os << c.name; }

class SkipTrapTable : public testing::TestWithParam<SkipCase> {};

TEST_P(SkipTrapTable, TracesWhatItSkips) {
  const SkipCase& c = GetParam();
  nbtest::DebugOutputCapture capture;
  bool after = false;
  const bool ran = nb::SkipTrap(L"frmMain Form_Load", [&] {
    if (c.step == Step::RaisesAppError) throw nb::AppError(53, L"File not found");
    if (c.step == Step::RunsOutOfMemory) throw std::bad_alloc();
    after = true;
  });
  EXPECT_EQ(ran, c.step == Step::Succeeds);
  EXPECT_EQ(after, c.step == Step::Succeeds);
  EXPECT_EQ(capture.Lines(), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SkipTrapTable,
    testing::Values(SkipCase{"succeeds", Step::Succeeds, {}},
                    SkipCase{"raises", Step::RaisesAppError,
                             {L"Netbeacon: skipped error 53 (File not found) in frmMain Form_Load\n"}},
                    SkipCase{"out of memory", Step::RunsOutOfMemory,
                             {L"Netbeacon: skipped error 7 (Out of memory) in frmMain Form_Load\n"}}),
    [](const testing::TestParamInfo<SkipCase>& info) {
      std::string name = info.param.name;
      name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
      return name;
    });

// A failure a call returned, rather than one thrown, leaves the same line.
TEST(TraceSkippedError, AReturnedFailureLeavesTheSameLine) {
  nbtest::DebugOutputCapture capture;
  nb::TraceSkippedError(53, L"File not found", L"frmMain Form_Load");
  EXPECT_EQ(capture.Lines(), std::vector<std::wstring>{L"Netbeacon: skipped error 53 (File not found) in frmMain Form_Load\n"});
}

}  // namespace
