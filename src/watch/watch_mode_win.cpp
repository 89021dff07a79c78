#include "watch/watch_mode_win.h"

#include <chrono>
#include <vector>

#include "base/skip_trap_win.h"
#include "base/text_win.h"
#include "res/resource_ids.h"
#include "ui/menus_win.h"
#include "ui/modal_win.h"
#include "ui/window_class_win.h"
#include "watch/watch_actions_win.h"
#include "watch/watch_text.h"

namespace nb {
namespace {

constexpr wchar_t kTraceLabel[] = L"Netbeacon watch";

WatchClock::time_point Now() { return WatchClock::now(); }

// The time of day as the user's settings write it, without seconds.
std::wstring TimeOfDay() {
  wchar_t text[64] = {};
  if (!GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, text, 64)) return {};
  return text;
}

// What went wrong in an action of watch mode, or nothing; an error on the way is what went wrong, told
// in a notification like any other failure (never in a box that waits for a click).
template <typename Fn>
std::optional<std::wstring> Failure(Fn&& action) noexcept {
  try {
    return action();
  } catch (...) {
    try {
      return CurrentError().description;
    } catch (...) {
      return std::wstring();
    }
  }
}

WatchResult AsResult(const Addresses& addresses) {
  return {addresses.WanText(), addresses.LanText(), addresses.wan6.value_or(L""), addresses.lan6.value_or(L"")};
}

// What the icon's tip says after a run: the addresses (no connection when the probe failed), what
// went wrong, and when.
std::wstring TipAfter(const Addresses& after, const std::wstring& problem) {
  const std::wstring wan = after.WanText();
  const std::wstring lan = after.LanText();
  const std::wstring wan6 = after.Wan6Text();
  const std::wstring lan6 = after.Lan6Text();
  std::vector<TipLine> lines = {{L"Public", after.connected ? std::optional<std::wstring_view>(wan) : std::nullopt},
                                {L"LAN", lan}};
  if (after.HasIPv6()) {
    lines.push_back({L"Public IPv6", wan6});
    lines.push_back({L"LAN IPv6", lan6});
  }
  if (!problem.empty()) lines.push_back({L"Problem", problem});
  return WatchToolTip(lines, TimeOfDay());
}

}  // namespace

bool WatchMode::Start(HWND window, const WatchSettings& settings) {
  if (Watching()) return true;
  window_ = window;
  settings_ = settings;
  schedule_.ChangeInterval(std::chrono::minutes(settings.minutes), Now());
  icon_.SetToolTip(kProgramName);  // until the first check has ended
  const bool shown = icon_.Add(window, kWatchIconMessage, ResourceIcon(IDI_NETBEACON));
  if (!network_.Start(window, kNetworkChangedMessage)) {
    TraceSkippedError(kProgramErrorBase, L"The system gives no network change notifications", kTraceLabel);
  }
  Follow(schedule_.On(WatchEvent::Started, Now()));
  return shown;
}

void WatchMode::Stop() {
  if (!Watching()) return;
  Follow(schedule_.On(WatchEvent::Stopped, Now()));
  KillTimer(window_, kWatchTimerId);
  network_.Stop();
  icon_.Remove();
  window_ = nullptr;
}

void WatchMode::Apply(const WatchSettings& settings) {
  settings_ = settings;
  Follow(schedule_.ChangeInterval(std::chrono::minutes(settings.minutes), Now()));
}

void WatchMode::RunStarted() { Follow(schedule_.On(WatchEvent::RunStarted, Now())); }

void WatchMode::RunEnded(const Addresses& before, const Addresses& after, const std::wstring& problem) {
  if (Watching()) {
    icon_.SetToolTip(TipAfter(after, problem));
    // Against what was last seen of each address, so that a change across a failed check is told.
    const WatchResult last = LastSeen(seen_, AsResult(before));
    Changed(last, after);
    seen_ = LastSeen(last, AsResult(after));
  }
  Follow(schedule_.On(WatchEvent::RunEnded, Now()));
}

// The timer first: a check started here tells the schedule of its start, whose decision then
// stands.
void WatchMode::Follow(const WatchDecision& decision) {
  if (!Watching()) return;
  if (decision.timerDue) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*decision.timerDue - Now()).count();
    SetTimer(window_, kWatchTimerId, static_cast<UINT>(std::clamp<long long>(wait, USER_TIMER_MINIMUM, 0x7FFFFFFF)),
             nullptr);
  } else {
    KillTimer(window_, kWatchTimerId);
  }
  if (decision.checkNow && host_.startCheck) host_.startCheck();
}

// A change from one address to another: one notification for the check, then the mail (for the
// public address) and the command, each once.
void WatchMode::Changed(const WatchResult& last, const Addresses& after) {
  const std::vector<AddressChange> changes = AddressChanges(last, AsResult(after));
  if (changes.empty()) return;
  Notice notice = ChangeNotice(changes.front());
  for (std::size_t i = 1; i < changes.size(); ++i) notice.text += L"\n" + ChangeNotice(changes[i]).text;
  Tell(notice.title, notice.text, false);
  // A mail for each public address that changed, IPv4 or IPv6.
  for (const AddressChange& change : changes) {
    if (!settings_.mail || (change.kind != AddressKind::Public && change.kind != AddressKind::PublicIPv6)) continue;
    RunAction(L"The mail was not sent",
              [address = change.after](const StopSignal& stop) { return SendWatchMail(address, &stop); });
  }
  if (!settings_.command.empty()) {
    const WatchResult now = AsResult(after);
    const std::wstring line =
        WatchCommandLine(settings_.command, {now.publicAddress, now.lanAddress, now.publicIPv6, now.lanIPv6});
    RunAction(L"The command failed",
              [line](const StopSignal& stop) { return RunWatchCommand(line, kCommandBound, &stop); });
  }
}

// Each action on a task of its own, so that one still under way never holds up or drops the next.
void WatchMode::RunAction(const wchar_t* failureTitle,
                          std::function<std::optional<std::wstring>(const StopSignal&)> action) {
  std::erase_if(actions_, [](const auto& task) { return !task->Running(); });
  auto& task = actions_.emplace_back(std::make_unique<ActionTask>());
  task->Start(
      window_, [action](TaskContext<std::monostate>& work) { return Failure([&] { return action(work.Stop()); }); },
      [this, failureTitle](std::optional<std::wstring> failure) {
        if (failure) Tell(failureTitle, *failure, true);
      });
}

void WatchMode::Tell(const std::wstring& title, const std::wstring& text, bool failure) {
  if (!icon_.ShowNotice(title, text, failure ? NoticeIcon::Warning : NoticeIcon::Info)) {
    TraceSkippedError(kProgramErrorBase, title + L": " + text, kTraceLabel);
  }
}

void WatchMode::ShowMenu(POINT at) {
  const unique_hmenu menu(MakePopupMenu({{watchCheckNow, L"&Check now"},
                                         {watchCopyPublic, L"Copy &public address"},
                                         {watchCopyLan, L"Copy &LAN address"},
                                         {watchShowWindow, L"&Show Netbeacon"},
                                         kMenuSeparator,
                                         {watchStop, L"S&top watching"},
                                         {watchExit, L"E&xit"}}));
  const int chosen = Modal().ShowPopupMenu(menu.get(), window_, at);
  if (chosen == watchCheckNow) {
    Follow(schedule_.On(WatchEvent::CheckNow, Now()));
  } else if (chosen && host_.menuCommand) {
    host_.menuCommand(chosen);
  }
}

bool WatchMode::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  if (msg == kNetworkChangedMessage) {
    Follow(schedule_.On(WatchEvent::NetworkChanged, Now()));
    return true;
  }
  if (!Watching()) return false;
  if (msg == WM_TIMER && wParam == kWatchTimerId) {
    Follow(schedule_.On(WatchEvent::TimerFired, Now()));
    return true;
  }
  if (msg == WM_POWERBROADCAST) {
    if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
      Follow(schedule_.On(WatchEvent::Resumed, Now()));
    }
    result = TRUE;
    return true;
  }
  if (msg == kWatchIconMessage) {
    const IconCallback callback = DecodeIconCallback(wParam, lParam);
    if (callback.event == IconEvent::Select || callback.event == IconEvent::KeySelect) {
      host_.menuCommand(watchShowWindow);
    }
    if (callback.event == IconEvent::ContextMenu) ShowMenu({callback.x, callback.y});
    return true;
  }
  if (msg == TaskbarCreatedMessage()) {
    icon_.Restore();
    return false;  // other windows may want it too
  }
  return false;
}

}  // namespace nb
