// Watch-mode benchmark, against loopback services, with the real netbeacon.exe watching (the
// interval 15 minutes, no mail, no command):
//  (a) the processor time of the watching program over 60 s in which no check is due (after its
//      first check has ended), beside a bare window program over the same 60 s, and the working
//      sets of both at the end;
//  (b) the time from a network change notice (posted to the main window from outside) to the new
//      public address in the label and the log, against the time from a click on Find to the
//      same, medians of the rounds.
// Usage: watch_bench <bare window program> [rounds (5)] [seconds of (a) (60)]
#include "watch/watch_mode_win.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "e2e/driver_win.h"
#include "mainwindow/frmMain_ids.h"
#include "support/loopback_http_win.h"
#include "support/scripted_ui_win.h"

namespace {

using namespace nbtest::e2e;
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// User and kernel time of a process's threads so far, in milliseconds. Wine 8 answers
// GetProcessTimes for another process with the caller's own times, but each thread's times it
// reads from the system; the threads here live through the measured time.
double ProcessorMs(DWORD pid) {
  const nb::unique_file snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return -1;
  const auto ticks = [](const FILETIME& t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  ULONGLONG total = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID != pid) continue;
    const nb::unique_handle thread(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID));
    FILETIME created, ended, kernel, user;
    if (thread && GetThreadTimes(thread.get(), &created, &ended, &kernel, &user)) total += ticks(kernel) + ticks(user);
  }
  return static_cast<double>(total) / 10000.0;
}

double WorkingSetMiB(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return -1;
  return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

// The bare window program, started and shown; closed when the object goes.
class BareWindow {
 public:
  explicit BareWindow(const std::wstring& path) {
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
      return;
    }
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    window_ = WaitForWindow({L"Netbeacon.BareWindow", std::nullopt, info.dwProcessId}, kStartTimeout);
  }
  ~BareWindow() {
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (process_ && WaitForSingleObject(process_.get(), kExitTimeout) != WAIT_OBJECT_0) TerminateProcess(process_.get(), 1);
  }
  HANDLE process() const { return process_.get(); }
  DWORD pid() const { return GetProcessId(process_.get()); }
  bool shown() const { return window_ != nullptr; }

 private:
  nb::unique_handle process_;
  HWND window_ = nullptr;
};

// Whether the label shows the address and the log's last record holds it.
bool Shown(HWND label, const std::wstring& address, const std::wstring& log) {
  if (ControlText(label) != address) return false;
  const std::string bytes = nbtest::ReadFileBytes(log);
  std::string ending = "\"";
  ending += Utf8(address) + "\"\r\n";
  return bytes.size() >= ending.size() && bytes.compare(bytes.size() - ending.size(), ending.size(), ending) == 0;
}

// Milliseconds from `cause` to the address in the label and the log; negative when it never came.
template <typename Cause>
double TimeToAddress(nbtest::LoopbackHttpServer& server, HWND label, const std::wstring& log, const char* address,
                     Cause cause) {
  server.Answer("/ip1", std::string(address) + "\n");
  const std::wstring wide(address, address + std::strlen(address));
  const Clock::time_point start = Clock::now();
  if (!cause() || !WaitUntil([&] { return Shown(label, wide, log); }, kActionTimeout, 1)) return -1;
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fwprintf(stderr, L"usage: watch_bench <bare window program> [rounds] [seconds]\n");
    return 2;
  }
  const int rounds = std::max(argc > 2 ? _wtoi(argv[2]) : 5, 1);
  const int seconds = std::max(argc > 3 ? _wtoi(argv[3]) : 60, 1);
  if (!EndLeftoverCopies().empty()) {
    std::fwprintf(stderr, L"another netbeacon.exe runs\n");
    return 1;
  }
  nbtest::LoopbackHttpServer server;
  server.Answer("/ip1", "203.0.113.7\n");
  ScopedSettings settings;
  settings.Set(L"Autorun", L"0").Set(L"Autoquit", L"0").Set(L"Watch", L"1").Set(L"WatchMinutes", L"15");
  settings.Set(L"WatchMail", L"0").Remove(L"WatchCommand").Set(L"ProbeURL", server.Url("/probe"));
  for (int i = 1; i <= 4; ++i) settings.Set(L"ServiceURL" + std::to_wstring(i), server.Url("/ip" + std::to_string(i)));
  const ScopedLogFile log;
  if (!log.ready()) return 1;

  RunningProgram program = StartProgram();
  const HWND window = WaitForWindow({nb::frmMainIds::kClassName, std::nullopt, program.pid()}, kStartTimeout);
  const HWND label = window ? WaitForControl(window, nb::frmMainIds::lblWANip) : nullptr;
  if (!label || !WaitUntil([&] { return Shown(label, L"203.0.113.7", log.path()); })) {
    std::fwprintf(stderr, L"the first check did not end\n");
    return 1;
  }
  {
    const BareWindow bare(argv[1]);
    if (!bare.shown()) {
      std::fwprintf(stderr, L"no window from %ls\n", argv[1]);
      return 1;
    }
    Sleep(1000);  // whatever the first check and the start left to do is over
    const double programBefore = ProcessorMs(program.pid());
    const double bareBefore = ProcessorMs(bare.pid());
    Sleep(static_cast<DWORD>(seconds) * 1000);
    std::wprintf(L"(a) processor time over %d s with no check due: program %.1f ms, bare window %.1f ms\n", seconds,
                 ProcessorMs(program.pid()) - programBefore, ProcessorMs(bare.pid()) - bareBefore);
    std::wprintf(L"    working set: program %.1f MiB, bare window %.1f MiB\n", WorkingSetMiB(program.handle()),
                 WorkingSetMiB(bare.process()));
  }

  const HWND find = GetDlgItem(window, nb::frmMainIds::cmdFindMyIP);
  const char* const addresses[] = {"198.51.100.23", "192.0.2.99"};
  std::vector<double> notices, finds;
  for (int i = 0; i < rounds; ++i) {
    const double notice = TimeToAddress(server, label, log.path(), addresses[0], [&] {
      return PostMessageW(window, nb::kNetworkChangedMessage, 0, 0) != FALSE;
    });
    const double click = TimeToAddress(server, label, log.path(), addresses[1], [&] { return Click(find); });
    if (notice < 0 || click < 0) {
      std::fwprintf(stderr, L"round %d: the new address did not come\n", i + 1);
      return 1;
    }
    std::wprintf(L"  %2d  network change %7.1f ms   Find %7.1f ms\n", i + 1, notice, click);
    notices.push_back(notice);
    finds.push_back(click);
  }
  std::wprintf(L"(b) to the new address in the label and the log, median of %d: network change %.1f ms, Find %.1f ms, "
               L"%.1f ms more\n",
               rounds, Median(notices), Median(finds), Median(notices) - Median(finds));
  CloseAndWait(program, window);
  return 0;
}
