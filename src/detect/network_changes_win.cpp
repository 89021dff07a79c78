#include "detect/network_changes_win.h"

#include <mutex>
#include <string>

#include "base/dynamic_library_win.h"
#include "base/skip_trap_win.h"
#include "base/system_error_win.h"

namespace nb {

// What the notifications reach: the window and its message while the watch runs. The system
// calls back on threads of its own, which post and do nothing else.
struct detail::ChangeTarget {
  ChangeTarget(HWND window, UINT message) : window(window), message(message) {}

  void Post() noexcept {
    std::lock_guard<std::mutex> lock(mutex);
    if (window) PostMessageW(window, message, 0, 0);
  }
  void Forget() noexcept {
    std::lock_guard<std::mutex> lock(mutex);
    window = nullptr;
  }

  std::mutex mutex;
  HWND window;  // guarded by mutex; nullptr once the watch stops
  const UINT message;
  const HWND started = window;  // whose queue the stop clears
};

namespace {

constexpr wchar_t kStartLabel[] = L"NetworkChanges Start";

struct IpHelperApi {
  DynamicLibrary library{L"iphlpapi.dll"};
  ChangeNotifyCalls calls{
      library.Get<decltype(&NotifyIpInterfaceChange)>("NotifyIpInterfaceChange"),
      library.Get<decltype(&NotifyUnicastIpAddressChange)>("NotifyUnicastIpAddressChange"),
      library.Get<decltype(&CancelMibChangeNotify2)>("CancelMibChangeNotify2"),
  };
};

const ChangeNotifyCalls& IpHelper() {
  // A failed load raises, and is tried again on the next Start. Never unloaded: the system's
  // threads may still be in it as the program ends.
  static const IpHelperApi& api = *new IpHelperApi;
  return api.calls;
}

VOID WINAPI OnInterfaceChange(PVOID context, PMIB_IPINTERFACE_ROW, MIB_NOTIFICATION_TYPE) {
  static_cast<detail::ChangeTarget*>(context)->Post();
}

VOID WINAPI OnAddressChange(PVOID context, PMIB_UNICASTIPADDRESS_ROW, MIB_NOTIFICATION_TYPE) {
  static_cast<detail::ChangeTarget*>(context)->Post();
}

// The handle of a request the system took, or nullptr; a refusal, or a request taken without a
// handle, leaves its trace.
HANDLE Taken(DWORD result, HANDLE handle, const wchar_t* function) {
  if (result != NO_ERROR) {
    TraceSkippedError(kProgramErrorBase, std::wstring(function) + L": " + SystemErrorText(result), kStartLabel);
    return nullptr;
  }
  if (!handle) TraceSkippedError(kProgramErrorBase, std::wstring(function) + L" gave no handle", kStartLabel);
  return handle;
}

}  // namespace

bool NetworkChanges::Start(HWND window, UINT message) {
  const ChangeNotifyCalls* calls = nullptr;
  if (!SkipTrap(kStartLabel, [&] { calls = &IpHelper(); })) return false;
  return Start(window, message, *calls);
}

bool NetworkChanges::Start(HWND window, UINT message, const ChangeNotifyCalls& calls) {
  Stop();
  calls_ = calls;
  target_ = new detail::ChangeTarget(window, message);
  // No first notification: whoever starts the watch checks at once anyway.
  HANDLE handle = nullptr;
  DWORD result = calls.notifyInterface(AF_UNSPEC, OnInterfaceChange, target_, FALSE, &handle);
  interfaceHandle_ = Taken(result, handle, L"NotifyIpInterfaceChange");
  handle = nullptr;
  result = calls.notifyAddress(AF_UNSPEC, OnAddressChange, target_, FALSE, &handle);
  addressHandle_ = Taken(result, handle, L"NotifyUnicastIpAddressChange");
  if (interfaceHandle_ && addressHandle_) return true;
  Stop();
  return false;
}

void NetworkChanges::Stop() noexcept {
  if (!target_) return;
  target_->Forget();
  const HWND window = target_->started;
  const UINT message = target_->message;
  // Cancelling waits for a notification under way; once both are cancelled none can come.
  bool cancelled = true;
  for (HANDLE* handle : {&interfaceHandle_, &addressHandle_}) {
    if (*handle && calls_.cancel(*handle) != NO_ERROR) cancelled = false;
    *handle = nullptr;
  }
  // A request that could not be cancelled may still call back: its target stays, forgotten.
  if (cancelled) delete target_;
  target_ = nullptr;
  // What was posted before the target was forgotten (only the window's thread can take it).
  MSG stale;
  while (PeekMessageW(&stale, window, message, message, PM_REMOVE)) {
  }
}

}  // namespace nb
