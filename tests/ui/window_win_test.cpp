// What no handler traps never crosses the window procedure; what cannot even be reported there is
// skipped with a trace and nothing more for the user to see.
#include <gtest/gtest.h>

#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "base/app_error.h"
#include "support/debug_output_win.h"
#include "ui/window_win.h"

namespace {

constexpr UINT kFail = WM_APP + 1;

// A window whose handler fails and whose report of it fails too.
class Failing final : public nb::Window {
 public:
  Failing() { CreateFrame({L"Netbeacon.test.Failing", L"Failing"}); }
  ~Failing() override { Unload(); }

 protected:
  bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
    if (msg == kFail) throw nb::AppError(5, L"Invalid procedure call");
    return false;
  }
  void OnUnhandledError(const wchar_t*) override { throw std::bad_alloc(); }
};

TEST(WindowProcedure, AnErrorThatCannotBeReportedIsTraced) {
  Failing window;
  nbtest::DebugOutputCapture capture;
  EXPECT_EQ(SendMessageW(window.hwnd(), kFail, 0, 0), 0);
  EXPECT_EQ(capture.Lines(),
            std::vector<std::wstring>{L"Netbeacon: skipped error 7 (Out of memory) in Netbeacon window procedure\n"});
}

}  // namespace
