// Watch mode: the main window's addresses checked again in the background — at once when it
// starts, every interval, when the network changes, on resume from sleep and on Check now — with
// an icon in the notification area that shows the last result, and, when an address changes, a
// notification, the mail and the command the user set. Between checks the program sleeps: one
// timer, armed for the next check, and the system's change notifications.
//
// The main window owns it, tells it of every run (RunStarted, RunEnded) and passes it the
// messages that are its own (OnMessage); it asks the main window for a check through the host.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "detect/detection.h"
#include "detect/network_changes_win.h"
#include "ui/icon_callback.h"
#include "ui/notify_icon_win.h"
#include "watch/watch_text.h"
#include "ui/task_win.h"
#include "watch/watch_schedule.h"
#include "watch/watch_settings.h"

namespace nb {

// The messages of watch mode, sent to the main window.
inline constexpr UINT kWatchIconMessage = WM_APP + 0x1F1;
inline constexpr UINT kNetworkChangedMessage = WM_APP + 0x1F2;
inline constexpr UINT_PTR kWatchTimerId = 0x5741;

// The icon menu's commands (the main window's menu commands are below 3000).
enum : int {
  watchCheckNow = 3001,
  watchCopyPublic,
  watchCopyLan,
  watchShowWindow,
  watchStop,
  watchExit,
};

class WatchMode {
 public:
  // What watch mode asks of the main window.
  struct Host {
    std::function<void()> startCheck;   // a run without progress window or message box
    std::function<void(int command)> menuCommand;  // the icon menu's choice (watchCopyPublic ...)
  };

  explicit WatchMode(Host host) : host_(std::move(host)) {}
  WatchMode(const WatchMode&) = delete;
  WatchMode& operator=(const WatchMode&) = delete;
  ~WatchMode() { Stop(); }

  // Starts watching for the window: the icon, the change notifications, a check at once. False
  // when the icon cannot be shown (the window should then stay in sight); watching goes on.
  bool Start(HWND window, const WatchSettings& settings);
  void Stop();
  bool Watching() const noexcept { return window_ != nullptr; }
  // New settings while watching: the interval counts from the same end of the last run.
  void Apply(const WatchSettings& settings);

  // Every run of the main window, a check or a Find. `problem` is what went wrong, if anything.
  void RunStarted();
  void RunEnded(const Addresses& before, const Addresses& after, const std::wstring& problem);

  // The timer, the icon, the network and power notices, the taskbar's return; true when handled.
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  NotifyIcon& icon() noexcept { return icon_; }

 private:
  void Follow(const WatchDecision& decision);
  void ShowMenu(POINT at);
  void Changed(const WatchResult& last, const Addresses& after);
  void Tell(const std::wstring& title, const std::wstring& text, bool failure);
  void RunAction(const wchar_t* failureTitle, std::function<std::optional<std::wstring>(const StopSignal&)> action);

  Host host_;
  HWND window_ = nullptr;
  WatchSettings settings_;
  WatchSchedule schedule_{std::chrono::minutes(kDefaultWatchMinutes)};
  NotifyIcon icon_;
  NetworkChanges network_;
  WatchResult seen_;  // each address as last seen by a run that found it
  using ActionTask = Task<std::optional<std::wstring>>;
  std::vector<std::unique_ptr<ActionTask>> actions_;  // the mails and commands under way
};

}  // namespace nb
