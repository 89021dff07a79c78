// Threads of the program's own: a job run on a worker thread, a request to stop that any thread
// can make and any wait can watch, and the one bounded wait that watches it.
//
// A worker thread keeps its job alive, so whoever started it may let go of the job at any time:
// a job that outlives its caller must own everything it uses. Every wait a worker makes has a
// bound; the window's thread never waits for a worker (ui/task_win.h hands results back as
// messages).
#pragma once

#include <windows.h>

#include <chrono>
#include <memory>

#include "base/app_error.h"
#include "base/system_error_win.h"
#include "base/unique_any_win.h"

namespace nb {

namespace detail {
template <typename Job>
DWORD WINAPI WorkerMain(void* parameter) noexcept {
  const std::unique_ptr<std::shared_ptr<Job>> job(static_cast<std::shared_ptr<Job>*>(parameter));
  (*job)->Run();
  return 0;
}
}  // namespace detail

// Runs job->Run() (which must not throw) on a new thread and returns the thread's handle, which
// is signalled when Run has returned. Raises an AppError when no thread can be made.
template <typename Job>
unique_handle StartWorker(std::shared_ptr<Job> job) {
  auto parameter = std::make_unique<std::shared_ptr<Job>>(std::move(job));
  HANDLE thread = CreateThread(nullptr, 0, &detail::WorkerMain<Job>, parameter.get(), 0, nullptr);
  if (!thread) throw AppError(kProgramErrorBase, SystemErrorText(GetLastError()));
  parameter.release();  // now owned by the thread
  return unique_handle(thread);
}

// A request to stop: made once, from any thread, and seen by every wait that watches it.
class StopSignal {
 public:
  // Raises an AppError when the system has no event to give.
  StopSignal();
  void Request() const noexcept { SetEvent(event_.get()); }
  bool Requested() const noexcept { return WaitForSingleObject(event_.get(), 0) == WAIT_OBJECT_0; }
  HANDLE Event() const noexcept { return event_.get(); }

 private:
  unique_handle event_;
};

enum class WaitEnd { kSignalled, kStopped, kTimedOut };

// Waits until the handle is signalled, the stop is requested (when one is given) or the bound has
// passed, whichever comes first; a handle already signalled wins over a stop.
WaitEnd WaitFor(HANDLE handle, const StopSignal* stop, std::chrono::milliseconds bound);

// What is left of a bound that ends at `deadline`, never less than nothing.
std::chrono::milliseconds TimeLeft(std::chrono::steady_clock::time_point deadline);

}  // namespace nb
