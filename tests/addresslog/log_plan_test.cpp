#include "addresslog/log_plan.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using nb::CivilDate;
using nb::LogEnd;

std::wstring Rec(const std::wstring& date, const std::wstring& lan, const std::wstring& wan) {
  return L"\"" + date + L"\",\"" + lan + L"\",\"" + wan + L"\"\r\n";
}
std::wstring Line(const std::wstring& date, const std::wstring& lan, const std::wstring& wan) {
  const std::wstring r = Rec(date, lan, wan);
  return r.substr(0, r.size() - 2);
}

const CivilDate kToday{2026, 12, 7};
const std::wstring kLan = L"192.168.1.20";
const std::wstring kWan = L"203.0.113.9";

TEST(LogPlan, Table) {
  const struct {
    const char* name;
    std::optional<LogEnd> log;
    CivilDate today;
    std::wstring pattern, lan, wan;
    bool keep;
    std::vector<std::wstring> appends;
  } cases[] = {
      {"no log", std::nullopt, kToday, L"M/d/yyyy", kLan, kWan, false, {Rec(L"12/7/2026", kLan, kWan)}},
      {"no log, spaces", std::nullopt, kToday, L"dd.MM.yyyy", L"  " + kLan + L" ", L" " + kWan, false,
       {Rec(L"07.12.2026", kLan, kWan)}},
      {"same day, same addresses", LogEnd{{Line(L"12/7/2026", kLan, kWan)}}, kToday, L"M/d/yyyy", kLan, kWan, false, {}},
      {"same day, spaces around the labels", LogEnd{{Line(L"12/7/2026", kLan, kWan)}}, kToday, L"M/d/yyyy",
       L"   " + kLan + L"  ", L" " + kWan + L" ", false, {}},
      {"same day, CR LF after the public address", LogEnd{{Line(L"12/7/2026", kLan, kWan)}}, kToday, L"M/d/yyyy", kLan,
       kWan + L"\r\n", false, {}},
      {"same day, public address changed: the last line's date text is carried",
       LogEnd{{Line(L"12/6/2026", kLan, L"1.1.1.1"), Line(L"12/07/2026", kLan, kWan)}}, kToday, L"M/d/yyyy", kLan,
       L"203.0.113.10", false, {Rec(L"12/07/2026", kLan, L"203.0.113.10")}},
      {"same day, LAN lost", LogEnd{{Line(L"12/7/2026", kLan, kWan)}}, kToday, L"M/d/yyyy", L"", kWan, false,
       {Rec(L"12/7/2026", L"", kWan)}},
      {"same day, no internet", LogEnd{{Line(L"12/7/2026", kLan, kWan)}}, kToday, L"M/d/yyyy", kLan, L"Access error",
       false, {Rec(L"12/7/2026", kLan, L"Access error")}},
      {"comparison is case-sensitive", LogEnd{{Line(L"12/7/2026", kLan, L"Access error")}}, kToday, L"M/d/yyyy", kLan,
       L"Access Error", false, {Rec(L"12/7/2026", kLan, L"Access Error")}},
      {"new day, same addresses: carry-over", LogEnd{{Line(L"12/6/2026", kLan, kWan)}}, kToday, L"M/d/yyyy", kLan,
       kWan, false, {Rec(L"12/7/2026", kLan, kWan)}},
      {"new day, LAN changed: carry-over then change", LogEnd{{Line(L"12/6/2026", kLan, kWan)}}, kToday, L"M/d/yyyy",
       L"10.0.0.5", kWan, false, {Rec(L"12/7/2026", kLan, kWan), Rec(L"12/7/2026", L"10.0.0.5", kWan)}},
      {"new year", LogEnd{{Line(L"31.12.2026", kLan, kWan)}}, CivilDate{2027, 1, 1}, L"dd.MM.yyyy", kLan, kWan, false,
       {Rec(L"01.01.2027", kLan, kWan)}},
      {"a year ago", LogEnd{{Line(L"7-12-25", kLan, kWan)}}, kToday, L"d-M-yy", kLan, L"1.2.3.4", false,
       {Rec(L"7-12-26", kLan, kWan), Rec(L"7-12-26", kLan, L"1.2.3.4")}},
      {"future date: no carry-over", LogEnd{{Line(L"12/9/2026", kLan, kWan)}}, kToday, L"M/d/yyyy", kLan, kWan, false,
       {}},
      {"future date: the change carries it", LogEnd{{Line(L"12/9/2026", kLan, kWan)}}, kToday, L"M/d/yyyy", kLan,
       L"1.2.3.4", false, {Rec(L"12/9/2026", kLan, L"1.2.3.4")}},
      {"more than three items: the first three count", LogEnd{{Line(L"12/7/2026", kLan, kWan) + L",\"extra\""}}, kToday,
       L"M/d/yyyy", kLan, kWan, false, {}},
      {"unquoted items", LogEnd{{L"12/7/2026, " + kLan + L" ," + kWan}}, kToday, L"M/d/yyyy", kLan, kWan, false, {}},
      {"last line lacks its line end: the append starts a line", LogEnd{{Line(L"12/7/2026", kLan, kWan)}, false}, kToday,
       L"M/d/yyyy", kLan, L"1.2.3.4", false, {L"\r\n" + Rec(L"12/7/2026", kLan, L"1.2.3.4")}},
      {"last line lacks its line end, nothing changed", LogEnd{{Line(L"12/7/2026", kLan, kWan)}, false}, kToday,
       L"M/d/yyyy", kLan, kWan, false, {}},
      {"unusable pattern: dates in the fallback form", LogEnd{{Line(L"2026-12-06", kLan, kWan)}}, kToday, L"dd-MMM-yy",
       kLan, kWan, false, {Rec(L"2026-12-07", kLan, kWan)}},
      // Logs that cannot be read back: kept aside, and a new log of one record.
      {"empty log: today and the labels", LogEnd{{}}, kToday, L"M/d/yyyy", L" " + kLan, kWan, true,
       {Rec(L"12/7/2026", kLan, kWan)}},
      // After the new log's record, the current addresses are compared with it as in any run.
      {"date under another locale: that record's addresses, then the change",
       LogEnd{{Line(L"24.12.2026", L"10.0.0.5", L"1.2.3.4")}}, kToday, L"M/d/yyyy", kLan, kWan, true,
       {Rec(L"12/7/2026", L"10.0.0.5", L"1.2.3.4"), Rec(L"12/7/2026", kLan, kWan)}},
      {"date under another locale, addresses unchanged", LogEnd{{Line(L"24.12.2026", kLan, kWan)}}, kToday,
       L"M/d/yyyy", kLan, kWan, true, {Rec(L"12/7/2026", kLan, kWan)}},
      {"empty date", LogEnd{{Line(L"", L"10.0.0.5", L"1.2.3.4")}}, kToday, L"M/d/yyyy", kLan, kWan, true,
       {Rec(L"12/7/2026", L"10.0.0.5", L"1.2.3.4"), Rec(L"12/7/2026", kLan, kWan)}},
      {"garbage line", LogEnd{{std::wstring(7, L'\0')}}, kToday, L"M/d/yyyy", kLan, kWan, true,
       {Rec(L"12/7/2026", kLan, kWan)}},
      {"cut short after two items: the rest from the record before",
       LogEnd{{Line(L"12/6/2026", L"10.0.0.5", L"1.2.3.4"), L"\"12/7/2026\",\"10.0.0.6\""}}, kToday, L"M/d/yyyy", kLan,
       kWan, true, {Rec(L"12/7/2026", L"10.0.0.6", L"1.2.3.4"), Rec(L"12/7/2026", kLan, kWan)}},
      {"cut short inside the third item", LogEnd{{Line(L"12/6/2026", L"10.0.0.5", L"1.2.3.4"), L"\"12/7/2026\",\"10.0.0.6\",\"5.6."}},
       kToday, L"M/d/yyyy", kLan, kWan, true, {Rec(L"12/7/2026", L"10.0.0.6", L"1.2.3.4"), Rec(L"12/7/2026", kLan, kWan)}},
      {"cut short after one item", LogEnd{{Line(L"12/6/2026", L"10.0.0.5", L"1.2.3.4"), L"\"12/7/2026\""}}, kToday,
       L"M/d/yyyy", kLan, kWan, true, {Rec(L"12/7/2026", L"10.0.0.5", L"1.2.3.4"), Rec(L"12/7/2026", kLan, kWan)}},
      {"cut short, no record before: the labels", LogEnd{{L"\"12/7/2026\",\"10.0.0.6\""}}, kToday, L"M/d/yyyy", kLan,
       kWan, true, {Rec(L"12/7/2026", L"10.0.0.6", kWan), Rec(L"12/7/2026", kLan, kWan)}},
      {"cut short, the line before is no record either", LogEnd{{L"\"12/6/2026\"", L"\"12/7/2026\",\"10.0.0.6\""}},
       kToday, L"M/d/yyyy", kLan, kWan, true, {Rec(L"12/7/2026", L"10.0.0.6", kWan), Rec(L"12/7/2026", kLan, kWan)}},
      {"cut short, new log in the user's format", LogEnd{{L"\"7.12.2026\",\"10.0.0.6"}}, kToday, L"dd.MM.yyyy", kLan,
       kWan, true, {Rec(L"07.12.2026", kLan, kWan)}},
      // A field of a damaged line is taken only when it is clean text; else the label text stands in.
      {"a compressed line: its bytes give way to the labels",
       LogEnd{{L"\x1f\x8b\x08\",\"10.0\x00\x07.5\",\"1.2.3.4\x1b\""s}}, kToday, L"M/d/yyyy", kLan, kWan,
       true, {Rec(L"12/7/2026", kLan, kWan)}},
      {"cut short, a control character in the field read",
       LogEnd{{Line(L"12/6/2026", L"10.0.0.5", L"1.2.3.4"), L"\"12/7/2026\",\"10.0\x7f.0.6\""}}, kToday, L"M/d/yyyy",
       kLan, kWan, true, {Rec(L"12/7/2026", kLan, L"1.2.3.4"), Rec(L"12/7/2026", kLan, kWan)}},
      {"a double quote inside an unquoted field", LogEnd{{L"24.12.2026,10.0\"0.5,1.2.3.4"}}, kToday, L"M/d/yyyy",
       kLan, kWan, true, {Rec(L"12/7/2026", kLan, L"1.2.3.4"), Rec(L"12/7/2026", kLan, kWan)}},
  };
  for (const auto& c : cases) {
    const nb::LogPlan plan = nb::PlanLogUpdate(c.log, c.today, c.pattern, c.lan, c.wan);
    EXPECT_EQ(plan.keepDamagedCopy, c.keep) << c.name;
    EXPECT_EQ(plan.appends, c.appends) << c.name;
  }
}

}  // namespace
