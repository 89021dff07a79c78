// The short-date pattern reader and the date parser. The input is three lines: a short-date
// pattern, a text to read as a date of it, and the year it is read in (digits).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "addresslog/civil_date.h"
#include "addresslog/short_date.h"
#include "fuzz_support.h"

namespace {

// What the writer writes reads back as the same date: in the year of writing, as the log reads
// its last record on the day it was written, and with spaces around it.
void CheckWrittenDateReadsBack(const nb::CivilDate& date, std::wstring_view pattern) {
  const std::wstring text = nb::FormatShortDate(date, pattern);
  NB_FUZZ_CHECK(nb::ParseShortDate(text, pattern, date.year) == date);
  NB_FUZZ_CHECK(nb::ParseShortDate(L" " + text + L" ", pattern, date.year) == date);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Patterns and dates are a few dozen characters; longer inputs only slow the search down.
  if (size > 256) return 0;
  const auto lines = nbfuzz::Lines(nbfuzz::Bytes(data, size), 3);
  const std::wstring pattern = nbfuzz::Widen(lines[0]);
  const std::wstring text = nbfuzz::Widen(lines[1]);
  int year = 0;  // a year the program can run in: 1 to 9999
  for (const char c : lines[2]) {
    if (c >= '0' && c <= '9') year = (year * 10 + (c - '0')) % 10000;
  }
  if (year == 0) year = 2026;

  // A pattern that is not used as it stands writes as the fallback does.
  if (!nb::IsNumericShortDatePattern(pattern)) {
    const nb::CivilDate date{2026, 3, 9};
    NB_FUZZ_CHECK(nb::FormatShortDate(date, pattern) == nb::FormatShortDate(date, nb::kFallbackShortDatePattern));
  }

  const std::optional<nb::CivilDate> read = nb::ParseShortDate(text, pattern, year);
  if (read) {
    NB_FUZZ_CHECK(nb::IsValidDate(*read));
    CheckWrittenDateReadsBack(*read, pattern);
  }
  for (const nb::CivilDate date : {nb::CivilDate{year, 1, 1}, nb::CivilDate{year, 12, 31}, nb::CivilDate{2024, 2, 29},
                                   nb::CivilDate{1, 1, 1}, nb::CivilDate{9999, 12, 31}}) {
    CheckWrittenDateReadsBack(date, pattern);
  }
  return 0;
}
