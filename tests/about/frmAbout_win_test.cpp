#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "about/frmAbout_win.h"
#include "res/resource_ids.h"
#include "support/scripted_ui_win.h"
#include "support/window_checks_win.h"
#include "ui/layout.h"
#include "base/app_error.h"
#include "base/unique_any_win.h"
#include "base/text_win.h"

namespace {

// A plain window standing for the main window.
class StandIn : public nb::Window {
 public:
  void Open(int x, int y) {
    CreateFrame({L"Netbeacon.AboutTestMain", L"stand-in", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                 nullptr, nullptr, 2295, 1980});
    SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd(), SW_SHOWNORMAL);
  }
};

// Shows the about window through the scripted modal UI and lets the test act on it.
void WithAbout(nb::FrmAbout& about, HWND owner, const std::function<void(nb::FrmAbout&)>& act) {
  nbtest::ScriptedModalUi ui;
  ui.onModal = [&](nb::ModalWindow& window) { act(static_cast<nb::FrmAbout&>(window)); };
  nb::Modal().ShowModal(about, owner);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(FrmAbout, ShowsTitleVersionAndTheHomePage) {
  // This test program carries the program's resources, so its version is the program's.
  nb::FrmAbout about(nullptr);
  WithAbout(about, nullptr, [](nb::FrmAbout& a) {
    EXPECT_EQ(a.lblprogtitle.Text(), L"Netbeacon");
    EXPECT_EQ(a.lblversion.Text(), L"Version 3.0.0");
    EXPECT_EQ(a.lblURL.Text(), L"www.ambertop.com");
    EXPECT_FALSE(a.lbltext1.Text().empty());
    EXPECT_FALSE(a.lbltext5.Text().empty());
  });
}

TEST(ReadFileVersion, ReadsTheVersionResource) {
  const auto version = nb::ReadFileVersion(nb::ExecutablePath());
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->ms, 0x00030000u);
  EXPECT_EQ(version->ls, 0x00000000u);
  nbtest::TempFolder folder;
  nbtest::WriteFileBytes(folder.path() + L"plain.txt", "no resources here");
  EXPECT_FALSE(nb::ReadFileVersion(folder.path() + L"plain.txt").has_value());
  EXPECT_FALSE(nb::ReadFileVersion(folder.path() + L"missing.exe").has_value());
}

struct VersionCase {
  const char* name;
  nb::VersionSource source;
  const wchar_t* line;
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }

class VersionSources : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionSources, GiveTheVersionLine) {
  nb::FrmAbout about(nullptr, [](const nb::ShellOpenRequest&) -> INT_PTR { return 33; }, GetParam().source);
  std::wstring line;
  WithAbout(about, nullptr, [&](nb::FrmAbout& a) { line = a.lblversion.Text(); });
  EXPECT_EQ(line, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, VersionSources,
    testing::Values(
        VersionCase{"given", [] { return std::optional<nb::FileVersionWords>({0x00040002u, 0x00010009u}); },
                    L"Version 4.2.1"},
        VersionCase{"none", [] { return std::optional<nb::FileVersionWords>(); }, L"Version unknown"},
        VersionCase{"failing",
                    []() -> std::optional<nb::FileVersionWords> { throw nb::AppError(5, L"no resource"); },
                    L"Version unknown"}));

TEST(FrmAbout, IsAFixedToolWindowCentredOverItsOwner) {
  StandIn main;
  main.Open(200, 150);
  nb::FrmAbout about(main.hwnd());
  WithAbout(about, main.hwnd(), [&](nb::FrmAbout& a) {
    const LONG_PTR style = GetWindowLongPtrW(a.hwnd(), GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(a.hwnd(), GWL_EXSTYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(a.hwnd(), GW_OWNER), main.hwnd());
    RECT own{}, owner{};
    GetWindowRect(a.hwnd(), &own);
    GetWindowRect(main.hwnd(), &owner);
    EXPECT_NEAR((own.left + own.right) / 2, (owner.left + owner.right) / 2, 1);
    EXPECT_NEAR((own.top + own.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
  });
}

TEST(FrmAbout, FontsAndLinkColour) {
  nb::FrmAbout about(nullptr);
  WithAbout(about, nullptr, [](nb::FrmAbout& a) {
    const auto font = [](const nb::Control& c) {
      LOGFONTW lf{};
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(c.hwnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
      return lf;
    };
    const LOGFONTW title = font(a.lblprogtitle);
    EXPECT_EQ(title.lfHeight, nb::PointsToFontHeight(13.5, a.Dpi()));
    EXPECT_STREQ(title.lfFaceName, L"MS Sans Serif");
    EXPECT_LT(title.lfWeight, FW_BOLD);
    const LOGFONTW version = font(a.lblversion);
    EXPECT_EQ(version.lfHeight, nb::PointsToFontHeight(9.75, a.Dpi()));
    EXPECT_EQ(version.lfWeight, FW_BOLD);

    // The link is painted in dark blue, the other labels are not.
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(a.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(a.lblURL.hwnd));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 192));
    SetTextColor(dc, RGB(1, 2, 3));
    SendMessageW(a.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(a.lbltext1.hwnd));
    EXPECT_NE(GetTextColor(dc), RGB(0, 0, 192));
    DeleteDC(dc);
  });
}

TEST(FrmAbout, WhatTheUserSeesFitsAtBothDpis) {
  nb::FrmAbout about(nullptr);
  WithAbout(about, nullptr, [](nb::FrmAbout& a) { nbtest::ExpectSeenWellAtBothDpis(a); });
}

TEST(FrmAbout, ThePointerOverTheLinkIsOurPointingHand) {
  nb::FrmAbout about(nullptr);
  WithAbout(about, nullptr, [](nb::FrmAbout& a) {
    const auto ours = static_cast<HCURSOR>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_POINTING_HAND),
                                                      IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    ASSERT_NE(ours, nullptr);
    EXPECT_EQ(a.HandCursor(), ours);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(SendMessageW(a.imghand.hwnd, STM_GETIMAGE, IMAGE_CURSOR, 0)), ours);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    const LRESULT handled = SendMessageW(a.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(a.lblURL.hwnd),
                                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_TRUE(handled);
    EXPECT_EQ(GetCursor(), ours);
    // Both sizes are there, each with its hot spot at the finger's tip on the left edge.
    for (const int size : {32, 16}) {
      const nb::unique_hicon cursor(static_cast<HICON>(
          LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_POINTING_HAND), IMAGE_CURSOR, size, size, 0)));
      ASSERT_TRUE(cursor) << size;
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(cursor.get(), &info));
      EXPECT_FALSE(info.fIcon);
      EXPECT_EQ(info.xHotspot, 0u);
      EXPECT_EQ(info.yHotspot, size == 32 ? 10u : 5u);
      BITMAP mask{};
      GetObjectW(info.hbmMask, sizeof mask, &mask);
      EXPECT_EQ(mask.bmWidth, size);
      if (info.hbmMask) DeleteObject(info.hbmMask);
      if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    // Elsewhere the window leaves the pointer alone.
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    SendMessageW(a.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(a.lbltext1.hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), ours);
  });
}

enum class ShellResult { Opens, Fails, Throws };

struct LinkCase {
  const char* name;
  ShellResult result;
};

void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.name; }

class LinkClick : public testing::TestWithParam<LinkCase> {};

TEST_P(LinkClick, MinimisesTheMainWindowOpensTheHomePageAndCloses) {
  StandIn main;
  main.Open(100, 100);
  ASSERT_FALSE(IsIconic(main.hwnd()));
  std::vector<nb::ShellOpenRequest> calls;
  bool mainMinimisedFirst = false;
  nb::FrmAbout about(main.hwnd(), [&](const nb::ShellOpenRequest& request) -> INT_PTR {
    calls.push_back(request);
    mainMinimisedFirst = IsIconic(main.hwnd()) != FALSE;
    switch (GetParam().result) {
      case ShellResult::Opens:
        return INT_PTR{42};
      case ShellResult::Fails:
        return INT_PTR{SE_ERR_NOASSOC};
      case ShellResult::Throws:
        break;
    }
    throw nb::AppError(5, L"no browser");
  });
  HWND aboutHwnd = nullptr;
  bool ended = false;
  WithAbout(about, nullptr, [&](nb::FrmAbout& a) {
    aboutHwnd = a.hwnd();
    // A press of the mouse on the label: it must take the mouse and report the click.
    SendMessageW(a.lblURL.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(a.lblURL.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ended = a.EndRequested();
  });
  EXPECT_TRUE(IsIconic(main.hwnd()));
  EXPECT_TRUE(ended);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_TRUE(mainMinimisedFirst);
  EXPECT_EQ(calls[0].owner, aboutHwnd);
  EXPECT_EQ(calls[0].file, nb::kHomePageUrl);
  EXPECT_EQ(calls[0].directory, L"c:\\");
  EXPECT_EQ(calls[0].show, SW_SHOWNORMAL);
}

INSTANTIATE_TEST_SUITE_P(Shell, LinkClick,
                         testing::Values(LinkCase{"opens", ShellResult::Opens}, LinkCase{"fails", ShellResult::Fails},
                                         LinkCase{"throws", ShellResult::Throws}),
                         [](const testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

TEST(FrmAbout, TheHomePageIsTheRootPageOfTheMakersSite) {
  const std::wstring url = nb::kHomePageUrl;
  EXPECT_EQ(url.rfind(L"http://", 0), 0u);
  EXPECT_EQ(url.find(L'/', 7), url.size() - 1);
}

struct CloseCase {
  const char* name;
  UINT msg;
  WPARAM wParam;
};

void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class Closing : public testing::TestWithParam<CloseCase> {};

TEST_P(Closing, EndsWithoutTouchingTheMainWindowOrTheShell) {
  StandIn main;
  main.Open(100, 100);
  int shellCalls = 0;
  nb::FrmAbout about(main.hwnd(), [&](const nb::ShellOpenRequest&) -> INT_PTR { return ++shellCalls + 32; });
  bool ended = false;
  WithAbout(about, nullptr, [&](nb::FrmAbout& a) {
    EXPECT_FALSE(a.EndRequested());
    SendMessageW(a.hwnd(), GetParam().msg, GetParam().wParam, 0);
    ended = a.EndRequested();
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(shellCalls, 0);
  EXPECT_FALSE(IsIconic(main.hwnd()));
}

INSTANTIATE_TEST_SUITE_P(Ways, Closing,
                         testing::Values(CloseCase{"OK", WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)},
                                         CloseCase{"Esc", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)},
                                         CloseCase{"CloseBox", WM_CLOSE, 0}),
                         [](const testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST(FrmAbout, EnterPressesOK) {
  nb::FrmAbout about(nullptr);
  WithAbout(about, nullptr, [](nb::FrmAbout& a) {
    EXPECT_EQ(SendMessageW(a.hwnd(), DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
    MSG key{};
    key.hwnd = a.lbltext1.hwnd;
    key.message = WM_KEYDOWN;
    key.wParam = VK_RETURN;
    key.lParam = 1;
    EXPECT_TRUE(IsDialogMessageW(a.hwnd(), &key));
    EXPECT_TRUE(a.EndRequested());
  });
}

}  // namespace
