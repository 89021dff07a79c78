#include "addresslog/log_plan.h"

#include "addresslog/log_record.h"
#include "addresslog/short_date.h"

namespace nb {
namespace {

// A field read from the log, when it is clean text; otherwise what stands in for it.
std::wstring CleanOr(const std::wstring& field, const std::wstring& standIn) {
  return IsCleanLogField(field) ? field : standIn;
}

struct WorkingValues {
  std::wstring date;
  std::wstring lan;
  std::wstring wan;
  // The current label texts, which stand in for a field that is not clean text.
  std::wstring labelLan;
  std::wstring labelWan;

  // Each item read overwrites the field it stands for.
  void Take(const std::vector<std::wstring>& items) {
    if (items.size() > 0) date = CleanOr(items[0], std::wstring());
    if (items.size() > 1) lan = CleanOr(items[1], labelLan);
    if (items.size() > 2) wan = CleanOr(items[2], labelWan);
  }
};

// A new log: one record with today's date and the working addresses, then, as in any run, one with
// the current addresses when they differ from it.
LogPlan StartAfresh(const CivilDate& today, std::wstring_view pattern, const WorkingValues& working) {
  LogPlan plan;
  plan.keepDamagedCopy = true;
  const std::wstring date = FormatShortDate(today, pattern);
  plan.appends.push_back(FormatLogRecord(date, working.lan, working.wan));
  if (working.lan != working.labelLan || working.wan != working.labelWan) {
    plan.appends.push_back(FormatLogRecord(date, working.labelLan, working.labelWan));
  }
  return plan;
}

}  // namespace

LogPlan PlanLogUpdate(const std::optional<LogEnd>& log, const CivilDate& today, std::wstring_view shortDatePattern,
                      std::wstring_view lanLabelText, std::wstring_view wanLabelText) {
  const std::wstring lan = LogFieldText(lanLabelText);
  const std::wstring wan = LogFieldText(wanLabelText);
  WorkingValues working{std::wstring(), lan, wan, lan, wan};

  if (!log) {
    LogPlan plan;
    plan.appends.push_back(FormatLogRecord(FormatShortDate(today, shortDatePattern), lan, wan));
    return plan;
  }
  if (log->lines.empty()) return StartAfresh(today, shortDatePattern, working);

  const LogLineItems last = ReadLogItems(log->lines.back());
  if (last.cutShort || last.items.size() < 3) {
    if (log->lines.size() >= 2) {
      const LogLineItems previous = ReadLogItems(log->lines[log->lines.size() - 2]);
      if (!previous.cutShort && previous.items.size() >= 3) working.Take(previous.items);
    }
    working.Take(last.items);
    return StartAfresh(today, shortDatePattern, working);
  }
  working.Take(last.items);

  const auto lastDate = ParseShortDate(working.date, shortDatePattern, today.year);
  if (!lastDate) return StartAfresh(today, shortDatePattern, working);

  LogPlan plan;
  if (DaysFromTo(today, *lastDate) < 0) {
    working.date = FormatShortDate(today, shortDatePattern);
    plan.appends.push_back(FormatLogRecord(working.date, working.lan, working.wan));
  }
  if (lan != working.lan || wan != working.wan) {
    plan.appends.push_back(FormatLogRecord(working.date, lan, wan));
  }
  if (!log->endsWithLineBreak && !plan.appends.empty()) plan.appends.front().insert(0, L"\r\n");
  return plan;
}

}  // namespace nb
