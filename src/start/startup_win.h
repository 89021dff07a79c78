// The program's start-up: common controls, the single-instance guard and the main window.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/app_error.h"
#include "ui/error_report_text.h"

namespace nb::startup {

// The text of the message box that refuses a second copy, and its title.
inline constexpr wchar_t kAlreadyRunningText[] = L"Netbeacon is already running...";
inline constexpr wchar_t kAlreadyRunningTitle[] = L"Info";
inline constexpr wchar_t kMainProcedureLabel[] = L"Mod Startup - Main procedure";

// The hint line of the start-up error report, chosen by the error number.
std::wstring StartupHint(long errorNumber);

// What Main needs from the platform; tests put their own pieces in place.
struct Environment {
  // True when another copy of the program runs for this user.
  std::function<bool()> anotherInstanceRunning;
  // Creates the main window and shows it modeless (runs its load step first).
  std::function<void()> createMainWindow;
};

Environment SystemEnvironment();

// Runs the start-up steps. Returns true when the program goes on running (a window is open). After
// an error has been reported, every window made so far is destroyed and the program ends.
bool Main(const Environment& env);
bool Main();

// Finds and calls InitCommonControlsEx in the given library at run time; false when the
// library or the entry point is missing, or the call fails.
bool InitCommonControlsAtRunTime(const wchar_t* library = L"comctl32.dll");

}  // namespace nb::startup
