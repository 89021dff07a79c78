#include "support/recording_notify_area_win.h"

namespace nbtest {

bool RecordingNotifyArea::Call(DWORD message, const NOTIFYICONDATAW& data) {
  calls.push_back(data);
  const std::pair<HWND, UINT> icon{data.hWnd, data.uID};
  if (message == NIM_ADD) return icons.insert(icon).second;
  if (message == NIM_DELETE) return icons.erase(icon) == 1;
  return icons.count(icon) == 1;
}

}  // namespace nbtest
