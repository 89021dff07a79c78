#include "watch/watch_actions_win.h"

#include <windows.h>

#include "base/system_error_win.h"
#include "base/text_win.h"
#include "base/unique_any_win.h"
#include "base/worker_win.h"

namespace nb {

std::optional<std::wstring> RunWatchCommand(const std::wstring& commandLine, std::chrono::milliseconds bound,
                                            const StopSignal* stop) {
  const std::wstring interpreter = SystemFolder() + L"cmd.exe";
  // /d: not the user's AutoRun; /s /c "...": the line is taken as it stands between the outer quotes.
  std::wstring line = L"\"" + interpreter + L"\" /d /s /c \"" + commandLine + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(interpreter.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &started)) {
    return L"The command could not be started: " + SystemErrorText(GetLastError());
  }
  const unique_handle process(started.hProcess);
  const unique_handle thread(started.hThread);
  if (WaitFor(process.get(), stop, bound) != WaitEnd::kSignalled) return std::nullopt;
  DWORD code = 0;
  if (GetExitCodeProcess(process.get(), &code) && code != 0) {
    return L"The command ended with exit code " + std::to_wstring(code) + L".";
  }
  return std::nullopt;
}

}  // namespace nb
