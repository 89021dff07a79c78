#include "ui/task_win.h"

#include <algorithm>
#include <atomic>
#include <unordered_map>
#include <vector>

namespace nb {
namespace {

// The tasks that wait for news, by number. Only the window's thread uses it.
std::unordered_map<WPARAM, detail::TaskReceiver*>& Receivers() {
  // Never destroyed: windows that live to the program's end drop their tasks after it.
  static auto& receivers = *new std::unordered_map<WPARAM, detail::TaskReceiver*>;
  return receivers;
}

// A worker that StopAllTasks can ask to stop and wait for.
struct TrackedWorker {
  std::weak_ptr<detail::TaskCoreBase> core;
  std::shared_ptr<unique_handle> thread;
};

std::mutex& WorkersMutex() {
  static std::mutex& mutex = *new std::mutex;  // workers may still use it as the program ends
  return mutex;
}

std::vector<TrackedWorker>& Workers() {
  static std::vector<TrackedWorker>& workers = *new std::vector<TrackedWorker>;
  return workers;
}

bool Ended(const TrackedWorker& worker) { return WaitForSingleObject(worker.thread->get(), 0) == WAIT_OBJECT_0; }

// The job of a tracked worker thread.
struct Job {
  std::function<void()> run;
  void Run() noexcept { run(); }
};

// A queue that stays full, or a window that goes meanwhile: a posted message may not get through
// at once. It is tried again for a while; after that the news waits for the next one.
constexpr int kPostTries = 100;
constexpr DWORD kPostRetryMs = 50;

}  // namespace

namespace detail {

TaskCoreBase::TaskCoreBase(HWND window) : window_(window), number_([] {
  static std::atomic<WPARAM> next{0};
  return ++next;
}()) {}

void TaskCoreBase::Notify() const noexcept {
  for (int attempt = 0; attempt < kPostTries; ++attempt) {
    if (PostMessageW(window_, kTaskMessage, number_, 0)) return;
    if (!IsWindow(window_)) return;
    Sleep(kPostRetryMs);
  }
}

void Register(WPARAM number, TaskReceiver* receiver) { Receivers()[number] = receiver; }

void Unregister(WPARAM number) { Receivers().erase(number); }

void StartTrackedWorker(std::shared_ptr<TaskCoreBase> core, std::function<void()> run) {
  auto thread = std::make_shared<unique_handle>(StartWorker(std::make_shared<Job>(Job{std::move(run)})));
  std::lock_guard<std::mutex> lock(WorkersMutex());
  std::vector<TrackedWorker>& workers = Workers();
  workers.erase(std::remove_if(workers.begin(), workers.end(), Ended), workers.end());
  workers.push_back({core, std::move(thread)});
}

}  // namespace detail

void DeliverTaskMessage(WPARAM number) {
  const auto found = Receivers().find(number);
  if (found != Receivers().end()) found->second->Deliver();
}

void StopAllTasks(std::chrono::milliseconds grace) {
  std::vector<TrackedWorker> workers;
  {
    std::lock_guard<std::mutex> lock(WorkersMutex());
    workers = Workers();
  }
  for (const TrackedWorker& worker : workers) {
    if (const auto core = worker.core.lock()) core->Stop().Request();
  }
  const auto deadline = std::chrono::steady_clock::now() + grace;
  for (const TrackedWorker& worker : workers) WaitFor(worker.thread->get(), nullptr, TimeLeft(deadline));
}

}  // namespace nb
