// Showing the error report, and the three ways in which procedures handle errors.
#pragma once

#include <string_view>

#include "ui/app_error.h"

namespace nb {

// One modal box, OK only, no icon, titled with the failure marker, passing on help file and context.
void ReportError(const AppError& error, std::wstring_view procedureLabel, std::wstring_view hint = kReportToMakerHint);

// Report trap: a failure shows the error report and ends the procedure. Returns true on success.
template <typename Fn>
bool ReportTrap(std::wstring_view procedureLabel, Fn&& fn) {
  try {
    fn();
    return true;
  } catch (...) {
    ReportError(CurrentError(), procedureLabel);
    return false;
  }
}

// Skip trap: a failing step is skipped silently.
template <typename Fn>
void SkipTrap(Fn&& fn) noexcept {
  try {
    fn();
  } catch (...) {
  }
}

}  // namespace nb
