// When watch mode checks the addresses: the one timer of watch and whether a check starts now,
// decided from the events the program passes in, each with the current time of a steady clock.
// Portable: no Windows header, no timer of its own.
#pragma once

#include <chrono>
#include <optional>

namespace nb {

using WatchClock = std::chrono::steady_clock;

// The interval between checks, in minutes, and how long the network may settle after a change
// notification before the check that it asks for.
inline constexpr int kMinWatchMinutes = 1;
inline constexpr int kMaxWatchMinutes = 1440;
inline constexpr std::chrono::seconds kNetworkSettleTime{3};

enum class WatchEvent {
  Started,         // watch turned on: a check at once
  Stopped,         // watch turned off: no check and no timer until it starts again
  NetworkChanged,  // an interface or address change notification
  Resumed,         // the machine woke from sleep: the network may have changed
  CheckNow,        // the user's Check now
  RunStarted,      // any run began: a check, or the user's Find
  RunEnded,        // that run is over
  TimerFired,      // the timer armed after the last decision fired
};

// What the program does after an event: start a check (and report RunStarted when it does), and
// arm the one timer for `timerDue` (at once when that has passed), or kill it when there is none.
struct WatchDecision {
  bool checkNow = false;
  std::optional<WatchClock::time_point> timerDue;

  bool operator==(const WatchDecision&) const = default;
};

// Never two runs at once: a check that falls due while a run is under way is dropped, not put off.
// The interval counts from the end of the last run, whatever started it, or from the start of
// watch before any run ended. Network changes within kNetworkSettleTime of the first make one
// check, kNetworkSettleTime after the first. Between checks only the interval's timer is armed.
class WatchSchedule {
 public:
  // An interval outside kMinWatchMinutes..kMaxWatchMinutes is taken as the nearer bound.
  explicit WatchSchedule(std::chrono::minutes interval) { SetInterval(interval); }

  WatchDecision On(WatchEvent event, WatchClock::time_point now);

  // A new interval while watching counts from the same end of the last run as the old one did.
  WatchDecision ChangeInterval(std::chrono::minutes interval, WatchClock::time_point now);

 private:
  void SetInterval(std::chrono::minutes interval);
  WatchDecision Decide(bool check, WatchClock::time_point now);
  bool DueAt(WatchClock::time_point now);
  std::optional<WatchClock::time_point> NextTimer() const;

  std::chrono::minutes interval_{};
  bool watching_ = false;
  bool running_ = false;
  WatchClock::time_point intervalFrom_{};               // the end of the last run, or the last check's start
  std::optional<WatchClock::time_point> settledCheck_;  // the check of an open network-change window
};

}  // namespace nb
