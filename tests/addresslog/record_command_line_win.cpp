// A stand-in text editor for the tests: writes the command line it was started with, and the show
// command it was given, to a file named after its process id in the folder named by
// NB_RECORD_COMMAND_LINE, then ends.
#include <windows.h>

#include <string>

int wmain() {
  wchar_t folder[4096];
  const DWORD n = GetEnvironmentVariableW(L"NB_RECORD_COMMAND_LINE", folder, 4096);
  if (n == 0 || n >= 4096) return 2;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  const std::wstring text = std::wstring(GetCommandLineW()) + L"\n" + std::to_wstring(show);
  // Written under another name first, so that a reader never sees half of it.
  const std::wstring name = std::wstring(folder) + L"\\" + std::to_wstring(GetCurrentProcessId());
  const std::wstring part = name + L".part";
  HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
  if (!ok) return 4;
  return MoveFileExW(part.c_str(), (name + L".txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
