#include "ui/clipboard_win.h"

#include <cstring>

#include "base/app_error.h"
#include "base/unique_any_win.h"
#include "base/text_win.h"

namespace nb {
namespace {

constexpr long kClipboardError = 521;

void PutOnClipboardAs(UINT format, const void* data, size_t bytes) {
  unique_hglobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return;
  void* target = GlobalLock(memory.get());
  if (!target) return;
  std::memcpy(target, data, bytes);
  GlobalUnlock(memory.get());
  if (SetClipboardData(format, memory.get())) memory.release();  // the clipboard owns it now
}

}  // namespace

void PutOnClipboard(HWND owner, const std::wstring& text) {
  bool open = false;
  for (int attempt = 0; attempt < 20 && !(open = OpenClipboard(owner) != FALSE); ++attempt) Sleep(25);
  if (!open) throw AppError(kClipboardError, L"Can't open Clipboard");
  EmptyClipboard();
  PutOnClipboardAs(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  const std::string ansi = ToAnsi(text);
  PutOnClipboardAs(CF_TEXT, ansi.c_str(), ansi.size() + 1);
  CloseClipboard();
}

}  // namespace nb
