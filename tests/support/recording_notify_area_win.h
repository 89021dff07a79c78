// The test stand-in for the notification area: records every call and answers as the system does
// (an icon is added once; only an icon that is there can be changed or removed).
#pragma once

#include <set>
#include <utility>
#include <vector>

#include "ui/notify_icon_win.h"

namespace nbtest {

class RecordingNotifyArea : public nb::NotifyArea {
 public:
  RecordingNotifyArea() : scope_(*this) {}
  bool Call(DWORD message, const NOTIFYICONDATAW& data) override;

  std::vector<NOTIFYICONDATAW> calls;  // in order, taken or not
  std::set<std::pair<HWND, UINT>> icons;  // clear it for a taskbar that starts again

 private:
  nb::ScopedNotifyArea scope_;
};

}  // namespace nbtest
