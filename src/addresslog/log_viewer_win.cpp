#include "addresslog/log_viewer_win.h"

#include "addresslog/log_view_text.h"
#include "addresslog/log_writer_win.h"
#include "base/system_error_win.h"
#include "base/unique_any_win.h"
#include "base/text_win.h"
#include "ui/error_report_win.h"

namespace nb {

std::wstring TextEditorPath() { return SystemFolder() + L"notepad.exe"; }

DWORD StartEditor(std::wstring_view editor, std::wstring_view path) {
  const std::wstring program(editor);
  std::wstring commandLine = EditorCommandLine(editor, path);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    throw FileOperationError(GetLastError(), L"Cannot start", editor);
  }
  const unique_handle process(info.hProcess);
  const unique_handle thread(info.hThread);
  return info.dwProcessId;
}

namespace {

void StartEditors(std::wstring_view editor, const std::wstring& logPath, const std::wstring& log6Path) {
  StartEditor(editor, logPath);
  if (fileexists(log6Path)) StartEditor(editor, log6Path);
}

}  // namespace

bool OpenLogInEditor() {
  return ReportTrap(kHistoryProcedureLabel, [] { StartEditors(TextEditorPath(), LogPath(), Log6Path()); });
}

bool OpenLogInEditor(const std::wstring& logPath, const std::wstring& log6Path, std::wstring_view editor) {
  return ReportTrap(kHistoryProcedureLabel, [&] { StartEditors(editor, logPath, log6Path); });
}

}  // namespace nb
