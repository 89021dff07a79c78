#include "support/debug_output_win.h"

#include <windows.h>

#include <mutex>

#include "base/text_win.h"

namespace nbtest {
namespace {

// Raised by OutputDebugStringW on newer systems, before the narrow form.
constexpr DWORD kDebugPrintWide = 0x4001000A;

std::mutex g_mutex;
std::vector<std::wstring> g_lines;
bool g_lastWasWide = false;

// OutputDebugString raises an exception that the system handles itself unless a debugger takes it;
// a vectored handler sees it first and lets it go on.
LONG CALLBACK SeeDebugPrint(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  if (record.NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
  const auto length = static_cast<size_t>(record.ExceptionInformation[0]);
  const std::lock_guard<std::mutex> lock(g_mutex);
  if (record.ExceptionCode == kDebugPrintWide) {
    const auto* text = reinterpret_cast<const wchar_t*>(record.ExceptionInformation[1]);
    g_lines.emplace_back(text, length ? length - 1 : 0);
    g_lastWasWide = true;
  } else if (record.ExceptionCode == DBG_PRINTEXCEPTION_C) {
    const auto* text = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
    const std::wstring line = nb::FromAnsi(std::string_view(text, length ? length - 1 : 0));
    // The narrow form of a text just seen in its wide form is the same text.
    if (!(g_lastWasWide && !g_lines.empty() && g_lines.back() == line)) g_lines.push_back(line);
    g_lastWasWide = false;
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

DebugOutputCapture::DebugOutputCapture() {
  {
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_lines.clear();
  }
  handler_ = AddVectoredExceptionHandler(1, SeeDebugPrint);
}

DebugOutputCapture::~DebugOutputCapture() { RemoveVectoredExceptionHandler(handler_); }

std::vector<std::wstring> DebugOutputCapture::Lines() const {
  const std::lock_guard<std::mutex> lock(g_mutex);
  return g_lines;
}

}  // namespace nbtest
