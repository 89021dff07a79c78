#include "watch/run_key_win.h"

#include <windows.h>

#include "base/text_win.h"
#include "base/unique_any_win.h"
#include "watch/watch_settings.h"

namespace nb {

std::wstring RunCommand() { return L"\"" + ExecutablePath() + L"\" " + kSwitchWatch; }

bool StartsWithWindows() {
  unique_hkey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
    key.release();
    return false;
  }
  return RegQueryValueExW(key.get(), kRunValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetStartWithWindows(bool on) {
  unique_hkey key;
  // A fresh profile may not have the Run key yet.
  const LSTATUS opened = on ? RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                              KEY_SET_VALUE, nullptr, key.put(), nullptr)
                            : RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, key.put());
  if (opened != ERROR_SUCCESS) {
    key.release();
    return;
  }
  if (!on) {
    RegDeleteValueW(key.get(), kRunValue);
    return;
  }
  const std::wstring command = RunCommand();
  RegSetValueExW(key.get(), kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}

}  // namespace nb
