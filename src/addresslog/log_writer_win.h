// The address log "Netbeacon.log" in the data folder: each detection run appends what changed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "addresslog/civil_date.h"
#include "addresslog/log_record.h"

namespace nb {

inline constexpr wchar_t kLogFileName[] = L"Netbeacon.log";
// The IPv6 addresses' log beside it, in the same record format: the IPv4 log keeps its three fields.
inline constexpr wchar_t kLog6FileName[] = L"Netbeacon-IPv6.log";

// The data folder (the executable's folder when it cannot be had) followed by "Netbeacon.log";
// computed afresh on every call.
std::wstring LogPath();
// The same for the IPv6 log.
std::wstring Log6Path();

// True when the file can be opened for reading; false on any failure. Never reports.
bool fileexists(std::wstring_view path);

// The work of the main window's updateLOG: appends to LogPath() what changed since the log's last
// record, with today's local date in the user's short-date format. The texts are those of the LAN
// and public address labels as they stand; spaces around them are ignored. Reports its own
// failures (label "Sub updateLOG"); never throws.
void AppendAddressChanges(std::wstring_view lanLabelText, std::wstring_view wanLabelText);

// The day and the short-date pattern an update works with.
struct LogCalendar {
  CivilDate today;
  std::wstring shortDatePattern;
};

// Today's local date, and the user's short-date pattern (Windows date-picture syntax).
LogCalendar CurrentLogCalendar();

// The same with an explicit log and calendar. Reports its own failures; never throws.
// A log that cannot be read back (no record, a record cut short, a date that does not read with the
// pattern) is kept beside the new log under DamagedCopyPath(logPath, n), with the first number whose
// name is free, and the new log is started with the records PlanLogUpdate (log_plan.h) gives it.
void AppendAddressChanges(const std::wstring& logPath, std::wstring_view lanLabelText,
                          std::wstring_view wanLabelText, const LogCalendar& calendar);

// The last `lineCount` non-blank lines of a file, read from its end: `initialTail` bytes first,
// twice as many each time a wanted line starts before them. Throws AppError on failure.
LogEndScan ReadLogEnd(const std::wstring& path, std::size_t lineCount, std::size_t initialTail = 4096);

}  // namespace nb
