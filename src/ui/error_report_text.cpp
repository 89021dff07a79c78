#include "ui/error_report_text.h"

namespace nb {

std::wstring ErrorReportText(const AppError& error, std::wstring_view procedureLabel, std::wstring_view hint) {
  const std::wstring crlf = L"\r\n";
  // The number is written with one blank before it when it is not negative.
  std::wstring number = (error.number >= 0 ? L" " : L"") + std::to_wstring(error.number);
  std::wstring text;
  text += L"An error has occurred:" + crlf;
  text += crlf;
  text += L"Error description:" + crlf;
  text += kErrorWord + number + L" - " + error.description + crlf;
  text += std::wstring(procedureLabel) + crlf;
  text += crlf;
  text += hint;
  return text;
}

}  // namespace nb
