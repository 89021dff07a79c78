// The CPU time that waiting for the configuration command costs the program: captures whose
// command takes about 2 s, each run as the viewer runs it (a task on a worker, whose result comes
// back to a window while the window's thread sits in the program's message loop), measured with
// the process's own CPU time (GetProcessTimes) against wall time in the same run. Beside them,
// the same command waited for by reading its exit code again and again without sleeping,
// letting messages through between reads.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "base/text_win.h"
#include "base/unique_any_win.h"
#include "netconfig/capture_win.h"
#include "support/scripted_ui_win.h"
#include "ui/message_loop_win.h"
#include "ui/task_win.h"
#include "ui/window_win.h"

namespace {

constexpr int kRuns = 3;

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// User and kernel time of this process, in seconds.
double ProcessCpu() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

// The window a capture's result comes back to.
class ResultWindow : public nb::Window {
 public:
  void Open() { CreateFrame({L"Netbeacon.NetconfigBench", L"bench"}); }
};

// One capture as a task: the window's thread waits in the message loop until the result is there.
nb::CaptureResult CaptureAsTask(HWND window, const nb::CaptureSeams& seams) {
  std::optional<nb::CaptureResult> result;
  nb::Task<nb::CaptureResult> task;
  task.Start(
      window, [seams](nb::TaskContext<std::monostate>& context) { return nb::CaptureConfiguration(seams, context.Stop()); },
      [&](nb::CaptureResult ended) { result = std::move(ended); });
  nb::RunMessageLoop([&] { return result.has_value(); });
  return *result;
}

// The command started hidden through the interpreter, its end found by polling without a pause.
void PollingWait(const std::wstring& command) {
  std::wstring line = L"cmd.exe /c \"" + command + L" > nul\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &started)) {
    std::printf("could not start the command (%lu)\n", GetLastError());
    return;
  }
  const nb::unique_handle process(started.hProcess), thread(started.hThread);
  DWORD code = STILL_ACTIVE;
  MSG msg;
  while (GetExitCodeProcess(process.get(), &code) && code == STILL_ACTIVE) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

void Print(const char* what, double wall, double cpu) {
  std::printf("%-34s wall %7.0f ms  CPU %6.0f ms  CPU/wall %6.2f %%\n", what, 1000 * wall, 1000 * cpu, 100.0 * cpu / wall);
}

}  // namespace

int wmain() {
  nbtest::TempFolder folder;
  ResultWindow window;
  window.Open();
  const std::wstring command = L"\"" + nb::ExecutableFolder() + L"config_command_standin.exe\" --sleep-ms 2000 --chars 4000";
  std::printf("configuration command: %ls\n", command.c_str());

  nb::CaptureSeams seams;
  seams.tempFolder = folder.path();
  seams.command = command;
  double totalWall = 0, totalCpu = 0;
  bool failed = false;
  for (int run = 0; run < kRuns; ++run) {
    const double cpu0 = ProcessCpu(), t0 = Now();
    const nb::CaptureResult result = CaptureAsTask(window.hwnd(), seams);
    const double wall = Now() - t0, cpu = ProcessCpu() - cpu0;
    totalWall += wall;
    totalCpu += cpu;
    const std::size_t length = result.report ? result.report->size() : 0;
    Print(("capture " + std::to_string(run + 1) + " (" + std::to_string(length) + " chars)").c_str(), wall, cpu);
    if (result.error) {
      std::printf("the capture failed: error %ld, %ls\n", result.error->number, result.error->description.c_str());
      failed = true;
    }
  }
  Print("captures together", totalWall, totalCpu);

  const double cpu0 = ProcessCpu(), t0 = Now();
  PollingWait(command);
  Print("polling the exit code, no sleep", Now() - t0, ProcessCpu() - cpu0);
  return failed ? 1 : 0;
}
