#include "ui/error_report_win.h"

#include "base/skip_trap_win.h"
#include "ui/modal_win.h"

namespace nb {

void ReportError(const AppError& error, std::wstring_view procedureLabel, std::wstring_view hint) {
  try {
    MessageBoxArgs args;
    args.owner = GetActiveWindow();
    args.text = ErrorReportText(error, procedureLabel, hint);
    args.title = kErrorWord;
    args.style = MB_OK;
    Modal().ShowMessage(args);
  } catch (...) {
    // Nothing more can be shown when even the report fails (out of memory).
    TraceSkippedError(procedureLabel);
  }
}

}  // namespace nb
