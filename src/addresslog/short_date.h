// Short dates as the user's locale writes them, driven by the locale's short-date pattern.
// Portable: no Windows header.
//
// Pattern elements understood (Windows date-picture syntax):
//   d, dd      day, without / with a leading zero
//   M, MM      month number, without / with a leading zero
//   y, yy      year within the century, two digits (the system writes y as yy)
//   yyy...     full year, four digits (yyyy and longer runs)
//   'text'     literal text, to the next lone apostrophe; inside it '' stands for one apostrophe
//              (outside quotes '' is empty text, as the system reads it)
//   anything else is literal and stands for itself ("/", ".", "-", " ", ...)
// A pattern that names days, months or eras (ddd, dddd, MMM, MMMM, g, gg), or that lacks or repeats
// the day, the month or the year, cannot be written in digits and read back unambiguously: such a
// pattern is replaced as a whole by kFallbackShortDatePattern, for writing and for reading alike.
// An unpadded element directly followed by another number (as in "dMyyyy") or by a digit is written
// padded, so that every text written reads back as the same date. Years are those of the Gregorian
// calendar, whatever calendar the locale shows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "addresslog/civil_date.h"

namespace nb {

inline constexpr wchar_t kFallbackShortDatePattern[] = L"yyyy-MM-dd";

// True when the pattern is used as it stands (false: the fallback pattern is used instead).
bool IsNumericShortDatePattern(std::wstring_view pattern);

// The date as the pattern writes it. The date must be valid.
std::wstring FormatShortDate(const CivilDate& date, std::wstring_view pattern);

// Reads a date written with the pattern. Surrounding spaces are ignored (the pattern's own too);
// days and months are taken with or without a leading zero; a year of one or two digits is put in
// the century that brings it closest to `referenceYear` (from 49 years before it to 50 years after).
// Nothing when the text does not match the pattern or names no real date.
std::optional<CivilDate> ParseShortDate(std::wstring_view text, std::wstring_view pattern, int referenceYear);

}  // namespace nb
