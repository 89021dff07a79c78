// The text of the error report box. Portable: no Windows header.
#pragma once

#include <string>
#include <string_view>

#include "base/app_error.h"

namespace nb {

// The default last line of an error report.
inline constexpr wchar_t kReportToMakerHint[] =
    L"Please report this error, with the description above, to Ambertop.";

// The seven-line text of the error report, lines joined by CR LF.
std::wstring ErrorReportText(const AppError& error, std::wstring_view procedureLabel,
                             std::wstring_view hint = kReportToMakerHint);

}  // namespace nb
