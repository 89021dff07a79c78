// The configuration capture for real: a batch file in a temporary folder whose name holds a
// space and an accent (which the ANSI and OEM code pages encode differently), run hidden through
// the command interpreter, with the system's own configuration command or a stand-in that writes
// what a case needs.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "netconfig/capture_win.h"
#include "netconfig/capture_text.h"
#include "support/scripted_ui_win.h"
#include "base/text_win.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kStandIn[] = L"config_command_standin.exe";

class RecordingCaptureView : public nb::CaptureView {
 public:
  void SetReportText(std::wstring_view text) override { texts.emplace_back(text); }
  void SetBusyPointer(bool busy) override { pointer.push_back(busy); }
  void FocusOK() override { ++focused; }

  std::vector<std::wstring> texts;
  std::vector<bool> pointer;
  int focused = 0;
};

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
    nb::CaptureConfiguration(view, seams);
    return std::chrono::duration<double>(Clock::now() - start).count();
  }

  std::wstring Shown() const { return view.texts.empty() ? L"(nothing)" : view.texts.back(); }
  bool Left(const wchar_t* name) const { return nbtest::FileExists(folder + name); }

  void ExpectReportShown() {
    EXPECT_TRUE(ui.messages.empty()) << testing::PrintToString(ui.messages.empty() ? L"" : ui.messages[0].text);
    EXPECT_FALSE(Left(nb::kBatchFileName));
    EXPECT_FALSE(Left(nb::kReportFileName));
    EXPECT_EQ(view.focused, 1);
    EXPECT_EQ(view.pointer, (std::vector<bool>{true, false}));
  }

  void ExpectOops() {
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, nb::kOopsTitle);
    EXPECT_EQ(ui.messages[0].text, nb::kOopsText);
    EXPECT_EQ(ui.messages[0].style, static_cast<UINT>(MB_OK));
    EXPECT_EQ(view.focused, 0);
    EXPECT_EQ(view.pointer, (std::vector<bool>{true, false}));
    EXPECT_TRUE(Left(nb::kBatchFileName)) << "a failed capture leaves its batch file";
  }

  nbtest::ScriptedModalUi ui;
  nbtest::TempFolder scratch;
  std::wstring folder;
  nb::CaptureSeams seams;
  RecordingCaptureView view;
};

TEST_F(Capture, TheSystemsReportIsShownAndNoScratchFileLeft) {
  Run();
  wchar_t host[256] = {};
  DWORD size = 256;
  ASSERT_TRUE(GetComputerNameExW(ComputerNameDnsHostname, host, &size));
  EXPECT_NE(Shown().find(host), std::wstring::npos) << testing::PrintToString(Shown());
  EXPECT_EQ(view.texts.front(), L"");
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
  // The report box is emptied first; on an unknown version the notice follows, and stays when
  // the capture fails.
  std::vector<std::wstring> shown = {L""};
  if (std::wstring(c.version) == L"Unknown") shown.push_back(nb::kUnknownVersionNotice);
  if (c.report) shown.push_back(c.report);
  EXPECT_EQ(view.texts, shown);
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

// A message handled while the capture waits (one posted to a window) asks for a second capture.
RecordingCaptureView* nestedView = nullptr;
nb::CaptureSeams* nestedSeams = nullptr;

LRESULT CALLBACK CaptureOnMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_APP) {
    nb::CaptureConfiguration(*nestedView, *nestedSeams);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(Capture, ACaptureAskedForWhileOneWaitsDoesNothing) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = CaptureOnMessage;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"Netbeacon.CaptureTest";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
  ASSERT_TRUE(window);
  RecordingCaptureView second;
  nestedView = &second;
  nestedSeams = &seams;
  seams.command = StandInCommand(L"--sleep-ms 500 --text first");
  PostMessageW(window, WM_APP, 0, 0);
  Run();
  DestroyWindow(window);
  EXPECT_EQ(Shown(), L"first");
  ExpectReportShown();
  EXPECT_TRUE(second.texts.empty() && second.pointer.empty()) << "the second capture ran";
}

TEST_F(Capture, OtherFailuresShowTheErrorReport) {
  seams.tempFolder = folder + L"missing\\";
  Run();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, L"Error");
  EXPECT_NE(ui.messages[0].text.find(L"\r\nfrmIPconfig cmdRefresh_Click\r\n"), std::wstring::npos);
  EXPECT_NE(ui.messages[0].text.find(L"Error 76 - "), std::wstring::npos) << "path not found";
  EXPECT_EQ(view.pointer, (std::vector<bool>{true, false}));
}

}  // namespace
