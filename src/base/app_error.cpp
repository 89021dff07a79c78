#include "base/app_error.h"

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

}  // namespace nb
