// The error report box, and the report trap that shows it.
#pragma once

#include <string_view>

#include "base/app_error.h"
#include "ui/error_report_text.h"

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

}  // namespace nb
