#include "start/startup_win.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "base/dynamic_library_win.h"
#include "base/skip_trap_win.h"
#include "base/unique_any_win.h"
#include "detect/public_address_win.h"
#include "mainwindow/frmMain_win.h"
#include "ui/error_report_win.h"
#include "ui/modal_win.h"
#include "ui/window_win.h"

namespace nb::startup {

std::wstring StartupHint(long errorNumber) {
  switch (errorNumber) {
    case errnum::kComponentMissing:
      return L"Try to run this application AS ADMINISTRATOR. If that doesn't solve the problem, please "
             L"re-install the program.";
    case errnum::kComponentFailure:
      return L"Please re-install the program to fix this, or get the latest runtime libraries from Ambertop.";
    default:
      return kReportToMakerHint;
  }
}

bool InitCommonControlsAtRunTime(const wchar_t* library) {
  // Looked up at run time, so that an old library without this entry point does not stop the
  // program. The library stays loaded for the program's life.
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = EntryPoint<InitFn>(LoadLibraryW(library), "InitCommonControlsEx");
  if (!init) return false;
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;  // 8
  icc.dwICC = ICC_USEREX_CLASSES;
  return init(&icc) != FALSE;
}

namespace {

// The single-instance guard: a named mutex per user and session, held for the program's life.
bool AnotherInstanceRunning() {
  static unique_handle guard;
  std::wstring user(256, L'\0');
  DWORD size = static_cast<DWORD>(user.size());
  if (GetUserNameW(user.data(), &size) && size > 0) user.resize(size - 1); else user = L"user";
  const std::wstring name = L"Local\\Ambertop.Netbeacon.SingleInstance." + user;
  guard.reset(CreateMutexW(nullptr, FALSE, name.c_str()));
  return guard && GetLastError() == ERROR_ALREADY_EXISTS;
}

void CreateMainWindow() {
  // A copy of the program ended during a download may have left its answer behind.
  RemoveLeftoverAnswerFiles();
  static FrmMain mainWindow;
  mainWindow.Load();
  mainWindow.Show();
}

}  // namespace

Environment SystemEnvironment() { return Environment{AnotherInstanceRunning, CreateMainWindow}; }

bool Main(const Environment& env) {
  SkipTrap(kMainProcedureLabel, [] { InitCommonControlsAtRunTime(); });
  try {
    if (env.anotherInstanceRunning()) {
      ShowMessage(kAlreadyRunningText, MB_OK | MB_ICONINFORMATION, kAlreadyRunningTitle);
      return false;
    }
    env.createMainWindow();
  } catch (...) {
    const AppError error = CurrentError();
    ReportError(error, kMainProcedureLabel, StartupHint(error.number));
    // A half-made window would keep the process, and the single-instance guard, alive unseen.
    const std::vector<Window*> made(Window::OpenWindows().rbegin(), Window::OpenWindows().rend());
    for (Window* window : made) window->Unload();
    return false;
  }
  return !Window::OpenWindows().empty();
}

bool Main() { return Main(SystemEnvironment()); }

}  // namespace nb::startup
