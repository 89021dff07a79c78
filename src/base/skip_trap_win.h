// Skipping a failing step on purpose, with a trace of it: the user sees nothing new, a developer
// with a debugger or a debug-output viewer sees one line naming the error and the procedure.
#pragma once

#include <string>
#include <string_view>

#include "base/app_error.h"

namespace nb {

// The line a skipped error leaves on the debug output, with its line feed:
// Netbeacon: skipped error 53 (File not found) in frmMain Form_Load
std::wstring SkipTraceLine(const AppError& error, std::wstring_view procedureLabel);

// Writes the trace line of the error in flight (call it inside a catch block) with
// OutputDebugStringW. Never fails.
void TraceSkippedError(std::wstring_view procedureLabel) noexcept;
// The same for a failure that was found without an exception (a call that returned one).
void TraceSkippedError(long number, std::wstring_view description, std::wstring_view procedureLabel) noexcept;

// Skip trap: runs one step; when it fails, the step is skipped and traced, and the caller goes
// on. True when the step ran to its end.
template <typename Fn>
bool SkipTrap(std::wstring_view procedureLabel, Fn&& step) noexcept {
  try {
    step();
    return true;
  } catch (...) {
    TraceSkippedError(procedureLabel);
    return false;
  }
}

}  // namespace nb
