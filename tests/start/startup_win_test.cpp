#include <gtest/gtest.h>

#include "start/startup_win.h"
#include "support/scripted_ui_win.h"
#include "base/app_error.h"
#include "ui/window_win.h"

namespace {

// A bare window standing for the main window in start-up tests.
class StandIn : public nb::Window {
 public:
  void Open() { CreateFrame({L"Netbeacon.StartupTestWindow", L"stand-in"}); }
};

TEST(Startup, ASecondCopyOnlyShowsTheNoticeAndEnds) {
  nbtest::ScriptedModalUi ui;
  bool created = false;
  const bool running = nb::startup::Main({[] { return true; }, [&] { created = true; }});
  EXPECT_FALSE(running);
  EXPECT_FALSE(created);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, L"Netbeacon is already running...");
  EXPECT_EQ(ui.messages[0].title, L"Info");
  EXPECT_EQ(ui.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

TEST(Startup, TheFirstCopyCreatesTheMainWindowWithoutAMessage) {
  nbtest::ScriptedModalUi ui;
  StandIn window;
  const bool running = nb::startup::Main({[] { return false; }, [&] { window.Open(); }});
  EXPECT_TRUE(running);
  EXPECT_TRUE(window.IsOpen());
  EXPECT_TRUE(ui.messages.empty());
}

struct FailureCase {
  long number;
  const wchar_t* hintStart;
};

class StartupFailures : public testing::TestWithParam<FailureCase> {};

TEST_P(StartupFailures, GiveOneReportWithTheHintForTheNumber) {
  nbtest::ScriptedModalUi ui;
  const FailureCase& c = GetParam();
  const bool running = nb::startup::Main(
      {[] { return false; }, [&] { throw nb::AppError(c.number, L"Component failed"); }});
  EXPECT_FALSE(running);  // no window was created, so the program ends
  ASSERT_EQ(ui.messages.size(), 1u);
  const nb::MessageBoxArgs& report = ui.messages[0];
  EXPECT_EQ(report.title, nb::kErrorWord);
  EXPECT_EQ(report.style, static_cast<UINT>(MB_OK));
  const std::wstring expectedLine4 = std::wstring(nb::kErrorWord) + L" " + std::to_wstring(c.number) +
                                     L" - Component failed\r\nMod Startup - Main procedure\r\n\r\n";
  EXPECT_NE(report.text.find(expectedLine4), std::wstring::npos) << testing::PrintToString(report.text);
  const auto lastLine = report.text.substr(report.text.rfind(L"\r\n") + 2);
  EXPECT_EQ(lastLine.rfind(c.hintStart, 0), 0u) << testing::PrintToString(lastLine);
}

INSTANTIATE_TEST_SUITE_P(Numbers, StartupFailures,
                         testing::Values(FailureCase{339, L"Try to run this application AS ADMINISTRATOR."},
                                         FailureCase{50003, L"Please re-install the program"},
                                         FailureCase{5, L"Please report this error"}));

// A main window whose frame exists but one of whose controls cannot be made (its class is missing).
class HalfMade : public nb::Window {
 public:
  void Open() {
    CreateFrame({L"Netbeacon.StartupTestWindow", L"half made"});
    CreateControls({{&control, L"Netbeacon.NoSuchControlClass", L"", WS_VISIBLE, 101, {0, 0, 600, 300}}});
  }
  nb::Control control;
};

TEST(Startup, AControlThatCannotBeMadeIsReportedAndTheHalfMadeWindowGoes) {
  nbtest::ScriptedModalUi ui;
  HalfMade window;
  const bool running = nb::startup::Main({[] { return false; }, [&] { window.Open(); }});
  EXPECT_FALSE(running);
  EXPECT_FALSE(window.IsOpen());
  EXPECT_TRUE(nb::Window::OpenWindows().empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find(L" 339 - Control Netbeacon.NoSuchControlClass cannot be created"),
            std::wstring::npos)
      << testing::PrintToString(ui.messages[0].text);
}

TEST(Startup, CommonControlsAreFoundAtRunTime) {
  EXPECT_TRUE(nb::startup::InitCommonControlsAtRunTime());
  // A library without the entry point, or no library at all, is told without a failure.
  EXPECT_FALSE(nb::startup::InitCommonControlsAtRunTime(L"version.dll"));
  EXPECT_FALSE(nb::startup::InitCommonControlsAtRunTime(L"netbeacon-no-such-comctl.dll"));
}

}  // namespace
