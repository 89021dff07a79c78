// The configuration capture behind the viewer's Refresh button, as it runs on a worker: the
// system's configuration command writes its whole report into the temporary folder through a
// batch file run hidden, the capture waits for it (sleeping, with a bound, watching the stop),
// reads the report and removes its scratch files. It returns what it came to; the viewer shows it.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "base/app_error.h"

namespace nb {

class StopSignal;

// How long the capture waits for the report by default.
inline constexpr std::chrono::milliseconds kCaptureBound{30000};

// What tests put in place of the real thing; an empty field means the real one.
struct CaptureSeams {
  std::optional<std::wstring> versionName;  // GetWindowsVersion()
  std::optional<std::wstring> tempFolder;   // GetTempDir(); must end in a backslash
  std::optional<std::wstring> command;      // ConfigurationCommand(version name)
  std::chrono::milliseconds bound = kCaptureBound;
};

// What one capture came to.
struct CaptureResult {
  // The version is one the program does not know: the report box shows the notice first.
  bool unknownVersion = false;
  // The report, when it came.
  std::optional<std::wstring> report;
  // What went wrong: run-time error 53 for a report that never came or did not come within the
  // bound (the "Oops" message), any other error for the error report. A report that came stays
  // beside an error met after it (a scratch file that could not be deleted).
  std::optional<AppError> error = std::nullopt;
};

// The temporary folder as the system gives it, with its trailing backslash; any length.
std::wstring GetTempDir();

// The capture (the work of cmdRefresh_Click): the batch file written in the ANSI code page
// (naming the temporary folder by its ASCII short name when its name holds anything but ASCII,
// since the command interpreter reads the file in the OEM code page), started hidden through the
// command interpreter without the user's AutoRun commands, in a job that ends everything it
// started when the capture lets go of it; the report read in the OEM code page (the one the
// console command writes) and the scratch files deleted. The command's exit code plays no part.
//
// When it fails, the scratch files already written stay. A stop ends the command and everything
// it started at once and removes the scratch files; the result is then an error nobody shows.
// Shows nothing, touches no window, and returns its failures instead of raising them. One
// capture at a time uses the scratch files:
// another one waits for it (within its bound, watching its stop).
CaptureResult CaptureConfiguration(const CaptureSeams& seams, const StopSignal& stop);

}  // namespace nb
