// The base of every window of the program: one window-procedure thunk that forwards to the
// window object, the list of open windows, and DPI-aware layout in twips.
#pragma once

#include <windows.h>

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ui/layout.h"

namespace nb {

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
    HMENU menu = nullptr;
    int clientWidthTwips = 0;
    int clientHeightTwips = 0;
    HICON icon = nullptr;
  };
  // Creates the window (hidden) sized so that its client area has the given size in twips
  // at the DPI of the monitor it lands on. Raises an AppError when Windows refuses.
  void CreateFrame(const CreateArgs& args);

  // Handlers return true when they handled the message (and set result).
  virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Called after the DPI changed, to lay out controls and fonts afresh.
  virtual void OnDpiChanged() {}
  // Called when the window is being destroyed, before its handle is gone.
  virtual void OnDestroy() {}
  // Where an exception that no handler trapped ends up, so that it never crosses the
  // window procedure.
  virtual void OnUnhandledError(const wchar_t* where);

  // Places each control at its design-time place in twips, at the window's DPI.
  struct Placement {
    HWND control;
    TwipsRect rect;
  };
  void Place(std::span<const Placement> placements) const;
  // Resizes the frame so that the client area has the given size in twips.
  void SizeClient(int widthTwips, int heightTwips) const;
  // Centres the window over another one, or over the work area when there is none.
  void CentreOver(HWND over) const;

 private:
  static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  DWORD style_ = 0;
  DWORD exStyle_ = 0;
};

// DPI of a window (falls back to the screen's on systems without per-monitor DPI).
int WindowDpi(HWND hwnd);

}  // namespace nb
