// The configuration capture behind the viewer's Refresh button: the system's configuration
// command writes its whole report into the temporary folder through a batch file run hidden,
// the capture waits for it (sleeping, with a bound), puts the report into the viewer's report
// box and removes its scratch files.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace nb {

// What the capture needs of the viewer window.
class CaptureView {
 public:
  virtual ~CaptureView() = default;
  // Replaces the text of the report box (txtIPconfig); the text may be of any length.
  virtual void SetReportText(std::wstring_view text) = 0;
  // The window-wide busy (hourglass) pointer, on or back to the default.
  virtual void SetBusyPointer(bool busy) = 0;
  // Moves the keyboard focus to cmdOK; may fail silently (before the window is shown).
  virtual void FocusOK() = 0;
};

// How long the capture waits for the report by default.
inline constexpr std::chrono::milliseconds kCaptureBound{30000};

// What tests put in place of the real thing; an empty field means the real one.
struct CaptureSeams {
  std::optional<std::wstring> versionName;  // GetWindowsVersion()
  std::optional<std::wstring> tempFolder;   // GetTempDir(); must end in a backslash
  std::optional<std::wstring> command;      // ConfigurationCommand(version name)
  std::chrono::milliseconds bound = kCaptureBound;
};

// The temporary folder as the system gives it, with its trailing backslash; any length.
std::wstring GetTempDir();

// The capture (cmdRefresh_Click): busy pointer, report box emptied (or the notice for an
// unknown Windows version), batch file written in the ANSI code page (naming the temporary
// folder by its ASCII short name when its name holds anything but ASCII, since the command
// interpreter reads the file in the OEM code page), started hidden through the command
// interpreter, waited for while the thread's windows keep painting (user input waits until the
// capture is over), report read in the OEM code page (the one the console command writes) into
// the report box, scratch files deleted, pointer back, focus to cmdOK. The command's exit code
// plays no part.
//
// A report that does not come within the bound (the command and everything it started are then
// ended), or a missing report, shows the "Oops" message; any other failure the error report
// labelled "frmIPconfig cmdRefresh_Click". The report box then keeps what it held, and the
// scratch files stay. Messages go through the modal seam. Never raises.
//
// A capture asked for while another one waits (a message handled during the wait) does nothing.
void CaptureConfiguration(CaptureView& view, const CaptureSeams& seams = {});

}  // namespace nb
