#include "ui/controls_win.h"

#include "base/app_error.h"
#include "base/system_error_win.h"
#include "base/text_win.h"
#include "ui/layout.h"
#include "ui/window_class_win.h"

namespace nb {
namespace {

constexpr wchar_t kColourLabelClass[] = L"Netbeacon.ColourLabel";

// Per-label state kept in the window's extra bytes.
enum : int { kTextColourSlot = 0, kBackColourSlot = sizeof(LONG_PTR), kExtraBytes = 2 * sizeof(LONG_PTR) };

// Adds an entry to a list or a drop-down list (LB_ADDSTRING, CB_ADDSTRING).
void AddItem(HWND control, UINT message, std::wstring_view text) {
  const std::wstring item(text);
  SendMessageW(control, message, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void NotifyMouse(HWND hwnd, UINT message, WORD button, LPARAM position) {
  const int id = GetDlgCtrlID(hwnd);
  SendMessageW(GetParent(hwnd), message, MAKEWPARAM(static_cast<WORD>(id), button), position);
}

LRESULT CALLBACK ColourLabelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rect;
      GetClientRect(hwnd, &rect);
      const auto back = static_cast<COLORREF>(GetWindowLongPtrW(hwnd, kBackColourSlot));
      const auto text = static_cast<COLORREF>(GetWindowLongPtrW(hwnd, kTextColourSlot));
      SetBkColor(dc, back);
      ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
      SetTextColor(dc, text);
      SetBkMode(dc, TRANSPARENT);
      HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
      const std::wstring caption = WindowText(hwnd);
      DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rect,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(dc, oldFont);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETFONT:
      SetPropW(hwnd, L"Netbeacon.Font", reinterpret_cast<HANDLE>(wParam));
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(GetPropW(hwnd, L"Netbeacon.Font"));
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return result;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDBLCLK:
      SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), kLabelDblClick),
                   reinterpret_cast<LPARAM>(hwnd));
      return 0;
    case WM_LBUTTONDOWN:
      NotifyMouse(hwnd, kLabelMouseDown, 1, lParam);
      return 0;
    case WM_RBUTTONDOWN:
      NotifyMouse(hwnd, kLabelMouseDown, 2, lParam);
      return 0;
    case WM_MBUTTONDOWN:
      NotifyMouse(hwnd, kLabelMouseDown, 4, lParam);
      return 0;
    case WM_MOUSEMOVE:
      NotifyMouse(hwnd, kLabelMouseMove, 0, lParam);
      return 0;
    case WM_NCDESTROY:
      RemovePropW(hwnd, L"Netbeacon.Font");
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

const wchar_t* ColourLabel::ClassName() {
  RegisterClassOnce({kColourLabelClass, ColourLabelProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, kExtraBytes, nullptr,
                     nullptr});
  return kColourLabelClass;
}

std::wstring Control::Text() const { return WindowText(hwnd); }

void Control::SetText(std::wstring_view text) const { SetWindowTextOf(hwnd, text); }

void ListBox::Add(std::wstring_view text) const { AddItem(hwnd, LB_ADDSTRING, text); }

std::wstring ListBox::Item(int index) const {
  const LRESULT length = SendMessageW(hwnd, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(hwnd, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
  return text;
}

int ListBox::SelectedCount() const {
  const LRESULT count = SendMessageW(hwnd, LB_GETSELCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

void ComboBox::Add(std::wstring_view text) const { AddItem(hwnd, CB_ADDSTRING, text); }

void ColourLabel::SetColours(COLORREF text, COLORREF back) const {
  SetWindowLongPtrW(hwnd, kTextColourSlot, static_cast<LONG_PTR>(text));
  SetWindowLongPtrW(hwnd, kBackColourSlot, static_cast<LONG_PTR>(back));
  InvalidateRect(hwnd, nullptr, TRUE);
}

COLORREF ColourLabel::TextColour() const { return static_cast<COLORREF>(GetWindowLongPtrW(hwnd, kTextColourSlot)); }

COLORREF ColourLabel::BackColour() const { return static_cast<COLORREF>(GetWindowLongPtrW(hwnd, kBackColourSlot)); }

HWND CreateChild(HWND parent, const wchar_t* className, std::wstring_view text, DWORD style, int id, DWORD exStyle) {
  const std::wstring caption(text);
  HWND hwnd = CreateWindowExW(exStyle, className, caption.c_str(), WS_CHILD | style, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) {
    throw AppError(errnum::kComponentMissing,
                   L"Control " + std::wstring(className) + L" cannot be created: " + SystemErrorText(GetLastError()));
  }
  return hwnd;
}

unique_hfont MakeFont(const FontStyle& font, int dpi) {
  LOGFONTW lf{};
  lf.lfHeight = PointsToFontHeight(font.points, dpi);
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = CLEARTYPE_QUALITY;
  lf.lfPitchAndFamily = font.fixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH;
  const std::wstring face(font.face);
  wcsncpy_s(lf.lfFaceName, face.c_str(), _TRUNCATE);
  return unique_hfont(CreateFontIndirectW(&lf));
}

void ControlColours::Set(COLORREF text, COLORREF back) {
  text_ = text;
  back_ = back;
  brush_.reset(CreateSolidBrush(back));
}

LRESULT ControlColours::Paint(HDC dc) const {
  SetTextColor(dc, text_);
  SetBkColor(dc, back_);
  return reinterpret_cast<LRESULT>(brush_ ? brush_.get() : GetStockObject(WHITE_BRUSH));
}

namespace {

constexpr wchar_t kPreviewedProcedure[] = L"Netbeacon.KeyPreview";

LRESULT CALLBACK KeyPreviewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto original = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kPreviewedProcedure));
  if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) SendMessageW(GetParent(hwnd), kKeyPreview, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropW(hwnd, kPreviewedProcedure);
  }
  return original ? CallWindowProcW(original, hwnd, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void PreviewKeysOf(const Control& control) {
  if (!control.hwnd || GetPropW(control.hwnd, kPreviewedProcedure)) return;
  const LONG_PTR original = GetWindowLongPtrW(control.hwnd, GWLP_WNDPROC);
  SetPropW(control.hwnd, kPreviewedProcedure, reinterpret_cast<HANDLE>(original));
  SetWindowLongPtrW(control.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeyPreviewProc));
}

}  // namespace nb
