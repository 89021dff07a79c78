// The local address table driven through messages: its address table and the first service are
// given by the test, modal UI is scripted.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/app_error.h"
#include "base/worker_win.h"
#include "detect/frmWorking_win.h"
#include "localaddresses/address_list.h"
#include "localaddresses/frmALLIPs_win.h"
#include "localaddresses/local_ips_win.h"
#include "support/clipboard_win.h"
#include "support/scripted_ui_win.h"
#include "support/window_checks_win.h"
#include "ui/error_report_text.h"

namespace {

using namespace std::chrono_literals;
using nb::FrmALLIPs;

// A plain window standing for the main window.
class StandIn : public nb::Window {
 public:
  void Open() {
    CreateFrame({L"Netbeacon.AllIPsTestMain", L"stand-in", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, nullptr,
                 nullptr, 2295, 1980});
  }
};

// Clicks an entry of the list as the mouse does.
void ClickEntry(const nb::ListBox& list, int index) {
  RECT item{};
  SendMessageW(list.hwnd, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageW(list.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list.hwnd, WM_LBUTTONUP, 0, at);
}

std::vector<std::wstring> Entries(const nb::ListBox& list) {
  std::vector<std::wstring> entries;
  for (int i = 0; i < list.Count(); ++i) entries.push_back(list.Item(i));
  return entries;
}

class AllIPs : public testing::Test {
 protected:
  void SetUp() override { main.Open(); }

  // Opens the table with the given address table and public-address result (nothing until a run
  // has set it) and acts on it once a fetch of the first service has ended.
  void WithTable(std::function<std::vector<std::wstring>()> table, std::optional<std::wstring> publicResult,
                 const std::function<void(FrmALLIPs&)>& act) {
    FrmALLIPs window({main.hwnd(), [=] { return publicResult; }, &working}, std::move(table),
                     [&](const nb::StopSignal&) {
                       fetchedWhileProgressShown.push_back(working.Visible());
                       return nb::ServiceAnswer{fetchAnswer, fetchError};
                     });
    ui.onModal = [&](nb::ModalWindow&) {
      ASSERT_TRUE(nbtest::PumpUntil([&] { return !working.Visible(); })) << "the fetch did not end";
      act(window);
    };
    nb::Modal().ShowModal(window, nullptr);
  }

  static std::function<std::vector<std::wstring>()> Table(std::vector<std::wstring> rows) {
    return [rows] { return rows; };
  }

  nbtest::ScriptedModalUi ui;
  StandIn main;
  nb::FrmWorking working;
  std::wstring fetchAnswer = L"203.0.113.7";
  std::optional<nb::AppError> fetchError;
  std::vector<bool> fetchedWhileProgressShown;
};

TEST_F(AllIPs, WhatTheUserSeesFitsAtBothDpis) {
  WithTable(Table({L"127.0.0.1", L"192.0.2.2"}), L"203.0.113.7",
            [](FrmALLIPs& w) { nbtest::ExpectSeenWellAtBothDpis(w); });
}

TEST_F(AllIPs, CopiesTheSelectedEntriesInListOrderEachWithCrLf) {
  nbtest::SetClipboardUnicode(L"before");
  WithTable(Table({L"127.0.0.1", L"10.0.0.5", L"192.0.2.2", L"192.0.2.3"}), L"203.0.113.7", [](FrmALLIPs& w) {
    for (const int entry : {4, 0, 2}) ClickEntry(w.List1, entry);
    SendMessageW(w.cmdCopyToClipBoard.hwnd, BM_CLICK, 0, 0);
  });
  EXPECT_EQ(nbtest::ClipboardUnicode(), L"127.0.0.1\r\n192.0.2.2\r\n203.0.113.7\r\n");
  EXPECT_EQ(nbtest::ClipboardAnsi(), "127.0.0.1\r\n192.0.2.2\r\n203.0.113.7\r\n");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AllIPs, TheCopyButtonIsEnabledOnlyWhileAnEntryIsSelected) {
  WithTable(Table({L"127.0.0.1", L"192.0.2.2"}), L"203.0.113.7", [](FrmALLIPs& w) {
    EXPECT_FALSE(w.cmdCopyToClipBoard.Enabled());
    ClickEntry(w.List1, 1);
    EXPECT_TRUE(w.cmdCopyToClipBoard.Enabled());
    ClickEntry(w.List1, 2);
    ClickEntry(w.List1, 1);
    EXPECT_TRUE(w.cmdCopyToClipBoard.Enabled());
    ClickEntry(w.List1, 2);
    EXPECT_FALSE(w.cmdCopyToClipBoard.Enabled()) << "the last selected entry was deselected";
  });
}

// A table of 30 rows, more than the old fixed buffer of 512 bytes held, read through the system
// call's seam: the call first asks for a larger buffer.
TEST_F(AllIPs, ThirtyAddressesAreAllListed) {
  const auto call = [](void* table, unsigned long* size, bool) -> unsigned long {
    constexpr unsigned long kRows = 30, kNeeded = 4 + 24 * kRows;
    if (*size < kNeeded) {
      *size = kNeeded;
      return ERROR_INSUFFICIENT_BUFFER;
    }
    auto* bytes = static_cast<unsigned char*>(table);
    std::memset(bytes, 0, *size);
    bytes[0] = kRows;
    for (unsigned char row = 0; row < kRows; ++row) {
      const unsigned char address[4] = {10, 1, 0, static_cast<unsigned char>(row + 1)};
      std::memcpy(bytes + 4 + 24 * row, address, 4);
    }
    return NO_ERROR;
  };
  WithTable([&] { return nb::GetLocalIPs(call); }, L"203.0.113.7", [](FrmALLIPs& w) {
    const std::vector<std::wstring> entries = Entries(w.List1);
    ASSERT_EQ(entries.size(), 31u);
    EXPECT_EQ(entries[0], L"10.1.0.1");
    EXPECT_EQ(entries[29], L"10.1.0.30");
    EXPECT_EQ(entries[30], L"203.0.113.7");
    EXPECT_EQ(w.Label1.Text(), nb::AddressCountLine(31));
    EXPECT_TRUE(GetWindowLongPtrW(w.List1.hwnd, GWL_STYLE) & WS_VSCROLL);
  });
  EXPECT_TRUE(ui.messages.empty()) << "no error 122 report";
}

struct PublicCase {
  const char* name;
  std::optional<std::wstring> label;  // the main window's public-address result
  const wchar_t* answer;  // the first service's answer
  std::vector<std::wstring> entries;
  bool fetched;
  std::optional<nb::AppError> error = std::nullopt;  // what made the service fail
};

class PublicEntry : public AllIPs, public testing::WithParamInterface<PublicCase> {};

// Until a run has set the public address, the first service is asked while the progress window is
// shown; a failure text is listed and counted like an address, and the error that made the
// service fail is reported under its label.
TEST_P(PublicEntry, ComesFromTheMainWindowOrTheFirstService) {
  const PublicCase& c = GetParam();
  fetchAnswer = c.answer;
  fetchError = c.error;
  WithTable(Table({L"127.0.0.1"}), c.label, [&](FrmALLIPs& w) {
    EXPECT_EQ(Entries(w.List1), c.entries);
    EXPECT_EQ(w.Label1.Text(), nb::AddressCountLine(c.entries.size()));
  });
  EXPECT_EQ(fetchedWhileProgressShown, c.fetched ? std::vector<bool>{true} : std::vector<bool>{});
  EXPECT_FALSE(working.Visible()) << "the progress window is hidden again";
  ASSERT_EQ(ui.messages.size(), c.error ? 1u : 0u);
  if (c.error) {
    EXPECT_NE(ui.messages[0].text.find(L"\r\nfrmMain GetPublicIP\r\n"), std::wstring::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PublicEntry,
    testing::Values(PublicCase{"NoRunYet", std::nullopt, L"203.0.113.7", {L"127.0.0.1", L"203.0.113.7"}, true},
                    PublicCase{"NoRunYetServiceFails", std::nullopt, L"Access error",
                               {L"127.0.0.1", L"Access error"}, true},
                    PublicCase{"NoRunYetServiceFailsWithAnError", std::nullopt, L"Access error",
                               {L"127.0.0.1", L"Access error"}, true, nb::AppError(75, L"Cannot delete")},
                    PublicCase{"RunFailed", L"Access error", L"203.0.113.7", {L"127.0.0.1", L"Access error"}, false},
                    PublicCase{"RunFound", L"198.51.100.4", L"203.0.113.7", {L"127.0.0.1", L"198.51.100.4"}, false}),
    [](const testing::TestParamInfo<PublicCase>& info) { return std::string(info.param.name); });

struct FailureCase {
  const char* name;
  long number;
  const wchar_t* hint;
};

class TableFailure : public AllIPs, public testing::WithParamInterface<FailureCase> {};

TEST_P(TableFailure, IsReportedAndTheWindowOpensEmpty) {
  const FailureCase& c = GetParam();
  WithTable([&]() -> std::vector<std::wstring> { throw nb::AppError(c.number, L"no table"); }, L"203.0.113.7",
            [](FrmALLIPs& w) {
              EXPECT_EQ(w.List1.Count(), 0);
              EXPECT_EQ(w.Label1.Text().find_first_of(L"0123456789"), std::wstring::npos) << "no count line";
              EXPECT_FALSE(w.cmdCopyToClipBoard.Enabled());
            });
  ASSERT_EQ(ui.messages.size(), 1u);
  const std::wstring& text = ui.messages[0].text;
  EXPECT_NE(text.find(L"\r\nfrmALLIPs Form_Load\r\n"), std::wstring::npos) << testing::PrintToString(text);
  EXPECT_EQ(text.substr(text.size() - std::wcslen(c.hint)), c.hint);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, TableFailure,
    testing::Values(FailureCase{"CallFailed", nb::kProgramErrorBase, nb::kReportToMakerHint},
                    FailureCase{"LibraryMissing", nb::errnum::kLibraryLoad, nb::kWin95LibraryHint}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// While the first service is asked the table shows the local addresses and answers. Closing it
// asks whether to stop: No keeps the window and the fetch, whose address is then added and
// counted; Yes stops the fetch, hides the progress window and closes, and the address never comes.
TEST_F(AllIPs, ClosingDuringTheFetchAsksWhetherToStopIt) {
  for (const int answer : {IDNO, IDYES}) {
    const nb::unique_handle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> stopped{false};
    FrmALLIPs window({main.hwnd(), [] { return std::optional<std::wstring>(); }, &working}, Table({L"127.0.0.1"}),
                     [&](const nb::StopSignal& stop) {
                       stopped = nb::WaitFor(release.get(), &stop, 20s) == nb::WaitEnd::kStopped;
                       return nb::ServiceAnswer{L"203.0.113.7"};
                     });
    ui.messageAnswers = {answer};
    ui.onModal = [&](nb::ModalWindow&) {
      SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
      EXPECT_EQ(window.EndRequested(), answer == IDYES);
      EXPECT_EQ(working.Visible(), answer == IDNO);
      if (answer == IDNO) SetEvent(release.get());
      EXPECT_TRUE(nbtest::PumpUntil([&] { return answer == IDNO ? window.List1.Count() == 2 : stopped.load(); }));
      nbtest::PumpUntil([] { return false; }, 300);
      if (answer == IDNO) {
        EXPECT_EQ(window.Label1.Text(), nb::AddressCountLine(2));
      } else {
        EXPECT_EQ(window.List1.Count(), 1) << "the stopped fetch's address came";
      }
      EXPECT_FALSE(working.Visible());
    };
    nb::Modal().ShowModal(window, nullptr);
  }
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

}  // namespace
