// The program's error: a number from the classic run-time set, a description, and the
// help file and context that the error report passes on. Portable: no Windows header.
//
// Where errors go: a procedure with a report trap (ui/error_report_win.h) shows the error report; one
// with a skip trap (base/skip_trap_win.h) goes on with its next step and leaves one line on the debug
// output; everywhere else an error travels to the caller's trap. No exception ever crosses a
// window procedure (ui/window_win.cpp).
#pragma once

#include <exception>
#include <string>

namespace nb {

// Errors the program raises itself use this base number plus a description of its own.
inline constexpr long kProgramErrorBase = -2147221504L;  // 0x80040000

namespace errnum {
inline constexpr long kInvalidCall = 5;
inline constexpr long kOverflow = 6;
inline constexpr long kSubscript = 9;
inline constexpr long kOutOfMemory = 7;
inline constexpr long kLibraryLoad = 48;
inline constexpr long kFileNotFound = 53;
inline constexpr long kFileAlreadyExists = 58;
inline constexpr long kDiskFull = 61;
inline constexpr long kPermissionDenied = 70;
inline constexpr long kPathFileAccess = 75;
inline constexpr long kPathNotFound = 76;
inline constexpr long kComponentMissing = 339;
inline constexpr long kComponentFailure = 50003;
inline constexpr long kCancel = 32755;  // a file dialog that reports a cancel as an error
}  // namespace errnum

struct AppError : std::exception {
  AppError(long number, std::wstring description) : number(number), description(std::move(description)) {}
  const char* what() const noexcept override { return "Netbeacon error"; }

  long number;
  std::wstring description;
};

// The program's short word for error: the error report's title and the start of its error line.
inline constexpr wchar_t kErrorWord[] = L"Error";
inline constexpr wchar_t kProgramName[] = L"Netbeacon";

// Turns whatever is in flight into an AppError (call it inside a catch block).
AppError CurrentError();

// An error met on a worker, where nobody can be told: the window that started the work reports it
// under the procedure's label.
struct ErrorToReport {
  AppError error;
  std::wstring label;
};

}  // namespace nb
