// The program's icon in the notification area, under version 4 of the shell's icon interface:
// added for a window with its callback message and an icon, a tool tip of several lines, a
// notification that goes by itself (never a box that waits for a click), and put back after the
// taskbar starts again.
//
//   NotifyIcon icon_;                                                  // a member of the window
//   icon_.Add(hwnd(), kIconMessage, icon);                             // kIconMessage: WM_APP + n
//   icon_.SetToolTip(L"Public: 203.0.113.7\nLAN: 192.168.1.20");
//   icon_.ShowNotice(L"Public address changed", text, NoticeIcon::Info);
//   // kIconMessage:            switch on DecodeIconCallback(wParam, lParam).event (ui/icon_callback.h)
//   // TaskbarCreatedMessage(): icon_.Restore();
//
// The calls go to the system through NotificationArea(); tests put a recording one in place.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <string_view>

namespace nb {

// The system's side of the icon: the calls of Shell_NotifyIconW.
class NotifyArea {
 public:
  virtual ~NotifyArea() = default;
  // True when the system took the call.
  virtual bool Call(DWORD message, const NOTIFYICONDATAW& data) = 0;
};

// Shell_NotifyIconW, from the shell library loaded at the first call; a library that cannot be
// loaded refuses every call (and is tried again on the next).
class SystemNotifyArea : public NotifyArea {
 public:
  bool Call(DWORD message, const NOTIFYICONDATAW& data) override;
};

NotifyArea& NotificationArea();

// Puts another NotifyArea in place for its lifetime.
class ScopedNotifyArea {
 public:
  explicit ScopedNotifyArea(NotifyArea& area);
  ~ScopedNotifyArea();
  ScopedNotifyArea(const ScopedNotifyArea&) = delete;
  ScopedNotifyArea& operator=(const ScopedNotifyArea&) = delete;

 private:
  NotifyArea* previous_;
};

// The message the taskbar sends every top-level window when it starts (again), with its icons
// gone. Windows also sends it when the taskbar's DPI changes, with the icons still there.
UINT TaskbarCreatedMessage();

enum class NoticeIcon { Info, Warning };

class NotifyIcon {
 public:
  // The id of the icon among the window's icons (the high word of the callback's lParam).
  static constexpr UINT kId = 1;

  NotifyIcon() = default;
  ~NotifyIcon() { Remove(); }
  NotifyIcon(const NotifyIcon&) = delete;
  NotifyIcon& operator=(const NotifyIcon&) = delete;

  // Shows the icon for the window with the tool tip last set; the window gets `callbackMessage`
  // for what the user does with it. An icon already shown is removed first. False when the
  // system refused: the icon is then not shown, and Restore tries again.
  bool Add(HWND window, UINT callbackMessage, HICON icon);
  // Several lines, separated by "\n"; the system takes 127 characters, and what is beyond is
  // left out. Kept for Add and Restore when the icon is not shown. False when not shown.
  bool SetToolTip(std::wstring_view tip);
  // A notification beside the icon, which goes by itself. The system takes a title of 63
  // characters and a text of 255; what is beyond is left out. False when not shown.
  bool ShowNotice(std::wstring_view title, std::wstring_view text, NoticeIcon icon);
  // Takes the icon away; nothing more reaches the window from it.
  void Remove() noexcept;
  // Shows the icon again as it was, for the window's TaskbarCreatedMessage(). False when it was
  // never added or the system refused.
  bool Restore();
  bool Shown() const noexcept { return shown_; }

 private:
  NOTIFYICONDATAW Data(UINT flags) const;
  bool Show();

  HWND window_ = nullptr;
  UINT callbackMessage_ = 0;
  HICON icon_ = nullptr;
  std::wstring tip_;
  bool shown_ = false;
};

}  // namespace nb
