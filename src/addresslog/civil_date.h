// A calendar date without time of day, and the count of days between two dates.
// Portable: no Windows header.
#pragma once

namespace nb {

struct CivilDate {
  int year = 1970;
  int month = 1;
  int day = 1;
  friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

// Years 1 to 9999 of the Gregorian calendar, with the month's real number of days.
bool IsValidDate(const CivilDate& date);

// Calendar days from `from` to `to`: negative when `to` is the earlier day. Both must be valid.
long long DaysFromTo(const CivilDate& from, const CivilDate& to);

}  // namespace nb
