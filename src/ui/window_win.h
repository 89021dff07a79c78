// The base of every window of the program: one window-procedure thunk that forwards to the
// window object, the list of open windows, and the controls a window declares in a placement
// table, laid out in twips at the window's DPI when it is made and again on every DPI change.
//
// A window of the program (see docs/architecture.md):
//   class FrmX : public ModalWindow {           // or Window, for a modeless one
//     Control lblInfo;  Button cmdOK;           // controls, by name
//     void Load(HWND owner) override {
//       CreateFrame({kClassName, L"Caption", style, exStyle, owner, menu, widthTwips, heightTwips});
//       CreateControls({
//           {&lblInfo, L"STATIC", L"text", WS_VISIBLE | SS_NOPREFIX, idLblInfo, {120, 180, 3960, 420}},
//           {&cmdOK, L"BUTTON", L"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, {1500, 765, 1215, 375}},
//       });
//     }
//     void OnCommand(int id, int code) override;   // forwards to cmdOK_Click() ...
//   };
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "base/unique_any_win.h"
#include "ui/controls_win.h"
#include "ui/layout.h"

namespace nb {

// One row of a window's placement table: the member that holds the control, its window class,
// caption, style (WS_CHILD is added), id, design-time place in twips, font, and extended style
// (WS_EX_CLIENTEDGE for a text box or a list).
struct ControlPlacement {
  Control* control;
  const wchar_t* className;
  std::wstring caption;
  DWORD style;
  int id;
  TwipsRect place;
  FontStyle font = {};
  DWORD exStyle = 0;
};

class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const noexcept { return hwnd_; }
  bool IsOpen() const noexcept { return hwnd_ != nullptr; }
  int Dpi() const noexcept { return dpi_; }
  int Px(int twips) const noexcept { return TwipsToPixels(twips, dpi_); }

  // Asks the window to close (as its close box does); it may refuse.
  void Close();
  // Destroys the window at once.
  void Unload();

  // The program's open windows, in the order in which they were opened.
  static const std::vector<Window*>& OpenWindows();
  // Called when the last open window has gone (the program then ends).
  static void SetLastWindowClosedHandler(std::function<void()> handler);

 protected:
  Window() = default;

  struct CreateArgs {
    const wchar_t* className;
    std::wstring caption;
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = 0;
    HWND owner = nullptr;
    HMENU menu = nullptr;  // destroyed with the window
    int clientWidthTwips = 0;
    int clientHeightTwips = 0;
    // The class's icon (a shared icon from the resources): the title bar and the task bar take it,
    // the small one from the same resource.
    HICON icon = nullptr;
  };
  // Creates the window (hidden) sized so that its client area has the given size in twips
  // at the DPI of the monitor it lands on. Raises an AppError when Windows refuses.
  void CreateFrame(const CreateArgs& args);

  // Creates the controls of the table in its order (which is the tab order), gives each its
  // place and font, and fills in the members. Raises an AppError when Windows refuses.
  void CreateControls(std::initializer_list<ControlPlacement> table);
  // Gives a control of the table another place, kept across DPI changes (for windows that lay
  // out their controls again when they are resized).
  void Replace(const Control& control, TwipsRect place);

  // Handlers return true when they handled the message (and set result).
  virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // WM_COMMAND that OnMessage left: a control's notification or a menu command.
  virtual void OnCommand(int /*id*/, int /*code*/) {}
  // Called after the DPI changed and the table was laid out afresh.
  virtual void OnDpiChanged() {}
  // Called when the window is being destroyed, before its handle is gone.
  virtual void OnDestroy() {}
  // Where the focus goes when the window is first activated; nullptr leaves the focus to
  // Windows. A window that names one gets it back, after a switch to another program, where
  // it was.
  virtual HWND InitialFocus() const { return nullptr; }
  // Where an exception that no handler trapped ends up, so that it never crosses the
  // window procedure.
  virtual void OnUnhandledError(const wchar_t* where);

  // The button that Enter presses (answered to DM_GETDEFID); 0 for none.
  void SetDefaultButtonId(int id) noexcept { defaultButtonId_ = id; }
  int DefaultButtonId() const noexcept { return defaultButtonId_; }
  // Resizes the frame so that the client area has the given size in twips.
  void SizeClient(int widthTwips, int heightTwips) const;
  // The same, and the size it keeps from now on (at another DPI too).
  void SetClientSize(int widthTwips, int heightTwips);
  // Centres the window over another one, or over the primary monitor's work area when there is
  // none, and keeps it inside the work area of that window's monitor.
  void CentreOver(HWND over) const;

 private:
  struct Placed {
    HWND hwnd;
    TwipsRect place;
    FontStyle font;
  };

  static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  bool HandleBaseMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void DpiChanged(int dpi, const RECT& suggested);
  void Activated(bool active);
  void LayOut();
  void Move(const Placed& p) const;
  HFONT Font(const FontStyle& style);
  void Forget();

  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  DWORD style_ = 0;
  int clientWidthTwips_ = 0;
  int clientHeightTwips_ = 0;
  int defaultButtonId_ = 0;
  HWND lastFocus_ = nullptr;
  std::vector<Placed> placed_;
  std::vector<std::pair<FontStyle, unique_hfont>> fonts_;  // at dpi_
};

// DPI of a window (falls back to the screen's on systems without per-monitor DPI).
int WindowDpi(HWND hwnd);

}  // namespace nb
