// What one update of the address log does, decided from what the log's end holds, today's date,
// the short-date pattern and the two label texts. Portable: no Windows header.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addresslog/civil_date.h"

namespace nb {

// The end of an existing log, as text.
struct LogEnd {
  std::vector<std::wstring> lines;  // its last lines holding more than blanks (at most two are used), older first
  bool endsWithLineBreak = true;
};

struct LogPlan {
  // The log cannot be read back: keep it aside under a name of its own, then start a new one.
  bool keepDamagedCopy = false;
  // Texts to append, in order, each in one append; each is one record with its CR LF (the first is
  // preceded by a CR LF when the log's last line lacks its line end).
  std::vector<std::wstring> appends;
};

// `log` is nothing when there is no log. The label texts are taken as the log holds them (LogFieldText).
// An address read from the log that is not clean text (IsCleanLogField) is replaced by the label text.
//  - no log: one record with today's date and the label texts;
//  - no record at all (empty log): a new log with today's date and the label texts;
//  - last record cut short (fewer than three items): a new log with today's date and the texts read
//    so far, in the order date, LAN, WAN, taken over the record before it, itself taken over the
//    label texts;
//  - last record's date unreadable with the pattern: a new log with today's date and that record's
//    addresses;
//  - after such a new log's record, a record with today's date and the label texts when they differ
//    from it, so that a change is logged in the same run;
//  - otherwise a carry-over record with today's date when the last record is from an earlier day, then
//    a change record (the working date: the last record's date text, or today's after a carry-over)
//    when either address differs from the last record's, exactly.
LogPlan PlanLogUpdate(const std::optional<LogEnd>& log, const CivilDate& today, std::wstring_view shortDatePattern,
                      std::wstring_view lanLabelText, std::wstring_view wanLabelText);

}  // namespace nb
