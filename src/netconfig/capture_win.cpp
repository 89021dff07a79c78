#include "netconfig/capture_win.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "base/app_error.h"
#include "base/file_io_win.h"
#include "base/skip_trap_win.h"
#include "base/system_error_win.h"
#include "base/unique_any_win.h"
#include "base/text_win.h"
#include "netconfig/capture_text.h"
#include "base/windows_version_win.h"
#include "ui/error_report_win.h"
#include "ui/message_loop_win.h"
#include "ui/modal_win.h"

namespace nb {
namespace {

// How often the Windows 95 wait looks for the report once the batch file has ended.
constexpr std::chrono::milliseconds kReportPollInterval{100};

// How long a command ended at the bound is given to go.
constexpr DWORD kEndGraceMs = 2000;

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

void DeleteScratchFile(const std::wstring& path) {
  if (!DeleteFileW(path.c_str())) throw FileOperationError(GetLastError(), L"Cannot delete", path);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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
  const std::wstring interpreter = SystemFolder() + L"cmd.exe";
  // The interpreter drops the outer pair of quotation marks around what follows /c.
  std::wstring commandLine = L"\"" + interpreter + L"\" /c \"\"" + batchPath + L"\"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup, &started)) {
    throw FileOperationError(GetLastError(), L"Cannot start", interpreter);
  }
  batch.process.reset(started.hProcess);
  const unique_handle thread(started.hThread);
  // A system that cannot put it in a job (one already in a job without nesting) runs it bare.
  if (batch.job && !AssignProcessToJobObject(batch.job.get(), batch.process.get())) batch.job.reset();
  ResumeThread(thread.get());
  return batch;
}

// The Windows 95 wait: until the report file exists, looked for whenever the batch file ends
// and at short intervals after that. False when the bound passes first.
bool WaitForReportFile(const std::wstring& reportPath, const RunningBatch& batch, std::chrono::milliseconds bound) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + bound;
  const unique_handle neverSet(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!neverSet) throw AppError(kProgramErrorBase, SystemErrorText(GetLastError()));
  bool batchEnded = false;
  for (;;) {
    if (Exists(reportPath)) return true;
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return false;
    const auto slice = std::min<std::chrono::milliseconds>(
        kReportPollInterval, std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
    if (batchEnded) {
      WaitWhilePainting(neverSet.get(), slice);
    } else {
      batchEnded = WaitWhilePainting(batch.process.get(), slice);
    }
  }
}

void CaptureOrThrow(CaptureView& view, const CaptureSeams& seams) {
  const std::wstring folder = seams.tempFolder ? *seams.tempFolder : GetTempDir();
  const std::wstring version = seams.versionName ? *seams.versionName : GetWindowsVersion();
  view.SetBusyPointer(true);
  view.SetReportText(L"");
  if (version == kUnknownWindows) view.SetReportText(kUnknownVersionNotice);

  const std::wstring batchPath = folder + kBatchFileName;
  const std::wstring reportPath = folder + kReportFileName;
  const std::wstring command = seams.command ? *seams.command : ConfigurationCommand(version);
  WriteWholeFile(batchPath, ToAnsi(BatchFileText(BatchLines(version, BatchFolderName(folder), command))),
                 {L"Cannot write", L"Cannot write"});

  {
    const RunningBatch batch = StartHidden(batchPath);
    const bool came = version == kWindows95 ? WaitForReportFile(reportPath, batch, seams.bound)
                                            : WaitWhilePainting(batch.process.get(), seams.bound);
    if (!came) {
      batch.End();
      throw AppError(errnum::kFileNotFound, L"The configuration report did not come within " +
                                                std::to_wstring(seams.bound.count()) + L" ms");
    }
  }

  // The console command writes its report in the OEM code page.
  view.SetReportText(FromCodePage(*ReadWholeFile(reportPath), CP_OEMCP));
  DeleteScratchFile(batchPath);
  DeleteScratchFile(reportPath);
  view.SetBusyPointer(false);
  SkipTrap(kRefreshErrorLabel, [&] { view.FocusOK(); });
}

void ShowCaptureFailure(const AppError& error) {
  if (error.number == errnum::kFileNotFound) {
    ShowMessage(kOopsText, MB_OK, kOopsTitle);
  } else {
    ReportError(error, kRefreshErrorLabel);
  }
}

}  // namespace

std::wstring GetTempDir() {
  const std::optional<std::wstring> folder =
      TextOfNeededSize([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); });
  if (!folder) throw AppError(kProgramErrorBase, SystemErrorText(GetLastError()));
  return *folder;
}

void CaptureConfiguration(CaptureView& view, const CaptureSeams& seams) {
  static bool capturing = false;
  if (capturing) return;
  capturing = true;
  try {
    CaptureOrThrow(view, seams);
  } catch (...) {
    SkipTrap(kRefreshErrorLabel, [] { ShowCaptureFailure(CurrentError()); });
    SkipTrap(kRefreshErrorLabel, [&] { view.SetBusyPointer(false); });
  }
  capturing = false;
}

}  // namespace nb
