// The system's notifications of interface and address changes, for IPv4 and IPv6, as a message
// posted to a window: the window's thread hears of a change with no timer and no polling.
//
//   NetworkChanges changes_;                                      // a member of the window
//   if (!changes_.Start(hwnd(), kNetworkChangedMessage)) {...}    // none: the interval does it all
//   // kNetworkChangedMessage comes once per notification: one change often brings several
//   changes_.Stop();
//
// The IP Helper library is loaded at the first Start.
#pragma once

#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>

namespace nb {

namespace detail {
struct ChangeTarget;
}  // namespace detail

// The IP Helper functions the notifications come from; tests give their own.
struct ChangeNotifyCalls {
  decltype(&NotifyIpInterfaceChange) notifyInterface = nullptr;
  decltype(&NotifyUnicastIpAddressChange) notifyAddress = nullptr;
  decltype(&CancelMibChangeNotify2) cancel = nullptr;
};

class NetworkChanges {
 public:
  NetworkChanges() = default;
  ~NetworkChanges() { Stop(); }
  NetworkChanges(const NetworkChanges&) = delete;
  NetworkChanges& operator=(const NetworkChanges&) = delete;

  // From now on, posts `message` (wParam and lParam 0) to the window for every interface and
  // every address notification. False, with a trace, when the system gives no such notifications:
  // the library or an entry point is missing, the system refuses, or it takes the request without
  // a handle to cancel it by, as Wine 8 does (its functions are stubs that never call back);
  // nothing is posted then. A watch that runs is stopped first.
  bool Start(HWND window, UINT message);
  bool Start(HWND window, UINT message, const ChangeNotifyCalls& calls);

  // Nothing is posted once Stop has returned, and on the window's thread none of the messages
  // already posted is left in its queue. Never called from a notification (the system waits for
  // one that runs before it cancels).
  void Stop() noexcept;
  bool Running() const noexcept { return target_ != nullptr; }

 private:
  ChangeNotifyCalls calls_;
  detail::ChangeTarget* target_ = nullptr;
  HANDLE interfaceHandle_ = nullptr;
  HANDLE addressHandle_ = nullptr;
};

}  // namespace nb
