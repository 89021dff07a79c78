#include "ui/tool_tips_win.h"

#include <commctrl.h>

namespace nb {
namespace {

TTTOOLINFOW ToolInfo(HWND owner, HWND control, UINT flags, const wchar_t* text) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = flags;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(text);
  return tool;
}

}  // namespace

void ToolTips::Create(HWND owner, std::initializer_list<HWND> controls) {
  // The tool-tip class lives in the common controls library, which then stays loaded for the
  // program's life (the program's start-up has loaded it already).
  LoadLibraryW(L"comctl32.dll");
  owner_ = owner;
  tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                          owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!tips_) return;
  for (HWND control : controls) {
    TTTOOLINFOW tool = ToolInfo(owner, control, TTF_IDISHWND | TTF_SUBCLASS, L"");
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 400);
}

void ToolTips::SetText(HWND control, const wchar_t* text) const {
  if (!hwnd()) return;
  TTTOOLINFOW tool = ToolInfo(owner_, control, TTF_IDISHWND, text);
  SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace nb
