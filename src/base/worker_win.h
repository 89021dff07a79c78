// Work that runs on a thread of its own while the user-interface thread waits for it with a
// bound (see WaitWhilePainting in ui/message_loop_win.h). The thread keeps its job alive, so a
// caller that stops waiting may let go of the job at any time: a job that outlives its bound
// must therefore own everything it uses.
#pragma once

#include <windows.h>

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

}  // namespace nb
