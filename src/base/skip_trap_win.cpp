#include "base/skip_trap_win.h"

#include <windows.h>

namespace nb {

std::wstring SkipTraceLine(const AppError& error, std::wstring_view procedureLabel) {
  return L"Netbeacon: skipped error " + std::to_wstring(error.number) + L" (" + error.description + L") in " +
         std::wstring(procedureLabel) + L"\n";
}

namespace {

constexpr wchar_t kUndescribedTrace[] = L"Netbeacon: skipped an error that could not be described\n";

}  // namespace

void TraceSkippedError(std::wstring_view procedureLabel) noexcept {
  try {
    OutputDebugStringW(SkipTraceLine(CurrentError(), procedureLabel).c_str());
  } catch (...) {
    OutputDebugStringW(kUndescribedTrace);
  }
}

void TraceSkippedError(long number, std::wstring_view description, std::wstring_view procedureLabel) noexcept {
  try {
    OutputDebugStringW(SkipTraceLine(AppError(number, std::wstring(description)), procedureLabel).c_str());
  } catch (...) {
    OutputDebugStringW(kUndescribedTrace);
  }
}

}  // namespace nb
