#include "addresslog/short_date.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using nb::CivilDate;

std::string Show(const std::optional<CivilDate>& d) {
  if (!d) return "none";
  return std::to_string(d->year) + "-" + std::to_string(d->month) + "-" + std::to_string(d->day);
}

TEST(CivilDate, DaysFromTo) {
  const struct {
    CivilDate from, to;
    long long days;
  } cases[] = {
      {{2026, 12, 7}, {2026, 12, 7}, 0},
      {{2026, 12, 7}, {2026, 12, 8}, 1},
      {{2026, 12, 8}, {2026, 12, 7}, -1},
      {{2026, 12, 31}, {2027, 1, 1}, 1},
      {{2024, 2, 28}, {2024, 3, 1}, 2},   // leap year
      {{2026, 2, 28}, {2026, 3, 1}, 1},
      {{2100, 2, 28}, {2100, 3, 1}, 1},   // 2100 is not a leap year
      {{2000, 2, 28}, {2000, 3, 1}, 2},   // 2000 is
      {{2000, 1, 1}, {2100, 1, 1}, 36525},
      {{2026, 12, 7}, {1999, 12, 7}, -9862},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(nb::DaysFromTo(c.from, c.to), c.days) << Show(c.from) << " .. " << Show(c.to);
  }
}

TEST(CivilDate, Validity) {
  const struct {
    CivilDate date;
    bool valid;
  } cases[] = {
      {{2026, 12, 7}, true},  {{2024, 2, 29}, true},  {{2026, 2, 29}, false}, {{1900, 2, 29}, false},
      {{2000, 2, 29}, true},  {{2026, 4, 31}, false}, {{2026, 13, 1}, false}, {{2026, 0, 1}, false},
      {{2026, 1, 0}, false},  {{0, 1, 1}, false},     {{9999, 12, 31}, true}, {{10000, 1, 1}, false},
      {{2026, 1, 32}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::IsValidDate(c.date), c.valid) << Show(c.date);
}

TEST(ShortDate, FormatTable) {
  const struct {
    std::wstring pattern;
    CivilDate date;
    std::wstring expected;
  } cases[] = {
      {L"M/d/yyyy", {2026, 12, 7}, L"12/7/2026"},
      {L"M/d/yyyy", {2026, 3, 9}, L"3/9/2026"},
      {L"MM/dd/yyyy", {2026, 3, 9}, L"03/09/2026"},
      {L"dd.MM.yyyy", {2026, 3, 9}, L"09.03.2026"},
      {L"d.M.yyyy", {2026, 12, 24}, L"24.12.2026"},
      {L"dd/MM/yyyy", {2026, 3, 9}, L"09/03/2026"},
      {L"yyyy-MM-dd", {2026, 3, 9}, L"2026-03-09"},
      {L"yyyy/M/d", {2026, 3, 9}, L"2026/3/9"},
      {L"d-M-yy", {2026, 3, 9}, L"9-3-26"},
      {L"dd-MM-yy", {2009, 3, 9}, L"09-03-09"},
      {L"d.M.y", {2009, 3, 9}, L"9.3.09"},                 // y is written as yy
      {L"yyyy. MM. dd.", {2026, 3, 9}, L"2026. 03. 09."},
      {L"yyyy'\u5e74'M'\u6708'd'\u65e5'", {2026, 3, 9}, L"2026\u5e74""3\u6708""9\u65e5"},
      {L"d''.M''.yyyy", {2026, 3, 9}, L"9.3.2026"},        // '' outside quotes is empty
      {L"''''d/M/yyyy", {2026, 3, 9}, L"'9/3/2026"},       // inside quotes '' is one apostrophe
      {L"'d'd/M/yyyy", {2026, 3, 9}, L"d9/3/2026"},        // a quoted letter is text
      {L"'it''s' d/M/yyyy", {2026, 3, 9}, L"it's 9/3/2026"},
      {L"yyyyMMdd", {2026, 3, 9}, L"20260309"},
      {L"dMyyyy", {2026, 3, 9}, L"09032026"},              // padded: runs into the next number
      {L"d1M/yy", {2026, 3, 9}, L"0913/26"},               // or into a digit of the text
      {L"yyyy-MM-dd", {999, 1, 2}, L"0999-01-02"},
      {L"yyyyy/M/d", {2026, 3, 9}, L"2026/3/9"},
      // Names and eras cannot be written in digits: the whole pattern falls back.
      {L"dd-MMM-yy", {2026, 3, 9}, L"2026-03-09"},
      {L"ddd M/d/yyyy", {2026, 3, 9}, L"2026-03-09"},
      {L"dddd, MMMM d, yyyy", {2026, 3, 9}, L"2026-03-09"},
      {L"gg y/M/d", {2026, 3, 9}, L"2026-03-09"},
      // A pattern lacking or repeating a part falls back too.
      {L"M/d", {2026, 3, 9}, L"2026-03-09"},
      {L"d/M/yyyy d", {2026, 3, 9}, L"2026-03-09"},
      {L"", {2026, 3, 9}, L"2026-03-09"},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::FormatShortDate(c.date, c.pattern), c.expected) << c.pattern;
}

TEST(ShortDate, ParseTable) {
  const struct {
    std::wstring text, pattern;
    int referenceYear;
    std::optional<CivilDate> expected;
  } cases[] = {
      {L"12/7/2026", L"M/d/yyyy", 2026, CivilDate{2026, 12, 7}},
      {L"07/12/2026", L"M/d/yyyy", 2026, CivilDate{2026, 7, 12}},   // leading zeros are read too
      {L"7/12/2026", L"MM/dd/yyyy", 2026, CivilDate{2026, 7, 12}},  // and may be missing
      {L"  12/7/2026 ", L"M/d/yyyy", 2026, CivilDate{2026, 12, 7}},
      {L"12/7/26", L"M/d/yyyy", 2026, CivilDate{2026, 12, 7}},      // a short year under yyyy
      {L"12/7/2026", L"M/d/yy", 2026, CivilDate{2026, 12, 7}},      // a full year under yy
      {L"24.12.2026", L"dd.MM.yyyy", 2026, CivilDate{2026, 12, 24}},
      {L"24/12/2026", L"dd/MM/yyyy", 2026, CivilDate{2026, 12, 24}},
      {L"2026-12-24", L"yyyy-MM-dd", 2026, CivilDate{2026, 12, 24}},
      {L"24-12-26", L"d-M-yy", 2026, CivilDate{2026, 12, 24}},
      {L"1-1-76", L"d-M-yy", 2026, CivilDate{2076, 1, 1}},  // up to 50 years ahead
      {L"1-1-77", L"d-M-yy", 2026, CivilDate{1977, 1, 1}},  // otherwise the past
      {L"1-1-99", L"d-M-yy", 2049, CivilDate{2099, 1, 1}},
      {L"1-1-00", L"d-M-yy", 2080, CivilDate{2100, 1, 1}},
      {L"29.2.2024", L"d.M.yyyy", 2026, CivilDate{2024, 2, 29}},
      {L"09032026", L"dMyyyy", 2026, CivilDate{2026, 3, 9}},
      {L"20260309", L"yyyyMMdd", 2026, CivilDate{2026, 3, 9}},
      {L"2026\u5e74""3\u6708""9\u65e5", L"yyyy'\u5e74'M'\u6708'd'\u65e5'", 2026, CivilDate{2026, 3, 9}},
      {L"2026-03-09", L"dd-MMM-yy", 2026, CivilDate{2026, 3, 9}},  // the fallback pattern
      // Not dates of this pattern.
      {L"24.12.2026", L"M/d/yyyy", 2026, std::nullopt},  // written under another locale
      {L"12/24/2026", L"dd.MM.yyyy", 2026, std::nullopt},
      {L"12/24/2026", L"dd/MM/yyyy", 2026, std::nullopt},  // month 24
      {L"12-7-2026", L"M/d/yyyy", 2026, std::nullopt},
      {L"2/30/2026", L"M/d/yyyy", 2026, std::nullopt},
      {L"2/29/2026", L"M/d/yyyy", 2026, std::nullopt},
      {L"0/7/2026", L"M/d/yyyy", 2026, std::nullopt},
      {L"12/0/2026", L"M/d/yyyy", 2026, std::nullopt},
      {L"12/7/2026x", L"M/d/yyyy", 2026, std::nullopt},
      {L"12/7/20261", L"M/d/yyyy", 2026, std::nullopt},
      {L"123/7/2026", L"M/d/yyyy", 2026, std::nullopt},
      {L"12/7/", L"M/d/yyyy", 2026, std::nullopt},
      {L"12/7", L"M/d/yyyy", 2026, std::nullopt},
      {L"", L"M/d/yyyy", 2026, std::nullopt},
      {L"   ", L"M/d/yyyy", 2026, std::nullopt},
      {L"a/b/cccc", L"M/d/yyyy", 2026, std::nullopt},
      {L"9032026", L"dMyyyy", 2026, std::nullopt},  // the day needs its two digits here
      {L"09-Mar-26", L"dd-MMM-yy", 2026, std::nullopt},  // names are not read
      {L"1/1/0", L"M/d/yyyy", 2026, CivilDate{2000, 1, 1}},
      {L"1/1/0000", L"M/d/yyyy", 2026, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto got = nb::ParseShortDate(c.text, c.pattern, c.referenceYear);
    EXPECT_EQ(Show(got), Show(c.expected)) << c.text << " with " << c.pattern;
  }
}

// Every date the writer can write reads back as the same date, in the year of writing and
// for decades after it.
TEST(ShortDate, EveryWrittenDateReadsBack) {
  const std::wstring patterns[] = {L"M/d/yyyy",   L"d/M/yyyy", L"dd.MM.yyyy", L"d.M.yyyy", L"dd/MM/yyyy",
                                   L"yyyy-MM-dd", L"d-M-yy",   L"dd-MM-yy",   L"d.M.y",    L"yyyy/M/d",
                                   L"yyyyMMdd",   L"dMyyyy",   L"dMy",        L"Myyd",     L"yyMd",
                                   L"dd-MMM-yy",  L"yyyy'\u5e74'M'\u6708'd'\u65e5'", L"d''M''yy", L"'d'd.M.yy",
                                   L"d1M/yy",     L"yy0M-d",   L" d/M/yyyy "};
  for (const auto& pattern : patterns) {
    for (const int year : {1931, 1999, 2000, 2009, 2024, 2026, 2049, 2099}) {
      CivilDate date{year, 1, 1};
      for (int n = 0; n < 366 && date.year == year; ++n) {
        const std::wstring text = nb::FormatShortDate(date, pattern);
        for (const int readIn : {year, year + 1, year + 30}) {
          const auto back = nb::ParseShortDate(text, pattern, readIn);
          ASSERT_EQ(Show(back), Show(date)) << text << " with " << pattern << " read in " << readIn;
        }
        // the next day
        CivilDate next{date.year, date.month, date.day + 1};
        if (!nb::IsValidDate(next)) next = CivilDate{date.year, date.month + 1, 1};
        if (!nb::IsValidDate(next)) next = CivilDate{date.year + 1, 1, 1};
        date = next;
      }
    }
  }
}

TEST(ShortDate, NumericPatterns) {
  const struct {
    std::wstring pattern;
    bool numeric;
  } cases[] = {
      {L"M/d/yyyy", true},   {L"dd.MM.yyyy", true}, {L"yyyy-MM-dd", true},  {L"d-M-yy", true},
      {L"'d' d/M/yy", true}, {L"dd-MMM-yy", false}, {L"dddd d/M/yy", false}, {L"gg y/M/d", false},
      {L"M/d", false},       {L"d/M/y/y", false},   {L"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::IsNumericShortDatePattern(c.pattern), c.numeric) << c.pattern;
}

}  // namespace
