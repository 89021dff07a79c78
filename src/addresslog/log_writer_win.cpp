#include "addresslog/log_writer_win.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "addresslog/log_plan.h"
#include "addresslog/short_date.h"
#include "base/app_error.h"
#include "base/file_io_win.h"
#include "base/system_error_win.h"
#include "base/text_util.h"
#include "base/unique_any_win.h"
#include "base/text_win.h"
#include "settings/appdata_win.h"
#include "ui/error_report_win.h"

namespace nb {
namespace {

constexpr wchar_t kProcedureLabel[] = L"Sub updateLOG";

// Kept copies are numbered from 1; past this many the log is left as it is and the failure reported.
constexpr int kMostDamagedCopies = 9999;

// A label text as the log can hold it: through the ANSI code page and back, then cleaned.
std::wstring AsLogText(std::wstring_view text) { return LogFieldText(FromAnsi(ToAnsi(text))); }

// A pattern whose literal texts the ANSI code page cannot hold would write dates that never read back.
std::wstring UsablePattern(const std::wstring& pattern) {
  if (FromAnsi(ToAnsi(pattern)) != pattern) return kFallbackShortDatePattern;
  return pattern;
}

// Moves the log to the first free kept-copy name; never replaces an existing file.
void KeepDamagedCopy(const std::wstring& path) {
  for (int number = 1; number <= kMostDamagedCopies; ++number) {
    const std::wstring copy = DamagedCopyPath(path, number);
    if (GetFileAttributesW(copy.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    if (MoveFileExW(path.c_str(), copy.c_str(), 0)) return;
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) continue;  // taken meanwhile
    throw FileOperationError(code, L"Cannot keep the damaged log", path);
  }
  throw AppError(errnum::kFileAlreadyExists, L"Cannot keep the damaged log " + path + L": every kept-copy name is taken");
}

void AppendOrThrow(const std::wstring& path, std::wstring_view lan, std::wstring_view wan,
                      const LogCalendar& calendar) {
  const std::wstring lanText = AsLogText(lan);
  const std::wstring wanText = AsLogText(wan);
  const std::wstring pattern = UsablePattern(calendar.shortDatePattern);

  std::optional<LogEnd> end;
  if (fileexists(path)) {
    if (!SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL)) {
      throw FileOperationError(GetLastError(), L"Cannot change the attributes of", path);
    }
    const LogEndScan scan = ReadLogEnd(path, 2);
    end.emplace();
    end->endsWithLineBreak = scan.endsWithLineBreak;
    for (const auto& line : scan.lines) end->lines.push_back(FromAnsi(line));
  }

  const LogPlan plan = PlanLogUpdate(end, calendar.today, pattern, lanText, wanText);
  if (plan.keepDamagedCopy) KeepDamagedCopy(path);
  for (const auto& text : plan.appends) AppendToFile(path, ToAnsi(text), {L"Cannot write to", L"Cannot write to"});
}

}  // namespace

std::wstring LogPath() { return GetAppDataDir(ExecutableFolder()) + kLogFileName; }

std::wstring Log6Path() { return GetAppDataDir(ExecutableFolder()) + kLog6FileName; }

bool fileexists(std::wstring_view path) {
  const std::wstring name(path);
  const unique_file file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

LogCalendar CurrentLogCalendar() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  LogCalendar calendar;
  calendar.today = CivilDate{now.wYear, now.wMonth, now.wDay};
  const int size = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, nullptr, 0);
  if (size <= 0) {
    throw AppError(kProgramErrorBase, L"The short date format cannot be read: " + SystemErrorText(GetLastError()));
  }
  std::wstring pattern(static_cast<std::size_t>(size), L'\0');
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, pattern.data(), size) <= 0) {
    throw AppError(kProgramErrorBase, L"The short date format cannot be read: " + SystemErrorText(GetLastError()));
  }
  calendar.shortDatePattern = StripNull(pattern);
  return calendar;
}

void AppendAddressChanges(const std::wstring& logPath, std::wstring_view lanLabelText,
                          std::wstring_view wanLabelText, const LogCalendar& calendar) {
  ReportTrap(kProcedureLabel, [&] { AppendOrThrow(logPath, lanLabelText, wanLabelText, calendar); });
}

void AppendAddressChanges(std::wstring_view lanLabelText, std::wstring_view wanLabelText) {
  ReportTrap(kProcedureLabel, [&] { AppendOrThrow(LogPath(), lanLabelText, wanLabelText, CurrentLogCalendar()); });
}

LogEndScan ReadLogEnd(const std::wstring& path, std::size_t lineCount, std::size_t initialTail) {
  const InputFile file(path);
  const unsigned long long fileSize = file.Size();

  unsigned long long tail = std::max<std::size_t>(initialTail, 1);
  for (;;) {
    const unsigned long long take = std::min(tail, fileSize);
    const std::string bytes = file.ReadAt(fileSize - take, static_cast<std::size_t>(take));
    LogEndScan scan = ScanLogEnd(bytes, take == fileSize, lineCount);
    if (scan.complete) return scan;
    tail *= 2;
  }
}

}  // namespace nb
