// Drives the real netbeacon.exe from another process: starts it, finds its windows, reads and
// clicks its controls, and makes sure it ends. Every wait here has a bound.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/unique_any_win.h"

namespace nbtest::e2e {

// Bounds for the waits of the end-to-end tests, in milliseconds. Starting a process under Wine
// takes about a second; the bounds leave room for a loaded machine.
inline constexpr DWORD kStartTimeout = 30000;
inline constexpr DWORD kActionTimeout = 20000;
inline constexpr DWORD kExitTimeout = 15000;

// The Windows path of the netbeacon.exe this build made.
std::wstring ProgramPath();

// Environment variables to set (or, with an empty value, to remove) for a started program.
using EnvironmentOverrides = std::vector<std::pair<std::wstring, std::wstring>>;

// A started program. Owns its process handle and terminates the process when it is dropped
// while the process still runs, so that a failing test never leaves a program behind.
class RunningProgram {
 public:
  RunningProgram() = default;
  RunningProgram(nb::unique_handle process, DWORD pid) : process_(std::move(process)), pid_(pid) {}
  RunningProgram(RunningProgram&&) noexcept = default;
  RunningProgram& operator=(RunningProgram&& other) noexcept;
  ~RunningProgram() { Kill(); }

  explicit operator bool() const { return static_cast<bool>(process_); }
  HANDLE handle() const { return process_.get(); }
  DWORD pid() const { return pid_; }

  bool Running() const;
  // The exit code once the process has ended within the bound; nothing while it still runs.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
  // Terminates the process if it still runs and waits (bounded) until it is gone.
  void Kill();

 private:
  nb::unique_handle process_;
  DWORD pid_ = 0;
};

// Starts the program with the given argument text (the whole command line after the program's
// name) and environment changes. An empty result (false) when CreateProcess failed; `error`
// then holds the reason. The program runs in a job that ends it, and whatever it starts, when
// the test process ends in any way.
RunningProgram StartProgram(const std::wstring& arguments = {}, const EnvironmentOverrides& environment = {},
                            std::wstring* error = nullptr);

// Ends every copy of this build's netbeacon.exe that is still running (left over by an earlier
// run that was killed) and waits for them to go. A copy started from another path is not touched:
// its path is returned, since the program runs once per user and the tests cannot run beside it.
std::vector<std::wstring> EndLeftoverCopies();

// Which top-level windows to look for; empty fields match anything.
struct WindowQuery {
  std::wstring className;
  std::optional<std::wstring> title;
  DWORD pid = 0;
  bool visibleOnly = true;
};

std::vector<HWND> FindWindows(const WindowQuery& query);
// The first matching window once one exists, or nullptr after the bound.
HWND WaitForWindow(const WindowQuery& query, DWORD timeoutMs = kActionTimeout);
// A child control of `parent` by id, once it exists (a window can be found before its children are).
HWND WaitForControl(HWND parent, int id, DWORD timeoutMs = kActionTimeout);
// Direct children of `parent` of the given class (any class when empty), in z-order.
std::vector<HWND> ChildWindows(HWND parent, const std::wstring& className = {});

std::wstring ClassNameOf(HWND hwnd);
// A text as UTF-8, for test messages.
std::string Utf8(const std::wstring& text);
DWORD ProcessOf(HWND hwnd);

// The text of a window or control of another process (WM_GETTEXT, bounded); nothing when the
// window is gone or does not answer in time.
std::optional<std::wstring> ControlText(HWND hwnd, DWORD timeoutMs = 5000);
// The texts of a message box: its caption and its message (the non-empty static text).
struct MessageBoxTexts {
  std::wstring title;
  std::wstring text;
};
std::optional<MessageBoxTexts> ReadMessageBox(HWND box);

// Posts a click to a button (BM_CLICK). Posted, not sent: a click that opens a modal window
// would otherwise hold the test until that window closes.
bool Click(HWND button);
// Presses a dialog's button by id (a message box's OK is IDOK).
bool ClickDialogButton(HWND dialog, int id);
// Posts a left double click (WM_LBUTTONDBLCLK) at the middle of a control.
bool DoubleClick(HWND control);

// The classes of the visible top-level windows a process showed while the object lived, looked for
// every 10 ms on a thread of its own: a window that shows for longer than that is seen.
class ShownWindows {
 public:
  explicit ShownWindows(DWORD pid);
  ~ShownWindows();
  ShownWindows(const ShownWindows&) = delete;
  ShownWindows& operator=(const ShownWindows&) = delete;
  std::set<std::wstring> Classes() const;

 private:
  mutable std::mutex mutex_;
  std::set<std::wstring> classes_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

// Polls `condition` every `pollMs` until it holds (true) or the bound has passed (false).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kActionTimeout, DWORD pollMs = 20);

// Asks a window to close (WM_CLOSE) and waits for the program to end; its exit code, or nothing
// when it did not end within the bound.
std::optional<DWORD> CloseAndWait(RunningProgram& program, HWND window, DWORD timeoutMs = kExitTimeout);

inline constexpr wchar_t kSettingsKey[] = L"Software\\Ambertop\\Netbeacon";

// String values under a key of HKEY_CURRENT_USER, by default the program's key
// HKEY_CURRENT_USER\Software\Ambertop\Netbeacon, set for the lifetime of the object; what was
// there before (or its absence) is put back afterwards. Declare it before the RunningProgram it is
// meant for, so the program has ended before the values are put back.
class ScopedSettings {
 public:
  explicit ScopedSettings(std::wstring keyPath = kSettingsKey) : keyPath_(std::move(keyPath)) {}
  ScopedSettings(const ScopedSettings&) = delete;
  ScopedSettings& operator=(const ScopedSettings&) = delete;
  ~ScopedSettings();

  ScopedSettings& Set(const std::wstring& name, const std::wstring& value, DWORD type = REG_SZ);
  ScopedSettings& Remove(const std::wstring& name);

  // The current string value, or nothing when it is missing.
  static std::optional<std::wstring> Read(const std::wstring& name);

 private:
  void Remember(const std::wstring& name);
  // Name and the previous value as stored (type and bytes), or nothing when it was missing.
  struct Saved {
    std::wstring name;
    std::optional<std::pair<DWORD, std::vector<BYTE>>> previous;
  };
  std::wstring keyPath_;
  std::vector<Saved> saved_;
};

// --- Other programs -----------------------------------------------------------------------------

struct CommandResult {
  DWORD exitCode = 0;
  std::string output;  // what it wrote to its standard output and error, as bytes
};

// Runs a console program hidden, with its output captured. Nothing when it could not be started
// (`error` says why) or did not end within the bound (it is then ended).
std::optional<CommandResult> RunCommand(const std::wstring& commandLine, DWORD timeoutMs = kActionTimeout,
                                        std::wstring* error = nullptr);

// A string value under the program's key as the system's registry tool shows it
// (`reg query "HKCU\Software\Ambertop\Netbeacon" /v <name>`). Nothing when the tool says the value
// is missing or could not be run; `output` (when given) receives what it printed, for messages.
std::optional<std::wstring> QueryValueWithRegTool(const std::wstring& name, std::string* output = nullptr);

// The value of a `reg query` printout's line "    <name>    REG_SZ    <value>"; nothing when no
// such line is there.
std::optional<std::wstring> RegQueryValueText(const std::string& printout, const std::wstring& name);

// --- The address log ------------------------------------------------------------------------------

// The address logs the program keeps: "Netbeacon.log" (or, for the IPv6 addresses,
// "Netbeacon-IPv6.log") in the folder "Ambertop software\Netbeacon" of the roaming application data
// folder; worked out here, independently of the program.
std::wstring LogFilePath(const std::wstring& fileName = L"Netbeacon.log");

// Moves the user's address log out of the way for the lifetime of the object, so that a test
// starts without one, and puts it back afterwards (the log the test made goes). A log that an
// earlier run left out of the way, because it was killed, is put back first.
class ScopedLogFile {
 public:
  explicit ScopedLogFile(std::wstring path = LogFilePath());
  ScopedLogFile(const ScopedLogFile&) = delete;
  ScopedLogFile& operator=(const ScopedLogFile&) = delete;
  ~ScopedLogFile();

  const std::wstring& path() const { return path_; }
  // False when the user's log could not be moved out of the way (then the test must not go on).
  bool ready() const { return ready_; }

 private:
  std::wstring path_;
  std::wstring aside_;
  bool movedAside_ = false;
  bool ready_ = false;
};

// --- Clipboard ----------------------------------------------------------------------------------

struct ClipboardRead {
  bool opened = false;               // the clipboard could be opened within the bound
  std::optional<std::wstring> text;  // the text in the asked format; nothing when it holds none
};

// The clipboard's text in CF_UNICODETEXT, or in CF_TEXT decoded from the ANSI code page. Another
// program may hold the clipboard open for a moment: opening is retried within the bound.
ClipboardRead ReadClipboardText(UINT format, DWORD timeoutMs = 5000);
// Puts a text on the clipboard (CF_UNICODETEXT only); false when the clipboard could not be had.
bool PutClipboardText(const std::wstring& text, DWORD timeoutMs = 5000);

// Keeps the clipboard's Unicode text of before and puts it back afterwards.
class ScopedClipboardText {
 public:
  ScopedClipboardText();
  ScopedClipboardText(const ScopedClipboardText&) = delete;
  ScopedClipboardText& operator=(const ScopedClipboardText&) = delete;
  ~ScopedClipboardText();

 private:
  std::optional<std::wstring> saved_;
};

// --- Keyboard and screen --------------------------------------------------------------------------

// The window that has the keyboard focus in the thread that made `window` (another process's
// thread included); nullptr when none has or the thread is gone.
HWND FocusedWindowOf(HWND window);
// Makes a top-level window the foreground window; false when it is not within the bound.
bool BringToForeground(HWND window, DWORD timeoutMs = 5000);
// Types a chord through the system's input queue (SendInput), as the keyboard would: the keys
// are pressed in the given order and released in the reverse order. They reach the window that
// has the keyboard focus in the foreground window.
bool PressKeys(const std::vector<WORD>& virtualKeys);

// The colours of a window's client area as the screen shows them, row by row (width * height
// values); empty when the screen could not be read.
struct ScreenPixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> colours;
  COLORREF at(int x, int y) const { return colours[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};
ScreenPixels ReadScreenPixels(HWND window);

// The screen's horizontal resolution in dots per inch (96 on a screen at 100 %).
int ScreenDpi();


}  // namespace nbtest::e2e
