#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "addresslog/log_viewer_win.h"
#include "support/scripted_ui_win.h"
#include "base/app_error.h"
#include "base/unique_any_win.h"
#include "base/text_win.h"

namespace {

constexpr DWORD kStartBoundMs = 20000;

// Waits, at most `boundMs`, until `ready` holds.
template <typename Ready>
bool WaitUntil(Ready ready, DWORD boundMs) {
  const ULONGLONG end = GetTickCount64() + boundMs;
  while (!ready()) {
    if (GetTickCount64() > end) return false;
    nbtest::PumpMessages();
    Sleep(20);
  }
  return true;
}

struct Recorded {
  std::vector<std::wstring> args;
  int show = -2;
};

// The whole records the stand-in editors have written into `folder` so far (a file can be seen
// before it can be read).
std::vector<Recorded> RecordsIn(const std::wstring& folder) {
  std::vector<Recorded> records;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((folder + L"\\*.txt").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return records;
  do {
    const std::string bytes = nbtest::ReadFileBytes(folder + L"\\" + found.cFileName);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    const auto lineEnd = text.find(L'\n');
    if (lineEnd == std::wstring::npos) continue;
    Recorded& recorded = records.emplace_back();
    recorded.show = std::stoi(text.substr(lineEnd + 1));
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(text.substr(0, lineEnd).c_str(), &count);
    for (int i = 0; argv && i < count; ++i) recorded.args.emplace_back(argv[i]);
    if (argv) LocalFree(argv);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return records;
}

// Opens the logs with the stand-in editor (built beside this test) and reads back what each editor
// started got, once `expected` of them have written; any more that follow soon are read too.
std::vector<Recorded> StartRecorders(const std::wstring& logPath, const std::wstring& log6Path,
                                     const std::wstring& recordFolder, std::size_t expected) {
  EXPECT_TRUE(CreateDirectoryW(recordFolder.c_str(), nullptr));
  SetEnvironmentVariableW(L"NB_RECORD_COMMAND_LINE", recordFolder.c_str());
  nbtest::ScriptedModalUi ui;
  EXPECT_TRUE(nb::OpenLogInEditor(logPath, log6Path, nb::ExecutableFolder() + L"record_command_line.exe"));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(WaitUntil([&] { return RecordsIn(recordFolder).size() >= expected; }, kStartBoundMs))
      << "fewer stand-in editors wrote than expected";
  WaitUntil([&] { return RecordsIn(recordFolder).size() > expected; }, 500);
  return RecordsIn(recordFolder);
}

struct ViewCase {
  const wchar_t* folder;
  bool log6;
};

void PrintTo(const ViewCase& c, std::ostream* os) {
  *os << testing::PrintToString(c.folder) << (c.log6 ? " with" : " without") << " the IPv6 log";
}

class EditorPaths : public testing::TestWithParam<ViewCase> {};

TEST_P(EditorPaths, EachLogGoesWholeAsOneArgumentToAnEditorInANormalWindow) {
  nbtest::TempFolder folder;
  const std::wstring dataFolder = folder.path() + GetParam().folder;
  ASSERT_TRUE(CreateDirectoryW(dataFolder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  const std::wstring log = dataFolder + L"\\Netbeacon.log";
  const std::wstring log6 = dataFolder + L"\\Netbeacon-IPv6.log";
  nbtest::WriteFileBytes(log, "\"3/9/2024\",\"192.168.1.10\",\"203.0.113.7\"\r\n");
  std::vector<std::wstring> expected = {log};
  if (GetParam().log6) {
    nbtest::WriteFileBytes(log6, "\"3/9/2024\",\"2001:db8::10\",\"2001:db8::7\"\r\n");
    expected.push_back(log6);
  }
  std::vector<std::wstring> opened;
  for (const Recorded& recorded : StartRecorders(log, log6, folder.path() + L"records", expected.size())) {
    ASSERT_EQ(recorded.args.size(), 2u) << testing::PrintToString(recorded.args);
    opened.push_back(recorded.args[1]);
    EXPECT_EQ(recorded.show, SW_SHOWNORMAL);
  }
  std::sort(opened.begin(), opened.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(opened, expected);
}

INSTANTIATE_TEST_SUITE_P(Folders, EditorPaths,
                         testing::Values(ViewCase{L"data", false}, ViewCase{L"data", true},
                                         ViewCase{L"Ambertop software", true},
                                         ViewCase{L"two  blanks and, comma", true}));

TEST(OpenLogInEditor, AMissingEditorShowsTheReport) {
  nbtest::ScriptedModalUi ui;
  nbtest::TempFolder folder;
  // One report, though the IPv6 log is there to be opened too.
  nbtest::WriteFileBytes(folder.path() + L"Netbeacon-IPv6.log", "");
  const bool started = nb::OpenLogInEditor(folder.path() + L"Netbeacon.log", folder.path() + L"Netbeacon-IPv6.log",
                                           L"netbeacon-no-such-editor.exe");
  EXPECT_FALSE(started);
  ASSERT_EQ(ui.messages.size(), 1u);
  const nb::MessageBoxArgs& report = ui.messages[0];
  EXPECT_EQ(report.title, nb::kErrorWord);
  EXPECT_EQ(report.style, static_cast<UINT>(MB_OK));
  EXPECT_NE(report.text.find(L"Error 53 - "), std::wstring::npos) << testing::PrintToString(report.text);
  EXPECT_NE(report.text.find(L"\r\nmenuHistory_Click\r\n"), std::wstring::npos);
}

// Finds a visible top-level window by its title, in any process.
HWND FindWindowTitled(const std::wstring& title) {
  struct Search {
    const std::wstring* title;
    HWND found;
  } search{&title, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (IsWindowVisible(hwnd) && nb::WindowText(hwnd) == *s->title) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Makes a folder the current one for the object's life.
class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::wstring& folder) : previous_(GetCurrentDirectoryW(0, nullptr), L'\0') {
    previous_.resize(GetCurrentDirectoryW(static_cast<DWORD>(previous_.size()), previous_.data()));
    SetCurrentDirectoryW(folder.c_str());
  }
  ~ScopedCurrentFolder() { SetCurrentDirectoryW(previous_.c_str()); }

 private:
  std::wstring previous_;
};

TEST(OpenLogInEditor, NotepadOfTheSystemFolderOpensTheLogInAFolderWithBlanks) {
  nbtest::TempFolder folder;
  const std::wstring dataFolder = folder.path() + L"Ambertop software";
  ASSERT_TRUE(CreateDirectoryW(dataFolder.c_str(), nullptr));
  const std::wstring log = dataFolder + L"\\Netbeacon.log";
  nbtest::WriteFileBytes(log, "\"3/9/2024\",\"192.168.1.10\",\"203.0.113.7\"\r\n");
  // Another notepad.exe in the current folder, which a search for the name finds before the system's.
  const std::wstring records = folder.path() + L"records";
  ASSERT_TRUE(CreateDirectoryW(records.c_str(), nullptr));
  SetEnvironmentVariableW(L"NB_RECORD_COMMAND_LINE", records.c_str());
  ASSERT_TRUE(CopyFileW((nb::ExecutableFolder() + L"record_command_line.exe").c_str(),
                        (folder.path() + L"notepad.exe").c_str(), FALSE));
  HWND window = nullptr;
  {
    const ScopedCurrentFolder current(folder.path());
    nbtest::ScriptedModalUi ui;
    ASSERT_TRUE(nb::OpenLogInEditor(log, dataFolder + L"\\Netbeacon-IPv6.log", nb::TextEditorPath()));
    EXPECT_TRUE(ui.messages.empty());
    WaitUntil([&] { return (window = FindWindowTitled(L"Netbeacon.log - Notepad")) || !RecordsIn(records).empty(); },
              kStartBoundMs);
  }
  EXPECT_TRUE(RecordsIn(records).empty()) << "the notepad.exe of the current folder was started";
  ASSERT_NE(window, nullptr) << "no window titled \"Netbeacon.log - Notepad\" appeared";
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const nb::unique_handle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (process && WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(process.get(), 1);
  // The editor shows the log without changing it.
  EXPECT_EQ(nbtest::ReadFileBytes(log), "\"3/9/2024\",\"192.168.1.10\",\"203.0.113.7\"\r\n");
}

}  // namespace
