#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/recording_notify_area_win.h"
#include "ui/notify_icon_win.h"

namespace {

constexpr UINT kIconMessage = WM_APP + 5;

// A hidden window for the icon to belong to.
struct IconOwner {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ~IconOwner() { DestroyWindow(hwnd); }
};

const HICON kIcon = LoadIconW(nullptr, IDI_APPLICATION);

TEST(NotifyIcon, ShowsItsTipUnderVersion4AndCutsTextsToTheSystemsFields) {
  nbtest::RecordingNotifyArea area;
  IconOwner owner;
  nb::NotifyIcon icon;
  icon.SetToolTip(std::wstring(200, L'a'));  // kept for Add
  ASSERT_TRUE(icon.Add(owner.hwnd, kIconMessage, kIcon));
  EXPECT_EQ(area.calls.at(0).szTip, std::wstring(127, L'a'));
  EXPECT_EQ(area.calls.at(1).uVersion, static_cast<UINT>(NOTIFYICON_VERSION_4));
  EXPECT_TRUE(icon.ShowNotice(std::wstring(70, L't'), std::wstring(300, L'x'), nb::NoticeIcon::Warning));
  EXPECT_EQ(area.calls.back().dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
  EXPECT_EQ(area.calls.back().szInfoTitle, std::wstring(63, L't'));
  EXPECT_EQ(area.calls.back().szInfo, std::wstring(255, L'x'));
}

TEST(NotifyIcon, RestoreShowsTheIconAgainAsItWasUntilRemoved) {
  for (const bool restarted : {true, false}) {  // false: the taskbar's DPI changed, the icon stayed
    nbtest::RecordingNotifyArea area;
    IconOwner owner;
    nb::NotifyIcon icon;
    ASSERT_TRUE(icon.Add(owner.hwnd, kIconMessage, kIcon));
    icon.SetToolTip(L"LAN: 192.168.1.20");
    if (restarted) area.icons.clear();
    EXPECT_TRUE(icon.Restore()) << restarted;
    EXPECT_EQ(area.icons.size(), 1u) << restarted;
    EXPECT_STREQ(area.calls[area.calls.size() - 2].szTip, L"LAN: 192.168.1.20") << restarted;
    icon.Remove();
    EXPECT_FALSE(icon.Restore()) << restarted;
  }
}

TEST(NotifyIcon, TheSystemTakesTheIconAndLetsItGo) {
  IconOwner owner;
  nb::NotifyIcon icon;
  ASSERT_TRUE(icon.Add(owner.hwnd, kIconMessage, kIcon));
  EXPECT_TRUE(icon.SetToolTip(L"Public: 203.0.113.7\nLAN: 192.168.1.20\nLast check: 10:15"));
  EXPECT_TRUE(icon.ShowNotice(L"Public address changed", L"It is now 203.0.113.9.", nb::NoticeIcon::Info));
  EXPECT_TRUE(icon.Restore());
  icon.Remove();
  NOTIFYICONDATAW gone{};
  gone.cbSize = sizeof gone;
  gone.hWnd = owner.hwnd;
  gone.uID = nb::NotifyIcon::kId;
  EXPECT_FALSE(nb::SystemNotifyArea().Call(NIM_DELETE, gone));
}

}  // namespace
