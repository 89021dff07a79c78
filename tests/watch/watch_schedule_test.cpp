#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "watch/watch_schedule.h"

namespace {

using E = nb::WatchEvent;

nb::WatchClock::time_point At(int seconds) { return nb::WatchClock::time_point{} + std::chrono::seconds(seconds); }

// An event at `at` seconds on the stand-in clock, whether a check starts then and when the timer is
// due, in seconds (none: no timer).
struct Step {
  int at;
  E event;
  bool check;
  std::optional<int> timer;
};

TEST(WatchSchedule, DecidesChecksAndTheTimerFromTheEvents) {
  const struct {
    const char* name;
    std::vector<Step> steps;
    int minutes = 1;
  } cases[] = {
      {"a check at start, then an interval after the end of each run",
       {{0, E::Started, true, 60}, {0, E::RunStarted, false, {}}, {5, E::RunEnded, false, 65},
        {65, E::TimerFired, true, 125}, {65, E::RunStarted, false, {}}, {72, E::RunEnded, false, 132}}},
      {"changes within 3 s make one check 3 s after the first; a change during a run opens a window",
       {{0, E::Started, true, 60}, {20, E::NetworkChanged, false, 23}, {22, E::Resumed, false, 23},
        {23, E::TimerFired, true, 83}, {23, E::RunStarted, false, {}}, {24, E::NetworkChanged, false, 27},
        {26, E::RunEnded, false, 27}, {27, E::TimerFired, true, 87}}},
      {"checks that fall due during a run are dropped, a window's even when its timer comes late",
       {{0, E::Started, true, 60}, {0, E::RunStarted, false, {}}, {1, E::NetworkChanged, false, 4},
        {2, E::CheckNow, false, 4}, {4, E::TimerFired, false, {}}, {9, E::RunEnded, false, 69},
        {10, E::NetworkChanged, false, 13}, {11, E::RunStarted, false, 13}, {14, E::RunEnded, false, 74},
        {14, E::TimerFired, false, 74}}},
      {"the interval counts from the end of the user's Find, even one under way at start; Check now at once",
       {{0, E::RunStarted, false, {}}, {1, E::Started, false, {}}, {4, E::RunEnded, false, 64},
        {50, E::RunStarted, false, {}}, {80, E::RunEnded, false, 140}, {100, E::CheckNow, true, 160}}},
      {"the interval's timer before an open window's",
       {{0, E::Started, true, 60}, {59, E::NetworkChanged, false, 60}, {60, E::TimerFired, true, 62},
        {60, E::RunStarted, false, 62}, {62, E::TimerFired, false, {}}, {65, E::RunEnded, false, 125}}},
      {"stopped: nothing more, and a new start forgets the window",
       {{0, E::Started, true, 60}, {5, E::NetworkChanged, false, 8}, {6, E::Stopped, false, {}},
        {6, E::NetworkChanged, false, {}}, {6, E::TimerFired, false, {}}, {6, E::CheckNow, false, {}},
        {7, E::Started, true, 67}, {8, E::TimerFired, false, 67}}},
      {"an interval of 0 is taken as 1 minute", {{0, E::Started, true, 60}}, 0},
  };
  for (const auto& c : cases) {
    nb::WatchSchedule schedule(std::chrono::minutes(c.minutes));
    for (const auto& s : c.steps) {
      const nb::WatchDecision expected{s.check, s.timer ? std::optional(At(*s.timer)) : std::nullopt};
      EXPECT_EQ(schedule.On(s.event, At(s.at)), expected) << c.name << ": event at " << s.at << " s";
    }
  }
  nb::WatchSchedule schedule(std::chrono::minutes(15));
  schedule.On(E::Started, At(0));
  EXPECT_EQ(schedule.ChangeInterval(std::chrono::minutes(30), At(300)), (nb::WatchDecision{false, At(1800)}));
}

}  // namespace
