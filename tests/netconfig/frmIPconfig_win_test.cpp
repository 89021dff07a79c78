// The configuration viewer driven through messages, with the report given by a stand-in capture
// (the capture itself is tested for real in capture_test) and modal UI scripted.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <utility>

#include "base/worker_win.h"
#include "netconfig/capture_text.h"
#include "netconfig/frmIPconfig_win.h"
#include "settings/registry_win.h"
#include "support/scripted_ui_win.h"
#include "support/window_checks_win.h"
#include "ui/layout.h"

namespace {

using namespace std::chrono_literals;
using nb::CaptureResult;
using nb::FrmIPconfig;

std::pair<DWORD, DWORD> Selection(const nb::Control& box) {
  DWORD start = 0, end = 0;
  SendMessageW(box.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

void Click(const nb::Button& button) { SendMessageW(button.hwnd, BM_CLICK, 0, 0); }

// Where the window's outer edges are, in twips.
RECT OuterTwips(const FrmIPconfig& viewer) {
  RECT r{};
  GetWindowRect(viewer.hwnd(), &r);
  const auto t = [&](LONG px) { return static_cast<LONG>(nb::PixelsToTwips(px, viewer.Dpi())); };
  return {t(r.left), t(r.top), t(r.right - r.left), t(r.bottom - r.top)};  // left, top, width, height
}

bool BusyPointerShown(const FrmIPconfig& v) {
  SendMessageW(v.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(v.hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
}

class Viewer : public testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Ambertop\\Netbeacon");
    nb::CreateKey(nb::kProgramKey);
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Ambertop\\Netbeacon"); }

  // Opens the viewer on a capture that gives the result and acts on it once the capture is over
  // (the busy pointer is gone); it is unloaded afterwards.
  void WithViewer(const CaptureResult& result, const std::function<void(FrmIPconfig&)>& act) {
    FrmIPconfig viewer([result](const nb::StopSignal&) { return result; });
    ui.onModal = [&](nb::ModalWindow&) {
      ASSERT_TRUE(nbtest::PumpUntil([&] { return !BusyPointerShown(viewer); })) << "the capture did not end";
      act(viewer);
    };
    nb::Modal().ShowModal(viewer, nullptr);
  }
  void WithViewer(const std::wstring& report, const std::function<void(FrmIPconfig&)>& act) {
    WithViewer(CaptureResult{false, report}, act);
  }

  static void Store(const wchar_t* name, const wchar_t* value) { nb::WriteString(nb::kProgramKey, name, value); }
  static std::optional<std::wstring> Stored(const wchar_t* name) { return nb::ReadString(nb::kProgramKey, name); }

  nbtest::ScriptedModalUi ui;
};

TEST_F(Viewer, WhatTheUserSeesFitsAtBothDpis) {
  WithViewer(L"Host Name . . . : nb\r\n", [](FrmIPconfig& v) { nbtest::ExpectSeenWellAtBothDpis(v); });
}

// The four stored values come back, a height below the smallest is held to it, and closing
// stores where the window is then.
TEST_F(Viewer, TheStoredPlaceComesBackHeldToTheSmallestSizeAndCloseStoresIt) {
  Store(L"IPconfig_Top", L"1500");
  Store(L"IPconfig_Left", L"3000");
  Store(L"IPconfig_Width", L"12210");
  Store(L"IPconfig_Height", L"2000");
  WithViewer(L"report", [](FrmIPconfig& v) {
    const RECT outer = OuterTwips(v);
    EXPECT_EQ(outer.top, 1500);
    EXPECT_EQ(outer.left, 3000);
    EXPECT_EQ(outer.right, 12210) << "width";
    EXPECT_GE(outer.bottom, 4000) << "height";
    EXPECT_LT(outer.bottom, 4000 + 15);
    SetWindowPos(v.hwnd(), nullptr, 150, 120, 800, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    Click(v.cmdOK);
  });
  EXPECT_EQ(Stored(L"IPconfig_Top"), L"1800");
  EXPECT_EQ(Stored(L"IPconfig_Left"), L"2250");
  EXPECT_EQ(Stored(L"IPconfig_Width"), L"12000");
  EXPECT_EQ(Stored(L"IPconfig_Height"), L"6000");
}

struct ResizeCase {
  const char* name;
  int width, height;          // asked for, outer, twips
  int heldWidth, heldHeight;  // what the window takes (to the pixel)
};

class Resizing : public Viewer, public testing::WithParamInterface<ResizeCase> {};

// However the window is made smaller, it keeps the smallest size, and the report box and the
// bottom row keep their distances to the client area's right and bottom edges.
TEST_P(Resizing, SnapsToTheSmallestSizeAndLaysTheControlsOutAgain) {
  const ResizeCase& c = GetParam();
  WithViewer(L"report", [&](FrmIPconfig& v) {
    const auto gaps = [&] {
      RECT client{}, box{}, ok{};
      GetClientRect(v.hwnd(), &client);
      GetWindowRect(v.txtIPconfig.hwnd, &box);
      GetWindowRect(v.cmdOK.hwnd, &ok);
      MapWindowPoints(HWND_DESKTOP, v.hwnd(), reinterpret_cast<POINT*>(&box), 2);
      MapWindowPoints(HWND_DESKTOP, v.hwnd(), reinterpret_cast<POINT*>(&ok), 2);
      return std::vector<LONG>{client.right - box.right, client.bottom - box.bottom, client.right - ok.right,
                               client.bottom - ok.bottom, ok.top - box.bottom};
    };
    const std::vector<LONG> atDesignSize = gaps();
    SetWindowPos(v.hwnd(), nullptr, 0, 0, v.Px(c.width), v.Px(c.height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT outer = OuterTwips(v);
    EXPECT_EQ(v.Px(outer.right), v.Px(c.heldWidth));
    EXPECT_EQ(v.Px(outer.bottom), v.Px(c.heldHeight));
    const std::vector<LONG> after = gaps();
    for (size_t i = 0; i < after.size(); ++i) EXPECT_NEAR(after[i], atDesignSize[i], 1) << "distance " << i;
    // The bottom row keeps its order without one button covering another.
    const nb::Control* const row[] = {&v.txtFind, &v.cmdFind, &v.cmdFindNext, &v.cmdRefresh, &v.cmdOK};
    for (size_t i = 1; i < std::size(row); ++i) {
      RECT left{}, right{};
      GetWindowRect(row[i - 1]->hwnd, &left);
      GetWindowRect(row[i]->hwnd, &right);
      EXPECT_LE(left.right, right.left) << "control " << i << " of the bottom row";
    }
  });
}

INSTANTIATE_TEST_SUITE_P(Sizes, Resizing,
                         testing::Values(ResizeCase{"TooSmall", 3000, 1500, 11400, 4000},
                                         ResizeCase{"TooNarrow", 9700, 9000, 11400, 9000},
                                         ResizeCase{"TooLow", 12000, 3000, 12000, 4000},
                                         ResizeCase{"Larger", 15000, 10500, 15000, 10500}),
                         [](const testing::TestParamInfo<ResizeCase>& info) { return std::string(info.param.name); });

// F3 does what Find next does, whichever control has it; the control still gets the key.
class F3 : public Viewer, public testing::WithParamInterface<int> {};

TEST_P(F3, FindsTheNextMatchFromAnyControl) {
  WithViewer(L"xx ab ab ab", [](FrmIPconfig& v) {
    v.txtFind.SetText(L"ab");
    Click(v.cmdFind);
    ASSERT_EQ(Selection(v.txtIPconfig), (std::pair<DWORD, DWORD>{3, 5}));
    const nb::Control* const controls[] = {&v.txtFind, &v.txtIPconfig, &v.cmdRefresh};
    SendMessageW(controls[GetParam()]->hwnd, WM_KEYDOWN, VK_F3, 1);
    EXPECT_EQ(Selection(v.txtIPconfig), (std::pair<DWORD, DWORD>{6, 8}));
  });
  EXPECT_TRUE(ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Focus, F3, testing::Values(0, 1, 2), [](const testing::TestParamInfo<int>& info) {
  return std::string(info.param == 0 ? "SearchBox" : info.param == 1 ? "Report" : "RefreshButton");
});

TEST_F(Viewer, AMatchPastCharacter32767OfALongReportIsSelected) {
  const std::wstring report = std::wstring(200000, L'.') + L"needle";
  WithViewer(report, [&](FrmIPconfig& v) {
    EXPECT_EQ(static_cast<size_t>(GetWindowTextLengthW(v.txtIPconfig.hwnd)), report.size()) << "shown whole";
    v.txtFind.SetText(L" needle ");
    Click(v.cmdFind);
    EXPECT_EQ(Selection(v.txtIPconfig), (std::pair<DWORD, DWORD>{200000, 200006}));
  });
  EXPECT_TRUE(ui.messages.empty());
}

// The last match outlives the window: Find next in the next opening searches the new report
// from one character after it.
TEST_F(Viewer, FindNextAfterReopeningGoesOnFromTheLastMatch) {
  WithViewer(std::wstring(499, L'-') + L"Gateway", [](FrmIPconfig& v) {
    v.txtFind.SetText(L"Gateway");
    Click(v.cmdFind);
    EXPECT_EQ(Selection(v.txtIPconfig), (std::pair<DWORD, DWORD>{499, 506}));
  });
  // Matches at 1-based positions 500 and 501 of the new report: only the second lies past 500.
  WithViewer(std::wstring(499, L'-') + L"GGateway", [](FrmIPconfig& v) {
    EXPECT_EQ(v.txtFind.Text(), L"") << "the search box starts empty";
    v.txtFind.SetText(L"G");
    Click(v.cmdFindNext);
    EXPECT_EQ(Selection(v.txtIPconfig), (std::pair<DWORD, DWORD>{500, 501}));
  });
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Viewer, NothingFoundSaysSoAndKeepsTheLastMatch) {
  WithViewer(L"Host Name", [](FrmIPconfig& v) {
    v.txtFind.SetText(L"Host");
    Click(v.cmdFind);
    v.txtFind.SetText(L"  host ");
    Click(v.cmdFindNext);
    EXPECT_EQ(Selection(v.txtIPconfig), (std::pair<DWORD, DWORD>{0, 4}));
  });
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, L"\"host\" not found.");
  EXPECT_EQ(ui.messages[0].title, L"Netbeacon");
}

struct EndCase {
  const char* name;
  CaptureResult result;
  const wchar_t* shown;  // what the report box holds afterwards
  const wchar_t* box;    // the title of the message shown; nullptr: none
  const wchar_t* text;   // a part of its text
};

class CaptureEnds : public Viewer, public testing::WithParamInterface<EndCase> {};

// The notice of an unknown version first, then the report (and the focus on Close); or what went
// wrong: "Oops" for a report that never came, the error report for anything else.
TEST_P(CaptureEnds, ShowWhatTheCaptureCameTo) {
  const EndCase& c = GetParam();
  WithViewer(c.result, [&](FrmIPconfig& v) {
    EXPECT_EQ(v.txtIPconfig.Text(), c.shown);
    EXPECT_EQ(GetFocus() == v.cmdOK.hwnd, c.box == nullptr);
  });
  ASSERT_EQ(ui.messages.size(), c.box ? 1u : 0u);
  if (!c.box) return;
  EXPECT_EQ(ui.messages[0].title, c.box);
  EXPECT_NE(ui.messages[0].text.find(c.text), std::wstring::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Results, CaptureEnds,
    testing::Values(EndCase{"UnknownVersionReport", {true, L"report"}, L"report", nullptr, nullptr},
                    EndCase{"UnknownVersionMissing", {true, std::nullopt, nb::AppError(53, L"none")},
                            nb::kUnknownVersionNotice, L"Oops", nb::kOopsText},
                    // The report is read before its scratch files are deleted.
                    EndCase{"ReportThenError", {false, L"report", nb::AppError(75, L"Cannot delete")}, L"report",
                            L"Error", L"\r\nfrmIPconfig cmdRefresh_Click\r\n"}),
    [](const testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

// While a capture runs the window answers with the busy pointer, and Refresh starts no second one.
// Closing it asks whether to stop: No keeps the window and the capture, whose report then comes;
// Yes stops the capture and closes, and nothing of it comes later.
TEST_F(Viewer, ClosingDuringACaptureAsksWhetherToStopIt) {
  // Each capture waits until the test releases it or the window stops it.
  const nb::unique_handle release(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  std::atomic<int> started{0};
  std::atomic<bool> stopped{false};
  FrmIPconfig viewer([&](const nb::StopSignal& stop) {
    const int number = ++started;
    stopped = nb::WaitFor(release.get(), &stop, 20s) == nb::WaitEnd::kStopped;
    return CaptureResult{false, L"report " + std::to_wstring(number)};
  });
  ui.messageAnswers = {IDNO, IDYES};
  ui.onModal = [&](nb::ModalWindow&) {
    EXPECT_TRUE(BusyPointerShown(viewer));
    Click(viewer.cmdRefresh);
    SendMessageW(viewer.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(viewer.EndRequested());
    SetEvent(release.get());
    ASSERT_TRUE(nbtest::PumpUntil([&] { return viewer.txtIPconfig.Text() == L"report 1"; }));
    Click(viewer.cmdRefresh);
    SendMessageW(viewer.hwnd(), WM_COMMAND, IDCANCEL, 0);  // Esc
    EXPECT_TRUE(viewer.EndRequested());
    EXPECT_TRUE(nbtest::PumpUntil([&] { return stopped.load(); })) << "the capture was not stopped";
    nbtest::PumpUntil([] { return false; }, 300);
    EXPECT_EQ(viewer.txtIPconfig.Text(), L"") << "the stopped capture's report came";
  };
  nb::Modal().ShowModal(viewer, nullptr);
  EXPECT_EQ(started, 2);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

}  // namespace
