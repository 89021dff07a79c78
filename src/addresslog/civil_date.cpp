#include "addresslog/civil_date.h"

#include <chrono>

namespace nb {
namespace {

std::chrono::year_month_day ToYmd(const CivilDate& date) {
  return std::chrono::year_month_day{std::chrono::year{date.year},
                                     std::chrono::month{static_cast<unsigned>(date.month)},
                                     std::chrono::day{static_cast<unsigned>(date.day)}};
}

}  // namespace

bool IsValidDate(const CivilDate& date) {
  if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) {
    return false;
  }
  return ToYmd(date).ok();
}

long long DaysFromTo(const CivilDate& from, const CivilDate& to) {
  const std::chrono::sys_days a{ToYmd(from)};
  const std::chrono::sys_days b{ToYmd(to)};
  return (b - a).count();
}

}  // namespace nb
