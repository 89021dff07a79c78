// Time of one address-log update (a same-day change, appended) on a log of 10 records and on one of
// 1,000,000 records, measured in the same run; the update reads only the end of the log, so the two
// should cost about the same.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "addresslog/log_writer_win.h"
#include "support/scripted_ui_win.h"

namespace {

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

std::string MakeLog(long records) {
  std::string log;
  log.reserve(static_cast<std::size_t>(records) * 48);
  for (long i = 0; i < records; ++i) {
    const int day = 1 + static_cast<int>(i % 6);  // earlier days of the month; the last record is today's
    log += "\"12/" + std::to_string(i + 1 == records ? 7 : day) + "/2026\",\"192.168.1." + std::to_string(i % 250) +
           "\",\"203.0.113." + std::to_string(i % 200) + "\"\r\n";
  }
  return log;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain() {
  constexpr int kRepeats = 101;
  nbtest::ScriptedModalUi ui;  // an error report would be recorded here instead of shown
  nbtest::TempFolder folder;
  const std::wstring small = folder.path() + L"small.log";
  const std::wstring large = folder.path() + L"large.log";
  nbtest::WriteFileBytes(small, MakeLog(10));
  nbtest::WriteFileBytes(large, MakeLog(1000000));

  const nb::LogCalendar calendar{nb::CivilDate{2026, 12, 7}, L"M/d/yyyy"};
  std::vector<double> smallTimes, largeTimes;
  for (int i = 0; i < kRepeats; ++i) {
    // The public address changes on every call: one change record is appended each time.
    const std::wstring wan = L"198.51.100." + std::to_wstring(i % 2);
    for (int which = 0; which < 2; ++which) {
      const bool largeFirst = (i % 2) == 1;  // alternate the order
      const bool isLarge = (which == 0) == largeFirst;
      const double start = Now();
      nb::AppendAddressChanges(isLarge ? large : small, L"192.168.1.20", wan, calendar);
      (isLarge ? largeTimes : smallTimes).push_back(Now() - start);
    }
  }
  const double fullReadStart = Now();
  const std::string whole = nbtest::ReadFileBytes(large);
  const double fullRead = Now() - fullReadStart;

  const std::string lastRecord = "\"12/7/2026\",\"192.168.1.20\",\"198.51.100." + std::to_string((kRepeats - 1) % 2) + "\"\r\n";
  const bool ok = ui.messages.empty() && whole.size() > lastRecord.size() &&
                  whole.compare(whole.size() - lastRecord.size(), lastRecord.size(), lastRecord) == 0 &&
                  nbtest::ReadFileBytes(small).size() > 10 * 40;
  const double smallMedian = Median(smallTimes), largeMedian = Median(largeTimes);
  std::printf("log update (same-day change), median of %d:\n", kRepeats);
  std::printf("  10-record log:        %9.1f us\n", smallMedian * 1e6);
  std::printf("  1,000,000-record log: %9.1f us  (log of %.1f MB)\n", largeMedian * 1e6, whole.size() / 1e6);
  std::printf("  ratio large/small:    %9.2f\n", largeMedian / smallMedian);
  std::printf("  (one read of the whole large log: %.1f ms)\n", fullRead * 1e3);
  if (!ok) {
    std::printf("FAILED: the updates did not append as expected (%zu error reports)\n", ui.messages.size());
    return 1;
  }
  return 0;
}
