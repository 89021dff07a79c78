#include "base/interpreter_win.h"

#include "base/system_error_win.h"
#include "base/text_win.h"

namespace nb {

StartedProcess StartInterpreterHidden(const std::wstring& arguments, DWORD creationFlags) {
  const std::wstring interpreter = SystemFolder() + L"cmd.exe";
  std::wstring commandLine = L"\"" + interpreter + L"\" /d " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW | creationFlags, nullptr, nullptr, &startup, &started)) {
    throw FileOperationError(GetLastError(), L"Cannot start", interpreter);
  }
  return {unique_handle(started.hProcess), unique_handle(started.hThread)};
}

}  // namespace nb
