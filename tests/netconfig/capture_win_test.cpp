// The configuration capture for real: a batch file in a temporary folder whose name holds a
// space and an accent (which the ANSI and OEM code pages encode differently), run hidden through
// the command interpreter, with the system's own configuration command or a stand-in that writes
// what a case needs.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "netconfig/capture_win.h"
#include "netconfig/capture_text.h"
#include "support/scripted_ui_win.h"
#include "base/text_win.h"
#include "base/worker_win.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kStandIn[] = L"config_command_standin.exe";

std::wstring StandInCommand(const std::wstring& arguments) {
  return L"\"" + nb::ExecutableFolder() + kStandIn + L"\" " + arguments;
}

int RunningStandIns() {
  int count = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (_wcsicmp(entry.szExeFile, kStandIn) == 0) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

class Capture : public testing::Test {
 protected:
  void SetUp() override {
    folder = scratch.path() + L"Temp dir \u00e9\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    seams.tempFolder = folder;
    seams.versionName = L"Windows 7";
  }

  double Run() {
    const Clock::time_point start = Clock::now();
    result = nb::CaptureConfiguration(seams, stop);
    return std::chrono::duration<double>(Clock::now() - start).count();
  }

  std::wstring Shown() const { return result.report.value_or(L"(nothing)"); }
  bool Left(const wchar_t* name) const { return nbtest::FileExists(folder + name); }

  void ExpectReportShown() {
    EXPECT_FALSE(result.error) << nb::ToAnsi(result.error ? result.error->description : L"");
    EXPECT_FALSE(Left(nb::kBatchFileName));
    EXPECT_FALSE(Left(nb::kReportFileName));
  }

  void ExpectOops() {
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->number, 53);
    EXPECT_FALSE(result.report);
    EXPECT_TRUE(Left(nb::kBatchFileName)) << "a failed capture leaves its batch file";
  }

  nbtest::TempFolder scratch;
  std::wstring folder;
  nb::CaptureSeams seams;
  nb::StopSignal stop;
  nb::CaptureResult result;
};

TEST_F(Capture, TheSystemsReportIsShownAndNoScratchFileLeft) {
  Run();
  wchar_t host[256] = {};
  DWORD size = 256;
  ASSERT_TRUE(GetComputerNameExW(ComputerNameDnsHostname, host, &size));
  EXPECT_NE(Shown().find(host), std::wstring::npos) << testing::PrintToString(Shown());
  EXPECT_FALSE(result.unknownVersion);
  ExpectReportShown();
}

// ---- Through the stand-in command ----

struct StandInCase {
  const char* name;
  const wchar_t* version;
  const wchar_t* arguments;  // nullptr: a command that writes nothing (REM, which ignores the redirection)
  const wchar_t* report;     // the report shown; nullptr: "Oops"
};

class StandInCommands : public Capture, public testing::WithParamInterface<StandInCase> {};

TEST_P(StandInCommands, ShowTheReportOrOops) {
  const StandInCase& c = GetParam();
  seams.versionName = c.version;
  seams.command = c.arguments ? StandInCommand(c.arguments) : L"rem";
  seams.bound = 1500ms;
  Run();
  if (c.report) {
    EXPECT_EQ(Shown(), c.report);
    ExpectReportShown();
  } else {
    ExpectOops();
  }
  EXPECT_EQ(result.unknownVersion, std::wstring(c.version) == L"Unknown");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StandInCommands,
    testing::Values(
        StandInCase{"NonZeroExit", L"Windows 7", L"--text exit-three --exit 3", L"exit-three"},
        // The console command writes in the OEM code page.
        StandInCase{"OemText", L"Windows XP", L"--text accented", L"Prim\u00e4re Adresse \u00e9\u00e8"},
        StandInCase{"EmptyReport", L"Windows 7", L"--chars 0", L""},
        StandInCase{"MissingReport", L"Windows 7", nullptr, nullptr},
        StandInCase{"UnknownVersion", L"Unknown", L"--text done", L"done"},
        StandInCase{"UnknownVersionMissingReport", L"Unknown", nullptr, nullptr},
        // The Windows 95 tool writes to the file named last; the batch file renames it.
        StandInCase{"Windows95", L"Windows 95", L"--text win95 --to", L"win95"}),
    [](const testing::TestParamInfo<StandInCase>& info) { return std::string(info.param.name); });

TEST_F(Capture, AReportOfAnyLengthComesBackWhole) {
  seams.command = StandInCommand(L"--chars 200000");
  Run();
  EXPECT_EQ(Shown().size(), 200000u);
  ExpectReportShown();
}

TEST_F(Capture, ACommandThatNeverEndsGivesOopsAfterTheBoundAndIsEnded) {
  seams.command = StandInCommand(L"--sleep-ms 600000");
  seams.bound = 1500ms;
  const double seconds = Run();
  EXPECT_GE(seconds, 1.5);
  EXPECT_LT(seconds, 5.0);
  ExpectOops();
  EXPECT_EQ(RunningStandIns(), 0);
}

TEST_F(Capture, AWindows95ReportThatNeverComesGivesOopsAfterTheBound) {
  seams.versionName = L"Windows 95";
  seams.command = L"rem";
  seams.bound = 1500ms;
  const double seconds = Run();
  EXPECT_GE(seconds, 1.5);
  EXPECT_LT(seconds, 5.0);
  ExpectOops();
}

TEST_F(Capture, AFolderWithCharactersOutsideBothCodePagesWorks) {
  folder = scratch.path() + L"Temp \u0141\u0434\u4e00\\";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  seams.tempFolder = folder;
  seams.command = StandInCommand(L"--text short");
  Run();
  EXPECT_EQ(Shown(), L"short");
  ExpectReportShown();
}

// A stop while the command runs ends it and everything it started at once, and leaves no
// scratch file.
TEST_F(Capture, AStopEndsTheCommandAtOnceAndRemovesTheScratchFiles) {
  seams.command = StandInCommand(L"--chars 100 --sleep-ms 600000");
  Clock::time_point stoppedAt;
  std::thread stopper([&] {
    const Clock::time_point giveUp = Clock::now() + 10s;
    while (RunningStandIns() == 0 && Clock::now() < giveUp) Sleep(20);
    Sleep(200);  // the stand-in has written its first characters into the report
    stoppedAt = Clock::now();
    stop.Request();
  });
  Run();
  stopper.join();
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - stoppedAt).count(), 2.5);
  EXPECT_TRUE(result.error);
  EXPECT_FALSE(result.report);
  EXPECT_EQ(RunningStandIns(), 0);
  EXPECT_FALSE(Left(nb::kBatchFileName));
  EXPECT_FALSE(Left(nb::kReportFileName));
}

}  // namespace
