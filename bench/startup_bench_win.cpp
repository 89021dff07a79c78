// Start-up benchmark: the time from starting a program to its first visible top-level window,
// for Netbeacon and for a bare window program with the same manifest and one button. The two are
// started in turn; each start ends with the window closed and the process gone before the next.
// Prints every start, the medians and their ratio.
// Usage: startup_bench <program> <yardstick> [starts of each, at least 11 by default]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/unique_any_win.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Found {
  DWORD pid;
  HWND window = nullptr;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lParam) {
  auto* found = reinterpret_cast<Found*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != found->pid || !IsWindowVisible(hwnd)) return TRUE;
  found->window = hwnd;
  return FALSE;
}

// Milliseconds from CreateProcess to a visible top-level window of the process; negative when
// none appeared within 20 s. The process is closed and waited for afterwards.
double TimeOneStart(const std::wstring& program) {
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const Clock::time_point start = Clock::now();
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    std::fwprintf(stderr, L"cannot start %ls: error %lu\n", program.c_str(), GetLastError());
    return -1;
  }
  const nb::unique_handle process(info.hProcess);
  const nb::unique_handle thread(info.hThread);
  Found found{info.dwProcessId};
  double elapsed = -1;
  while (Clock::now() - start < std::chrono::seconds(20)) {
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&found));
    if (found.window) {
      elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      break;
    }
    if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  if (found.window) PostMessageW(found.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 5000);
  }
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: startup_bench <program> <yardstick> [starts]\n");
    return 2;
  }
  const std::wstring program = argv[1];
  const std::wstring yardstick = argv[2];
  const int starts = std::max(argc > 3 ? _wtoi(argv[3]) : 11, 1);
  // One start of each first, not counted: the system's own caches warm up.
  TimeOneStart(program);
  TimeOneStart(yardstick);
  std::vector<double> programTimes, yardstickTimes;
  for (int i = 0; i < starts; ++i) {
    // Alternating, and each pair in turn led by the other, so that neither always follows the other.
    const bool programFirst = i % 2 == 0;
    for (int k = 0; k < 2; ++k) {
      const bool isProgram = (k == 0) == programFirst;
      const double ms = TimeOneStart(isProgram ? program : yardstick);
      if (ms < 0) {
        std::fwprintf(stderr, L"no visible window from %ls\n", (isProgram ? program : yardstick).c_str());
        return 1;
      }
      (isProgram ? programTimes : yardstickTimes).push_back(ms);
    }
  }
  std::wprintf(L"start to visible window, %d starts each (ms):\n", starts);
  for (int i = 0; i < starts; ++i) {
    std::wprintf(L"  %2d  program %7.1f   bare window %7.1f\n", i + 1, programTimes[i], yardstickTimes[i]);
  }
  const double programMedian = Median(programTimes);
  const double yardstickMedian = Median(yardstickTimes);
  std::wprintf(L"median: program %.1f ms, bare window %.1f ms, ratio %.2f\n", programMedian, yardstickMedian,
               programMedian / yardstickMedian);
  return 0;
}
