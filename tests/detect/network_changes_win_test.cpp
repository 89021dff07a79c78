#include "detect/network_changes_win.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "base/dynamic_library_win.h"

namespace {

constexpr UINT kChanged = WM_APP + 7;

// A window of this thread, and the messages of the watch that wait in its queue, taken.
struct Listener {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ~Listener() { DestroyWindow(hwnd); }
  int Heard() const {
    int count = 0;
    for (MSG msg; PeekMessageW(&msg, hwnd, kChanged, kChanged, PM_REMOVE);) ++count;
    return count;
  }
};

// The system as the test plays it: both requests taken, with handles 1 and 2.
PIPINTERFACE_CHANGE_CALLBACK onInterface;
PUNICAST_IPADDRESS_CHANGE_CALLBACK onAddress;
void* context;
std::vector<HANDLE> cancelled;

DWORD WINAPI NotifyInterface(ADDRESS_FAMILY, PIPINTERFACE_CHANGE_CALLBACK callback, PVOID c, BOOLEAN, HANDLE* h) {
  onInterface = callback;
  context = c;
  *h = reinterpret_cast<HANDLE>(1);
  return NO_ERROR;
}
DWORD WINAPI NotifyAddress(ADDRESS_FAMILY, PUNICAST_IPADDRESS_CHANGE_CALLBACK callback, PVOID, BOOLEAN, HANDLE* h) {
  onAddress = callback;
  *h = reinterpret_cast<HANDLE>(2);
  return NO_ERROR;
}
DWORD WINAPI Cancel(HANDLE handle) {
  cancelled.push_back(handle);
  return NO_ERROR;
}

TEST(NetworkChanges, PostsEveryNotificationUntilStopped) {
  Listener window;
  nb::NetworkChanges changes;
  ASSERT_TRUE(changes.Start(window.hwnd, kChanged, {NotifyInterface, NotifyAddress, Cancel}));
  std::thread([] {  // the system calls back on threads of its own
    onInterface(context, nullptr, MibAddInstance);
    onAddress(context, nullptr, MibDeleteInstance);
  }).join();
  EXPECT_EQ(window.Heard(), 2);
  onAddress(context, nullptr, MibAddInstance);  // just before the stop: not heard after it
  changes.Stop();
  EXPECT_EQ(window.Heard(), 0);
  EXPECT_EQ(cancelled, (std::vector<HANDLE>{reinterpret_cast<HANDLE>(1), reinterpret_cast<HANDLE>(2)}));
}

// Wine 8 takes the requests without a handle and never calls back; Windows gives both.
TEST(NetworkChanges, TheSystemGivesNotificationsExceptUnderWine) {
  const bool wine = nb::LoadedEntryPoint<void (*)()>(L"ntdll.dll", "wine_get_version") != nullptr;
  Listener window;
  nb::NetworkChanges changes;
  EXPECT_EQ(changes.Start(window.hwnd, kChanged), !wine);
  changes.Stop();
  EXPECT_FALSE(changes.Running());
}

}  // namespace
