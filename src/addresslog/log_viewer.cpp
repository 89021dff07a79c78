#include "addresslog/log_viewer.h"

#include "addresslog/log_view_text.h"
#include "addresslog/log_writer.h"
#include "ui/error_report.h"
#include "ui/unique_any.h"
#include "ui/win_text.h"

namespace nb {
namespace {

constexpr long kPermissionDenied = 70;
constexpr long kPathFileAccess = 75;

}  // namespace

AppError FileOperationError(DWORD code, std::wstring_view what, std::wstring_view path) {
  long number = kPathFileAccess;
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      number = errnum::kFileNotFound;
      break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      number = errnum::kPathNotFound;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      number = kPermissionDenied;
      break;
    default:
      break;
  }
  return AppError(number, std::wstring(what) + L" " + std::wstring(path) + L": " + SystemErrorText(code));
}

DWORD StartEditor(std::wstring_view editor, std::wstring_view path) {
  std::wstring commandLine = EditorCommandLine(editor, path);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    throw FileOperationError(GetLastError(), L"Cannot start", editor);
  }
  const unique_handle process(info.hProcess);
  const unique_handle thread(info.hThread);
  return info.dwProcessId;
}

bool OpenLogInEditor() {
  return ReportTrap(kHistoryProcedureLabel, [] { StartEditor(kTextEditor, LogPath()); });
}

bool OpenLogInEditor(const std::wstring& logPath, std::wstring_view editor) {
  return ReportTrap(kHistoryProcedureLabel, [&] { StartEditor(editor, logPath); });
}

}  // namespace nb
