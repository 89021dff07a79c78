#include "base/system_error_win.h"

#include "base/text_util.h"

namespace nb {

std::wstring SystemErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n ? std::wstring(buffer, n) : L"System error " + std::to_wstring(code);
  if (buffer) LocalFree(buffer);
  return std::wstring(Trim(text, TrimEnds::Trailing, L"\r\n "));
}

long RunTimeErrorNumber(DWORD code) {
  using namespace errnum;
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      return kPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return kPermissionDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return kDiskFull;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return kFileAlreadyExists;
    default:
      return kPathFileAccess;
  }
}

AppError FileOperationError(DWORD code, std::wstring_view what, std::wstring_view path) {
  return AppError(RunTimeErrorNumber(code), std::wstring(what) + L" " + std::wstring(path) + L": " + SystemErrorText(code));
}

}  // namespace nb
