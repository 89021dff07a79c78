// The tool tips of a window's controls: one tool-tip control owned by the window, one tool per
// control, each showing the text last given to it.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace nb {

class ToolTips {
 public:
  // Creates the tool-tip control with an empty tip for each control. Without the common
  // controls library there are no tips, and nothing fails.
  void Create(HWND owner, std::initializer_list<HWND> controls);
  void SetText(HWND control, const wchar_t* text) const;
  // The tool-tip control (destroyed with its owner), or nullptr.
  HWND hwnd() const noexcept { return tips_ && IsWindow(tips_) ? tips_ : nullptr; }

 private:
  HWND owner_ = nullptr;
  HWND tips_ = nullptr;
};

}  // namespace nb
