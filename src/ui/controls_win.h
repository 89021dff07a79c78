// Thin wrappers over child controls. Children are destroyed with their parent window, so a
// wrapper does not own its handle. Windows create their controls from a placement table
// (ui/window_win.h), which fills in these wrappers.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "base/unique_any_win.h"

namespace nb {

struct Control {
  HWND hwnd = nullptr;
  int id = 0;

  std::wstring Text() const;
  void SetText(std::wstring_view text) const;
  bool Visible() const { return hwnd && IsWindowVisible(hwnd); }
  bool Enabled() const { return hwnd && IsWindowEnabled(hwnd); }
  void Enable(bool on) const { EnableWindow(hwnd, on ? TRUE : FALSE); }
  // Gives the control the keyboard focus; false when it cannot take it.
  bool Focus() const { return hwnd && SetFocus(hwnd) != nullptr && GetFocus() == hwnd; }
};

struct Button : Control {};

struct CheckBox : Control {
  // 0 off, 1 on, 2 greyed.
  int Value() const { return static_cast<int>(SendMessageW(hwnd, BM_GETCHECK, 0, 0)); }
  void SetValue(int value) const { SendMessageW(hwnd, BM_SETCHECK, static_cast<WPARAM>(value), 0); }
};

// A list box (LISTBOX); with LBS_MULTIPLESEL a click toggles an entry's selection.
struct ListBox : Control {
  void Add(std::wstring_view text) const;
  int Count() const { return static_cast<int>(SendMessageW(hwnd, LB_GETCOUNT, 0, 0)); }
  std::wstring Item(int index) const;
  bool Selected(int index) const { return SendMessageW(hwnd, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0; }
  int SelectedCount() const;
};

// A drop-down list (CBS_DROPDOWNLIST).
struct ComboBox : Control {
  void Add(std::wstring_view text) const;
  // -1 selects nothing.
  void Select(int index) const { SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
  // -1 when nothing is selected.
  int Selected() const { return static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0)); }
  int Count() const { return static_cast<int>(SendMessageW(hwnd, CB_GETCOUNT, 0, 0)); }
};

// A text label that paints itself in its own colours and tells its parent of mouse actions:
// WM_COMMAND with kLabelDblClick, and kLabelMouseDown / kLabelMouseMove messages whose
// wParam holds the control id (low word) and the button (high word: 1 left, 2 right, 4 middle)
// and whose lParam holds the position in client coordinates.
struct ColourLabel : Control {
  // Its window class, registered on first use.
  static const wchar_t* ClassName();
  void SetColours(COLORREF text, COLORREF back) const;
  COLORREF TextColour() const;
  COLORREF BackColour() const;
};

inline constexpr WORD kLabelDblClick = 0x4E01;
inline constexpr UINT kLabelMouseDown = WM_APP + 0x101;
inline constexpr UINT kLabelMouseMove = WM_APP + 0x102;

// Creates a child control at (0,0,0,0); the window's layout places it. Raises AppError 339 when
// Windows refuses.
HWND CreateChild(HWND parent, const wchar_t* className, std::wstring_view text, DWORD style, int id, DWORD exStyle = 0);

// The program's font face.
inline constexpr wchar_t kProgramFontFace[] = L"MS Sans Serif";

// A font at a size in points, in the program's face unless another is named. A fixed-pitch font
// asks for one: where the face is missing, the system then puts another fixed-pitch face in its place.
struct FontStyle {
  double points = 8.25;
  bool bold = false;
  std::wstring_view face = kProgramFontFace;
  bool fixedPitch = false;
  friend bool operator==(const FontStyle&, const FontStyle&) = default;
};
inline constexpr FontStyle kBoldFont{8.25, true};

unique_hfont MakeFont(const FontStyle& font, int dpi);

// The text and background colours that a text box or list asks its parent window for
// (WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC for a read-only text box, WM_CTLCOLORLISTBOX), with the
// brush that paints the background.
class ControlColours {
 public:
  void Set(COLORREF text, COLORREF back);
  COLORREF Text() const noexcept { return text_; }
  COLORREF Back() const noexcept { return back_; }
  // The answer to the WM_CTLCOLOR... message: the colours go into the control's device context,
  // the brush is returned.
  LRESULT Paint(HDC dc) const;

 private:
  COLORREF text_ = 0;
  COLORREF back_ = 0xFFFFFF;
  unique_any<gdi_traits> brush_;
};

// Key preview: from now on the control sends its parent kKeyPreview (wParam the virtual key, lParam
// as in WM_KEYDOWN) for every key pressed while it has the focus, before it handles the key
// itself as usual. So a window sees its keys whichever of its controls has the focus.
inline constexpr UINT kKeyPreview = WM_APP + 0x103;
void PreviewKeysOf(const Control& control);

}  // namespace nb
