#include "ui/notify_icon_win.h"

#include <algorithm>
#include <cstddef>

#include "base/dynamic_library_win.h"
#include "base/skip_trap_win.h"
#include "ui/icon_callback.h"

namespace nb {

// The portable decoding reads the values of the system's headers.
static_assert(kIconSelectValue == NIN_SELECT && kIconKeySelectValue == NIN_KEYSELECT &&
              kIconContextMenuValue == WM_CONTEXTMENU);
static_assert(kIconBalloonShowValue == NIN_BALLOONSHOW && kIconBalloonHideValue == NIN_BALLOONHIDE &&
              kIconBalloonTimeoutValue == NIN_BALLOONTIMEOUT && kIconBalloonClickValue == NIN_BALLOONUSERCLICK);

namespace {

NotifyArea*& Current() {
  static SystemNotifyArea system;
  static NotifyArea* current = &system;
  return current;
}

// The shell library is loaded at the first call, not as the program starts. A failed load raises
// run-time error 48 and is tried again the next time.
struct ShellIconApi {
  using NotifyIconFn = decltype(&Shell_NotifyIconW);

  DynamicLibrary shell32{L"shell32.dll"};
  NotifyIconFn notifyIcon = shell32.Get<NotifyIconFn>("Shell_NotifyIconW");
};

const ShellIconApi& Shell() {
  static const ShellIconApi api;
  return api;
}

// Copies as much of the text as the field holds, with its NUL.
template <std::size_t N>
void CopyCut(wchar_t (&field)[N], std::wstring_view text) {
  const std::size_t length = std::min(text.size(), N - 1);
  std::copy_n(text.data(), length, field);
  field[length] = L'\0';
}

}  // namespace

bool SystemNotifyArea::Call(DWORD message, const NOTIFYICONDATAW& data) {
  bool taken = false;
  SkipTrap(L"NotifyIcon Shell_NotifyIcon", [&] {
    NOTIFYICONDATAW copy = data;  // the system's declaration takes it as writable
    taken = Shell().notifyIcon(message, &copy) != FALSE;
  });
  return taken;
}

NotifyArea& NotificationArea() { return *Current(); }

ScopedNotifyArea::ScopedNotifyArea(NotifyArea& area) : previous_(Current()) { Current() = &area; }

ScopedNotifyArea::~ScopedNotifyArea() { Current() = previous_; }

UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

bool NotifyIcon::Add(HWND window, UINT callbackMessage, HICON icon) {
  Remove();
  window_ = window;
  callbackMessage_ = callbackMessage;
  icon_ = icon;
  return Show();
}

bool NotifyIcon::SetToolTip(std::wstring_view tip) {
  tip_ = tip;
  return shown_ && NotificationArea().Call(NIM_MODIFY, Data(NIF_TIP | NIF_SHOWTIP));
}

bool NotifyIcon::ShowNotice(std::wstring_view title, std::wstring_view text, NoticeIcon icon) {
  if (!shown_) return false;
  NOTIFYICONDATAW data = Data(NIF_INFO);
  CopyCut(data.szInfoTitle, title);
  CopyCut(data.szInfo, text);
  data.dwInfoFlags = icon == NoticeIcon::Warning ? NIIF_WARNING : NIIF_INFO;
  return NotificationArea().Call(NIM_MODIFY, data);
}

void NotifyIcon::Remove() noexcept {
  if (shown_) {
    try {
      NotificationArea().Call(NIM_DELETE, Data(0));
    } catch (...) {
      // The icon goes with the window at the latest; there is nobody to tell.
    }
  }
  shown_ = false;
  window_ = nullptr;
}

bool NotifyIcon::Restore() {
  if (!window_) return false;
  // After a DPI change of the taskbar the icon is still there, and a second one cannot be added.
  if (shown_) NotificationArea().Call(NIM_DELETE, Data(0));
  shown_ = false;
  return Show();
}

NOTIFYICONDATAW NotifyIcon::Data(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kId;
  data.uFlags = flags;
  CopyCut(data.szTip, tip_);
  return data;
}

bool NotifyIcon::Show() {
  // Under version 4 the tool tip shows only when asked for (NIF_SHOWTIP).
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon_;
  if (!NotificationArea().Call(NIM_ADD, data)) return false;
  // Version 4 gives the events that DecodeIconCallback reads; without it the callback would
  // carry the older events, so an icon that cannot have it goes again.
  NOTIFYICONDATAW version = Data(0);
  version.uVersion = NOTIFYICON_VERSION_4;
  if (!NotificationArea().Call(NIM_SETVERSION, version)) {
    NotificationArea().Call(NIM_DELETE, Data(0));
    return false;
  }
  shown_ = true;
  return true;
}

}  // namespace nb
