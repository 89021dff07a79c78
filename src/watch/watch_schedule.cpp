#include "watch/watch_schedule.h"

#include <algorithm>

namespace nb {

void WatchSchedule::SetInterval(std::chrono::minutes interval) {
  interval_ = std::clamp(interval, std::chrono::minutes(kMinWatchMinutes), std::chrono::minutes(kMaxWatchMinutes));
}

WatchDecision WatchSchedule::ChangeInterval(std::chrono::minutes interval, WatchClock::time_point now) {
  SetInterval(interval);
  return Decide(false, now);
}

WatchDecision WatchSchedule::On(WatchEvent event, WatchClock::time_point now) {
  switch (event) {
    case WatchEvent::Started:
      watching_ = true;
      settledCheck_.reset();  // a window left open when watch stopped
      return Decide(true, now);
    case WatchEvent::Stopped:
      watching_ = false;
      return {};
    case WatchEvent::NetworkChanged:
    case WatchEvent::Resumed:
      // Later notifications join the open window without pushing its check back.
      if (!settledCheck_) settledCheck_ = now + kNetworkSettleTime;
      return Decide(false, now);
    case WatchEvent::CheckNow:
      return Decide(true, now);
    case WatchEvent::RunStarted:
      running_ = true;
      return Decide(false, now);
    case WatchEvent::RunEnded:
      running_ = false;
      intervalFrom_ = now;
      // A window's check that fell due during the run is dropped, even when its timer comes late.
      if (settledCheck_ && *settledCheck_ <= now) settledCheck_.reset();
      return Decide(false, now);
    case WatchEvent::TimerFired:
      return Decide(DueAt(now), now);
  }
  return Decide(false, now);
}

// Takes the window's check off once it falls due, whether it runs or is dropped.
bool WatchSchedule::DueAt(WatchClock::time_point now) {
  bool due = !running_ && intervalFrom_ + interval_ <= now;
  if (settledCheck_ && *settledCheck_ <= now) {
    settledCheck_.reset();
    due = true;
  }
  return due;
}

WatchDecision WatchSchedule::Decide(bool check, WatchClock::time_point now) {
  if (!watching_) return {};
  const bool checkNow = check && !running_;
  // Counted from the check's start until its run ends, so that a check the program never runs
  // still leaves the next one an interval away rather than overdue.
  if (checkNow) intervalFrom_ = now;
  return {checkNow, NextTimer()};
}

// During a run the interval needs no timer: the run's end sets it again.
std::optional<WatchClock::time_point> WatchSchedule::NextTimer() const {
  std::optional<WatchClock::time_point> due = settledCheck_;
  if (!running_) {
    const auto intervalDue = intervalFrom_ + interval_;
    if (!due || intervalDue < *due) due = intervalDue;
  }
  return due;
}

}  // namespace nb
