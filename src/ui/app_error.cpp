#include "ui/app_error.h"

#include <new>
#include <string>

namespace nb {

AppError CurrentError() {
  try {
    throw;
  } catch (const AppError& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return AppError(errnum::kOutOfMemory, L"Out of memory");
  } catch (const std::exception& e) {
    std::wstring text;
    for (const char* p = e.what(); *p; ++p) text += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return AppError(kProgramErrorBase, text);
  } catch (...) {
    return AppError(kProgramErrorBase, L"Unexpected failure");
  }
}

std::wstring ErrorReportText(const AppError& error, std::wstring_view procedureLabel, std::wstring_view hint) {
  const std::wstring crlf = L"\r\n";
  // The number is written with one blank before it when it is not negative.
  std::wstring number = (error.number >= 0 ? L" " : L"") + std::to_wstring(error.number);
  std::wstring text;
  text += L"An error has occurred:" + crlf;
  text += crlf;
  text += L"Error description:" + crlf;
  text += kRegistryFailureMarker + number + L" - " + error.description + crlf;
  text += std::wstring(procedureLabel) + crlf;
  text += crlf;
  text += hint;
  return text;
}

}  // namespace nb
