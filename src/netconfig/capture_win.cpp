#include "netconfig/capture_win.h"

#include <windows.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/file_io_win.h"
#include "base/interpreter_win.h"
#include "base/system_error_win.h"
#include "base/text_win.h"
#include "base/unique_any_win.h"
#include "base/windows_version_win.h"
#include "base/worker_win.h"
#include "netconfig/capture_text.h"

namespace nb {
namespace {

using Clock = std::chrono::steady_clock;

// How often the Windows 95 wait looks for the report once the batch file has ended.
constexpr std::chrono::milliseconds kReportPollInterval{100};

// How often a capture that waits for another one's scratch files looks at its stop.
constexpr std::chrono::milliseconds kTurnPollInterval{50};

// How long a command ended at the bound or by a stop is given to go.
constexpr DWORD kEndGraceMs = 2000;

// After a stop, a scratch file that the ended command still holds for a moment is tried again.
constexpr int kRemoveTries = 20;
constexpr DWORD kRemoveRetryMs = 50;

bool IsAscii(std::wstring_view text) {
  return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; });
}

// The temporary folder as the batch file names it. The batch file is written in the ANSI code
// page, like the program's other stored formats, but the command interpreter reads it in the OEM
// code page: the two agree on ASCII only. A folder whose name holds any other character is
// therefore named by its short name, which is ASCII. Where there is no ASCII short name (short
// names turned off on the folder's volume) the folder is named as it is.
std::wstring BatchFolderName(const std::wstring& folder) {
  if (IsAscii(folder)) return folder;
  const std::optional<std::wstring> shortName = TextOfNeededSize(
      [&](wchar_t* buffer, DWORD size) { return GetShortPathNameW(folder.c_str(), buffer, size); });
  return shortName && IsAscii(*shortName) ? *shortName : folder;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

AppError NotInTime(std::chrono::milliseconds bound) {
  return AppError(errnum::kFileNotFound,
                  L"The configuration report did not come within " + std::to_wstring(bound.count()) + L" ms");
}

AppError Stopped() { return AppError(kProgramErrorBase, L"The configuration capture was stopped"); }

// The scratch files have fixed names: one capture at a time has them.
std::timed_mutex& ScratchFilesMutex() {
  static auto& mutex = *new std::timed_mutex;  // a stopped capture may still wind down as the program ends
  return mutex;
}

// The scratch files' turn, waited for at most `bound` and no longer than the stop allows (a
// stopped capture gives them up within a few seconds). Not owned when neither came.
std::unique_lock<std::timed_mutex> TakeTurn(std::chrono::milliseconds bound, const StopSignal& stop) {
  std::unique_lock<std::timed_mutex> turn(ScratchFilesMutex(), std::defer_lock);
  const Clock::time_point deadline = Clock::now() + bound;
  while (!turn.try_lock_for(kTurnPollInterval)) {
    if (stop.Requested() || TimeLeft(deadline).count() == 0) break;
  }
  return turn;
}

// What a stop leaves no trace of: the batch file, and whatever report the command had begun.
void RemoveScratchFiles(const std::vector<std::wstring>& paths) {
  for (const std::wstring& path : paths) {
    for (int attempt = 0; attempt < kRemoveTries; ++attempt) {
      if (DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) break;
      Sleep(kRemoveRetryMs);
    }
  }
}

// The batch file running hidden in a job of its own, so that it can be ended together with
// whatever it started. Leaving the scope ends what is still running.
struct RunningBatch {
  unique_handle job;
  unique_handle process;

  void End() const {
    if (!(job && TerminateJobObject(job.get(), 1))) TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), kEndGraceMs);
  }
};

RunningBatch StartHidden(const std::wstring& batchPath) {
  RunningBatch batch;
  batch.job.reset(CreateJobObjectW(nullptr, nullptr));
  if (batch.job) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(batch.job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
      batch.job.reset();
    }
  }
  // The interpreter drops the outer pair of quotation marks around what follows /c.
  StartedProcess started = StartInterpreterHidden(L"/c \"\"" + batchPath + L"\"\"", CREATE_SUSPENDED);
  batch.process = std::move(started.process);
  // A system that cannot put it in a job (one already in a job without nesting) runs it bare.
  if (batch.job && !AssignProcessToJobObject(batch.job.get(), batch.process.get())) batch.job.reset();
  ResumeThread(started.thread.get());
  return batch;
}

// The Windows 95 wait: until the report file exists, looked for whenever the batch file ends
// and at short intervals after that.
WaitEnd WaitForReportFile(const std::wstring& reportPath, const RunningBatch& batch, std::chrono::milliseconds bound,
                          const StopSignal& stop) {
  const Clock::time_point deadline = Clock::now() + bound;
  bool batchEnded = false;
  for (;;) {
    if (Exists(reportPath)) return WaitEnd::kSignalled;
    const std::chrono::milliseconds left = TimeLeft(deadline);
    if (left.count() == 0) return WaitEnd::kTimedOut;
    const std::chrono::milliseconds slice = std::min(kReportPollInterval, left);
    if (batchEnded) {
      if (WaitFor(stop.Event(), nullptr, slice) == WaitEnd::kSignalled) return WaitEnd::kStopped;
      continue;
    }
    const WaitEnd end = WaitFor(batch.process.get(), &stop, slice);
    if (end == WaitEnd::kStopped) return end;
    batchEnded = end == WaitEnd::kSignalled;
  }
}

void Capture(const CaptureSeams& seams, const StopSignal& stop, CaptureResult& result) {
  const std::wstring folder = seams.tempFolder ? *seams.tempFolder : GetTempDir();
  const std::wstring version = seams.versionName ? *seams.versionName : GetWindowsVersion();
  result.unknownVersion = version == kUnknownWindows;
  const std::unique_lock<std::timed_mutex> turn = TakeTurn(seams.bound, stop);
  if (!turn.owns_lock()) throw stop.Requested() ? Stopped() : NotInTime(seams.bound);

  const std::wstring batchPath = folder + kBatchFileName;
  const std::wstring reportPath = folder + kReportFileName;
  const std::wstring command = seams.command ? *seams.command : ConfigurationCommand(version);
  WriteWholeFile(batchPath, ToAnsi(BatchFileText(BatchLines(version, BatchFolderName(folder), command))),
                 {L"Cannot write", L"Cannot write"});
  {
    const RunningBatch batch = StartHidden(batchPath);
    const WaitEnd end = version == kWindows95 ? WaitForReportFile(reportPath, batch, seams.bound, stop)
                                              : WaitFor(batch.process.get(), &stop, seams.bound);
    if (end != WaitEnd::kSignalled) batch.End();
    if (end == WaitEnd::kStopped) {
      std::vector<std::wstring> scratch = {batchPath, reportPath};
      if (version == kWindows95) scratch.push_back(folder + kWin95ReportFileName);
      RemoveScratchFiles(scratch);
      throw Stopped();
    }
    if (end == WaitEnd::kTimedOut) throw NotInTime(seams.bound);
  }
  // The console command writes its report in the OEM code page.
  result.report = FromCodePage(*ReadWholeFile(reportPath), CP_OEMCP);
  DeleteFileOrRaise(batchPath);
  DeleteFileOrRaise(reportPath);
}

}  // namespace

std::wstring GetTempDir() {
  const std::optional<std::wstring> folder =
      TextOfNeededSize([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); });
  if (!folder) throw AppError(kProgramErrorBase, SystemErrorText(GetLastError()));
  return *folder;
}

CaptureResult CaptureConfiguration(const CaptureSeams& seams, const StopSignal& stop) {
  CaptureResult result;
  try {
    Capture(seams, stop, result);
  } catch (...) {
    result.error = CurrentError();
  }
  return result;
}

}  // namespace nb
