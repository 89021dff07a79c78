#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

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

// Starts the stand-in editor (built beside this test) on `logPath` and reads back what it got.
Recorded StartRecorder(const std::wstring& logPath, const std::wstring& recordFile, bool& started) {
  SetEnvironmentVariableW(L"NB_RECORD_COMMAND_LINE", recordFile.c_str());
  nbtest::ScriptedModalUi ui;
  started = nb::OpenLogInEditor(logPath, nb::ExecutableFolder() + L"record_command_line.exe");
  EXPECT_TRUE(ui.messages.empty());
  Recorded recorded;
  if (!started) return recorded;
  // Read until the whole record is there (the file can be seen before it can be read).
  std::wstring text;
  const auto complete = [&] {
    const std::string bytes = nbtest::ReadFileBytes(recordFile);
    text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    return text.find(L'\n') != std::wstring::npos;
  };
  if (!WaitUntil(complete, kStartBoundMs)) {
    ADD_FAILURE() << "the stand-in editor wrote nothing";
    return recorded;
  }
  const auto lineEnd = text.find(L'\n');
  const std::wstring commandLine = text.substr(0, lineEnd);
  recorded.show = std::stoi(text.substr(lineEnd + 1));
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(commandLine.c_str(), &count);
  for (int i = 0; argv && i < count; ++i) recorded.args.emplace_back(argv[i]);
  if (argv) LocalFree(argv);
  return recorded;
}

class EditorPaths : public testing::TestWithParam<const wchar_t*> {};

TEST_P(EditorPaths, TheEditorGetsTheWholeLogPathAsOneArgumentInANormalWindow) {
  nbtest::TempFolder folder;
  const std::wstring dataFolder = folder.path() + GetParam();
  ASSERT_TRUE(CreateDirectoryW(dataFolder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  const std::wstring log = dataFolder + L"\\Netbeacon.log";
  nbtest::WriteFileBytes(log, "\"3/9/2024\",\"192.168.1.10\",\"203.0.113.7\"\r\n");
  bool started = false;
  const Recorded recorded = StartRecorder(log, folder.path() + L"record.txt", started);
  ASSERT_TRUE(started);
  ASSERT_EQ(recorded.args.size(), 2u) << testing::PrintToString(recorded.args);
  EXPECT_EQ(recorded.args[1], log);
  EXPECT_EQ(recorded.show, SW_SHOWNORMAL);
}

INSTANTIATE_TEST_SUITE_P(Folders, EditorPaths,
                         testing::Values(L"data", L"Ambertop software", L"two  blanks and, comma"));

TEST(OpenLogInEditor, AMissingEditorShowsTheReport) {
  nbtest::ScriptedModalUi ui;
  nbtest::TempFolder folder;
  const bool started = nb::OpenLogInEditor(folder.path() + L"Netbeacon.log", L"netbeacon-no-such-editor.exe");
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
  const std::wstring record = folder.path() + L"record.txt";
  SetEnvironmentVariableW(L"NB_RECORD_COMMAND_LINE", record.c_str());
  ASSERT_TRUE(CopyFileW((nb::ExecutableFolder() + L"record_command_line.exe").c_str(),
                        (folder.path() + L"notepad.exe").c_str(), FALSE));
  HWND window = nullptr;
  {
    const ScopedCurrentFolder current(folder.path());
    nbtest::ScriptedModalUi ui;
    ASSERT_TRUE(nb::OpenLogInEditor(log));
    EXPECT_TRUE(ui.messages.empty());
    WaitUntil([&] { return (window = FindWindowTitled(L"Netbeacon.log - Notepad")) || nbtest::FileExists(record); },
              kStartBoundMs);
  }
  EXPECT_FALSE(nbtest::FileExists(record)) << "the notepad.exe of the current folder was started";
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
