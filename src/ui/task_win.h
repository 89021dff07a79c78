// Long work (network, processes, lookups, sending) on a worker thread, whose result comes back to
// the window that started it as a posted message: the window's thread never waits for it.
//
//   Task<Found, std::wstring> run_;                                   // a member of the window
//   run_.Start(hwnd(),
//              [settings](TaskContext<std::wstring>& task) {          // on the worker
//                task.Report(L"Trying ...");                          //   progress, as it goes
//                return Find(settings, task.Stop());                  //   waits watch the stop
//              },
//              [this](Found found) { RunEnded(std::move(found)); },   // on the window's thread
//              [this](std::wstring step) { ShowStep(step); });        // each report, in order
//
// Stop() drops a task: its work is asked to stop, and nothing of it reaches the window any more.
// A Task stops when it is destroyed, so a result never reaches a window that has gone. An
// exception that leaves the work is raised again on the window's thread, where the window
// procedure reports it. Every window handles the task message in its base (ui/window_win.h).
#pragma once

#include <windows.h>

#include <chrono>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <variant>

#include "base/worker_win.h"

namespace nb {

// Posted to the window that started a task when the task has something new; wParam: its number.
inline constexpr UINT kTaskMessage = WM_APP + 0x1F0;

// Runs on the window's thread for a kTaskMessage: hands what is new to the task it is for, if that
// task still wants it.
void DeliverTaskMessage(WPARAM number);

// When the program ends: asks every task that still runs to stop and gives their workers at most
// `grace` to finish (a download then removes its scratch file).
void StopAllTasks(std::chrono::milliseconds grace);

namespace detail {

// What the window's side of a task and its worker share.
class TaskCoreBase {
 public:
  explicit TaskCoreBase(HWND window);
  virtual ~TaskCoreBase() = default;
  TaskCoreBase(const TaskCoreBase&) = delete;
  TaskCoreBase& operator=(const TaskCoreBase&) = delete;

  WPARAM Number() const noexcept { return number_; }
  const StopSignal& Stop() const noexcept { return stop_; }
  // Tells the window that something new is there (from the worker).
  void Notify() const noexcept;

 protected:
  std::mutex mutex_;

 private:
  const HWND window_;
  const WPARAM number_;
  StopSignal stop_;
};

// The window's side of a task, as the task message finds it.
class TaskReceiver {
 public:
  virtual void Deliver() = 0;

 protected:
  ~TaskReceiver() = default;
};

void Register(WPARAM number, TaskReceiver* receiver);
void Unregister(WPARAM number);

// Runs `run` on a new worker thread that StopAllTasks knows of. Raises an AppError when no thread
// can be made.
void StartTrackedWorker(std::shared_ptr<TaskCoreBase> core, std::function<void()> run);

}  // namespace detail

// What the work of a task gets: the task's stop signal, and a way to report progress.
template <typename Progress>
class TaskContext : public detail::TaskCoreBase {
 public:
  using detail::TaskCoreBase::TaskCoreBase;

  bool StopRequested() const noexcept { return Stop().Requested(); }
  // Queues a report for the window (reports arrive in order, before the result).
  void Report(Progress progress) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      reports_.push_back(std::move(progress));
    }
    Notify();
  }

 protected:
  std::deque<Progress> reports_;  // guarded by mutex_
};

template <typename Result, typename Progress = std::monostate>
class Task final : private detail::TaskReceiver {
 public:
  using Work = std::function<Result(TaskContext<Progress>&)>;
  using Done = std::function<void(Result)>;
  using OnProgress = std::function<void(Progress)>;

  Task() = default;
  ~Task() { Stop(); }
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;

  // Starts the work on a worker; a task that still runs is dropped first. `done` runs on this
  // thread with the result once the work has ended, `progress` with each report before it.
  void Start(HWND window, Work work, Done done, OnProgress progress = {}) {
    Stop();
    auto core = std::make_shared<Core>(window);
    core_ = core;
    done_ = std::move(done);
    progress_ = std::move(progress);
    detail::Register(core->Number(), this);
    try {
      detail::StartTrackedWorker(core, [core, work = std::move(work)] { core->Run(work); });
    } catch (...) {
      Stop();
      throw;
    }
  }

  bool Running() const noexcept { return core_ != nullptr; }

  // Drops the task: its work is asked to stop, and neither `done` nor `progress` runs for it.
  void Stop() noexcept {
    if (!core_) return;
    detail::Unregister(core_->Number());
    core_->Stop().Request();
    core_.reset();
  }

 private:
  class Core final : public TaskContext<Progress> {
   public:
    using TaskContext<Progress>::TaskContext;

    void Run(const Work& work) noexcept {
      std::optional<Result> result;
      std::exception_ptr failure;
      try {
        result.emplace(work(*this));
      } catch (...) {
        failure = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> lock(this->mutex_);
        result_ = std::move(result);
        failure_ = failure;
        ended_ = true;
      }
      this->Notify();
    }

    // On the window's thread: what came since the last time.
    struct News {
      std::deque<Progress> reports;
      bool ended = false;
      std::optional<Result> result;
      std::exception_ptr failure;
    };
    News Take() {
      std::lock_guard<std::mutex> lock(this->mutex_);
      News news;
      news.reports.swap(this->reports_);
      news.ended = ended_;
      if (ended_) {
        news.result = std::move(result_);
        news.failure = failure_;
        result_.reset();
      }
      return news;
    }

   private:
    bool ended_ = false;              // guarded by mutex_
    std::optional<Result> result_;    // guarded by mutex_
    std::exception_ptr failure_;      // guarded by mutex_
  };

  // A handler may stop this task or start it again: what it did is respected for what follows.
  void Deliver() override {
    const std::shared_ptr<Core> core = core_;
    if (!core) return;
    typename Core::News news = core->Take();
    for (Progress& report : news.reports) {
      if (core_ != core) return;
      if (progress_) progress_(std::move(report));
    }
    if (!news.ended || core_ != core) return;
    detail::Unregister(core->Number());
    core_.reset();
    const Done done = std::move(done_);
    if (news.failure) std::rethrow_exception(news.failure);
    if (done && news.result) done(std::move(*news.result));
  }

  std::shared_ptr<Core> core_;
  Done done_;
  OnProgress progress_;
};

}  // namespace nb
