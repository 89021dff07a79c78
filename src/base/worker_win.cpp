#include "base/worker_win.h"

#include <algorithm>

namespace nb {

StopSignal::StopSignal() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  if (!event_) throw AppError(kProgramErrorBase, SystemErrorText(GetLastError()));
}

WaitEnd WaitFor(HANDLE handle, const StopSignal* stop, std::chrono::milliseconds bound) {
  const HANDLE handles[] = {handle, stop ? stop->Event() : nullptr};
  const DWORD count = stop ? 2 : 1;
  // A bound beyond what one call takes is waited for in pieces.
  const auto deadline = std::chrono::steady_clock::now() + bound;
  for (;;) {
    const auto left = std::min<long long>(TimeLeft(deadline).count(), 0x7FFFFFFE);
    switch (WaitForMultipleObjects(count, handles, FALSE, static_cast<DWORD>(left))) {
      case WAIT_OBJECT_0:
        return WaitEnd::kSignalled;
      case WAIT_OBJECT_0 + 1:
        return WaitEnd::kStopped;
      case WAIT_TIMEOUT:
        if (TimeLeft(deadline).count() > 0) continue;
        return WaitEnd::kTimedOut;
      default:
        // A handle that cannot be waited for: nothing will come of it.
        return WaitEnd::kTimedOut;
    }
  }
}

std::chrono::milliseconds TimeLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return std::max(left, std::chrono::milliseconds{0});
}

}  // namespace nb
