#include "support/window_checks_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "base/text_win.h"

namespace nbtest {
namespace {

struct Seen {
  HWND hwnd;
  RECT rect;   // in the window's client coordinates
  RECT shown;  // what a user sees: a text label's text, a check box's box and caption, else all of it
  std::string name;
};

std::string NameOf(HWND control) {
  return "control " + std::to_string(GetDlgCtrlID(control)) + " \"" + nb::ToAnsi(nb::WindowText(control)) + "\"";
}

std::wstring ClassOf(HWND control) {
  wchar_t name[64] = {};
  GetClassNameW(control, name, 64);
  return name;
}

LONG_PTR Style(HWND control) { return GetWindowLongPtrW(control, GWL_STYLE); }

// The box of a check box or option button and the gap after it.
const int kCheckWidth = GetSystemMetrics(SM_CXMENUCHECK) + 4;

bool IsStatic(HWND control) { return _wcsicmp(ClassOf(control).c_str(), L"Static") == 0; }

bool IsTextLabel(HWND control) {
  const LONG_PTR type = Style(control) & SS_TYPEMASK;
  return IsStatic(control) &&
         (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP);
}

bool Wraps(HWND control) {
  const LONG_PTR type = Style(control) & SS_TYPEMASK;
  return IsTextLabel(control) && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
}

bool IsButtonOfType(HWND control, std::initializer_list<LONG_PTR> types) {
  if (_wcsicmp(ClassOf(control).c_str(), L"Button") != 0) return false;
  return std::find(types.begin(), types.end(), Style(control) & BS_TYPEMASK) != types.end();
}

bool IsCheckOrOption(HWND control) {
  return IsButtonOfType(control, {BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE, BS_AUTO3STATE, BS_RADIOBUTTON,
                                  BS_AUTORADIOBUTTON});
}

bool ShowsPrefix(HWND control) {
  if (IsTextLabel(control)) return (Style(control) & SS_NOPREFIX) == 0;
  return IsCheckOrOption(control) || IsButtonOfType(control, {BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_GROUPBOX});
}

// The part of a caption that shows, in the control's font, wrapped at `wrapWidth` when given: its
// width, and its height down to the baseline of the last line, or to the foot of its letters when
// one of them reaches below the baseline (a label may cut the empty part of the last line).
SIZE CaptionSize(HWND control, const std::wstring& text, int wrapWidth) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT r{0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE) | (ShowsPrefix(control) ? 0 : DT_NOPREFIX));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  const bool descends = text.find_first_of(L"gjpqy,;()[]{}|_@$") != std::wstring::npos;
  return {r.right - r.left, r.bottom - r.top - (descends ? 0 : metrics.tmDescent)};
}

// The room a control leaves for its caption: a check box or option button gives some of its
// width to the box, a push button and a frame some to their borders.
SIZE CaptionRoom(HWND control, const RECT& rect) {
  SIZE room{rect.right - rect.left, rect.bottom - rect.top};
  if (IsCheckOrOption(control)) {
    room.cx -= kCheckWidth;
  } else if (IsButtonOfType(control, {BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_GROUPBOX})) {
    room.cx -= 4 * GetSystemMetrics(SM_CXEDGE);
    room.cy -= 2 * GetSystemMetrics(SM_CYEDGE);
  }
  return room;
}

Seen Look(HWND window, HWND control) {
  Seen seen{control, {}, {}, NameOf(control)};
  GetWindowRect(control, &seen.rect);
  MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&seen.rect), 2);
  seen.shown = seen.rect;
  const std::wstring text = nb::WindowText(control);
  if (IsTextLabel(control) && !text.empty()) {
    // A text label shows its text, from its top.
    const SIZE size = CaptionSize(control, text, Wraps(control) ? seen.rect.right - seen.rect.left : 0);
    const LONG_PTR type = Style(control) & SS_TYPEMASK;
    const LONG free = seen.rect.right - seen.rect.left - size.cx;
    seen.shown.left += type == SS_CENTER ? free / 2 : type == SS_RIGHT ? free : 0;
    seen.shown.right = seen.shown.left + size.cx;
    seen.shown.bottom = seen.shown.top + size.cy;
  } else if (IsCheckOrOption(control)) {
    // A check box shows its box and its caption, centred in its height.
    const SIZE size = CaptionSize(control, text, 0);
    const LONG height = std::max<LONG>(size.cy, GetSystemMetrics(SM_CYMENUCHECK));
    seen.shown.right = std::min<LONG>(seen.rect.right, seen.rect.left + kCheckWidth + size.cx);
    seen.shown.top = seen.rect.top + (seen.rect.bottom - seen.rect.top - height) / 2;
    seen.shown.bottom = seen.shown.top + height;
  }
  return seen;
}

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

void CheckCaption(const Seen& seen, std::vector<std::string>& problems) {
  const std::wstring text = nb::WindowText(seen.hwnd);
  // Pictures and lines have no caption to fit.
  if (text.empty() || (IsStatic(seen.hwnd) && !IsTextLabel(seen.hwnd))) return;
  const SIZE room = CaptionRoom(seen.hwnd, seen.rect);
  const SIZE size = CaptionSize(seen.hwnd, text, Wraps(seen.hwnd) ? room.cx : 0);
  // Rounding twips to pixels may take one pixel row off a control that fits exactly at 96 dpi.
  constexpr LONG kRoundingRows = 1;
  if (size.cx > room.cx || size.cy > room.cy + kRoundingRows) {
    problems.push_back(seen.name + ": caption needs " + std::to_string(size.cx) + "x" + std::to_string(size.cy) +
                       " pixels, has " + std::to_string(room.cx) + "x" + std::to_string(room.cy));
  }
}

}  // namespace

std::vector<std::string> SeenLayoutProblems(HWND window, const std::vector<HWND>& outOfSight) {
  RECT client{};
  GetClientRect(window, &client);
  std::vector<Seen> visible;
  std::vector<std::string> problems;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!(Style(child) & WS_VISIBLE)) continue;
    const Seen seen = Look(window, child);
    RECT common{};
    const bool hidden = std::find(outOfSight.begin(), outOfSight.end(), child) != outOfSight.end();
    if (hidden) {
      if (IntersectRect(&common, &seen.rect, &client)) problems.push_back(seen.name + ": meant to be out of sight, but shows");
      continue;
    }
    if (!Contains(client, seen.shown)) problems.push_back(seen.name + ": reaches out of the client area");
    CheckCaption(seen, problems);
    visible.push_back(seen);
  }
  for (size_t i = 0; i < visible.size(); ++i) {
    for (size_t k = i + 1; k < visible.size(); ++k) {
      const Seen& a = visible[i];
      const Seen& b = visible[k];
      RECT common{};
      if (!IntersectRect(&common, &a.shown, &b.shown)) continue;
      // A frame holds the controls inside it.
      if ((IsButtonOfType(a.hwnd, {BS_GROUPBOX}) && Contains(a.rect, b.rect)) ||
          (IsButtonOfType(b.hwnd, {BS_GROUPBOX}) && Contains(b.rect, a.rect))) {
        continue;
      }
      problems.push_back(a.name + " overlaps " + b.name);
    }
  }
  return problems;
}

void MoveToDpi(nb::Window& window, int dpi) {
  RECT rect{};
  GetWindowRect(window.hwnd(), &rect);
  const int from = window.Dpi();
  RECT suggested{rect.left, rect.top, rect.left + MulDiv(rect.right - rect.left, dpi, from),
                 rect.top + MulDiv(rect.bottom - rect.top, dpi, from)};
  SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

namespace {

// Where each child sits and how tall its font is, in pixels.
struct Measure {
  RECT client;
  std::vector<RECT> places;
  std::vector<LONG> fontHeights;
};

Measure MeasureAll(HWND window) {
  Measure m{};
  GetClientRect(window, &m.client);
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
    m.places.push_back(r);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), sizeof font, &font);
    m.fontHeights.push_back(font.lfHeight);
  }
  return m;
}

// Everything at 144 dpi is half as large again as at 96, give or take the rounding of a pixel.
void ExpectScaledByHalfAgain(const Measure& at96, const Measure& at144) {
  const auto halfAgain = [](LONG large, LONG small) { return std::abs(large * 2 - small * 3) <= 5; };
  EXPECT_TRUE(halfAgain(at144.client.right, at96.client.right) && halfAgain(at144.client.bottom, at96.client.bottom))
      << "client area " << at96.client.right << "x" << at96.client.bottom << " became " << at144.client.right << "x"
      << at144.client.bottom;
  ASSERT_EQ(at96.places.size(), at144.places.size());
  for (size_t i = 0; i < at96.places.size(); ++i) {
    const RECT& a = at96.places[i];
    const RECT& b = at144.places[i];
    EXPECT_TRUE(halfAgain(b.left, a.left) && halfAgain(b.top, a.top) && halfAgain(b.right, a.right) && halfAgain(b.bottom, a.bottom))
        << "control " << i << " did not move with the DPI";
    EXPECT_TRUE(halfAgain(at144.fontHeights[i], at96.fontHeights[i])) << "control " << i << " kept its font size";
  }
}

}  // namespace

void ExpectSeenWellAtBothDpis(nb::Window& window, std::initializer_list<HWND> outOfSight) {
  const int original = window.Dpi();
  Measure at96{};
  for (const int dpi : {96, 144}) {
    MoveToDpi(window, dpi);
    EXPECT_EQ(window.Dpi(), dpi);
    EXPECT_EQ(SeenLayoutProblems(window.hwnd(), outOfSight), std::vector<std::string>{}) << "at " << dpi << " dpi";
    if (dpi == 96) {
      at96 = MeasureAll(window.hwnd());
    } else {
      ExpectScaledByHalfAgain(at96, MeasureAll(window.hwnd()));
    }
  }
  MoveToDpi(window, original);
}

}  // namespace nbtest
