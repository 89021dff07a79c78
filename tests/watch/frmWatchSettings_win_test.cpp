// The watch settings window driven through messages with the modal UI scripted.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/text_win.h"
#include "settings/registry_win.h"
#include "support/scripted_ui_win.h"
#include "support/window_checks_win.h"
#include "watch/frmWatchSettings_win.h"
#include "watch/run_key_win.h"

namespace {

using nb::FrmWatchSettings;
using Texts = std::vector<std::optional<std::wstring>>;

// The values the window touches, under HKEY_CURRENT_USER, in the order of the texts: the interval,
// mail, command, watch and Run values.
constexpr wchar_t kProgram[] = L"Software\\Ambertop\\Netbeacon";
constexpr std::pair<const wchar_t*, const wchar_t*> kValues[] = {
    {kProgram, nb::kWatchMinutesValue}, {kProgram, nb::kWatchMailValue}, {kProgram, nb::kWatchCommandValue},
    {kProgram, nb::kWatchValue}, {nb::kRunKey, nb::kRunValue}};
enum { kCommand = 2, kRun = 4 };

Texts StoredValues() {
  Texts texts;
  for (const auto& [key, name] : kValues) {
    texts.push_back(nb::ReadString(L"HKEY_CURRENT_USER\\" + std::wstring(key), name));
  }
  return texts;
}

// Stores each text, or removes the value for nothing.
void Store(const Texts& texts) {
  for (size_t i = 0; i < texts.size(); ++i) {
    const auto& [key, name] = kValues[i];
    const std::optional<std::wstring>& text = texts[i];
    if (!text) {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
    } else {
      const auto size = static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t));
      RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, text->c_str(), size);
    }
  }
}

void Click(const nb::Control& control) { SendMessageW(control.hwnd, BM_CLICK, 0, 0); }

class WatchWindow : public testing::Test {
 protected:
  // Each test starts without the values and leaves them as they were.
  void SetUp() override { Store(Texts(std::size(kValues))); }
  void TearDown() override { Store(kept); }

  void Open(const std::function<void(FrmWatchSettings&)>& act) {
    ui.onModal = [&](nb::ModalWindow& window) { act(static_cast<FrmWatchSettings&>(window)); };
    nb::Modal().ShowModal(form, nullptr);
  }

  const Texts kept = StoredValues();
  nbtest::ScriptedModalUi ui;
  std::vector<HWND> mailSettingsOwners;
  FrmWatchSettings form{[&](HWND owner) { mailSettingsOwners.push_back(owner); }};
};

// (Which stored texts are bad, and what they read as, is watch_settings_test.cpp's.)
TEST_F(WatchWindow, ShowsTheStoredValuesAndTheDefaultsForMissingOnes) {
  const struct {
    Texts stored;  // interval, mail, command, watch, Run
    std::wstring minutes;
    bool mail, command;
  } cases[] = {
      {{{}, {}, {}, {}, {}}, L"15", false, false},
      {{L"60", L"1", L"notify.cmd %1 %2", {}, L"x"}, L"60", true, true},
  };
  for (const auto& c : cases) {
    Store(c.stored);
    Open([&](FrmWatchSettings& f) {
      EXPECT_EQ(f.txtMinutes.Text(), c.minutes);
      EXPECT_EQ(f.chkMail.Value(), c.mail ? BST_CHECKED : BST_UNCHECKED);
      EXPECT_EQ(f.chkCommand.Value(), c.command ? BST_CHECKED : BST_UNCHECKED);
      EXPECT_EQ(f.txtCommand.Text(), c.stored[kCommand].value_or(L""));
      EXPECT_EQ(f.txtCommand.Enabled(), c.command);
      EXPECT_EQ(f.chkStartWithWindows.Value(), c.stored[kRun] ? BST_CHECKED : BST_UNCHECKED);
    });
  }
}

TEST_F(WatchWindow, OkStoresTheSettingsAndTheRunValueAndUncheckingRemovesThem) {
  Store({{}, {}, {}, L"2", {}});  // Watch is the menu's: left as it is, even as a value that reads as off
  Open([&](FrmWatchSettings& f) {
    f.txtMinutes.SetText(L" 60 ");
    for (const nb::CheckBox* box : {&f.chkMail, &f.chkCommand, &f.chkStartWithWindows}) Click(*box);
    f.txtCommand.SetText(L" notify.cmd %1 %2 ");
    Click(f.cmdOK);
    EXPECT_TRUE(f.EndRequested());
  });
  const std::wstring run = L"\"" + nb::ExecutablePath() + L"\" Watch";
  EXPECT_EQ(StoredValues(), (Texts{L"60", L"1", L"notify.cmd %1 %2", L"2", run}));
  EXPECT_TRUE(form.StoredSettings() == (nb::WatchSettings{false, 60, true, L"notify.cmd %1 %2"}));

  // An unticked command is none, whatever its box still holds.
  Open([&](FrmWatchSettings& f) {
    for (const nb::CheckBox* box : {&f.chkMail, &f.chkCommand, &f.chkStartWithWindows}) Click(*box);
    Click(f.cmdOK);
  });
  EXPECT_EQ(StoredValues(), (Texts{L"60", L"0", L"", L"2", {}}));
}

TEST_F(WatchWindow, StoresNothingForABadIntervalCancelOrTheCloseBox) {
  for (const bool closeBox : {false, true}) {
    Open([&](FrmWatchSettings& f) {
      Click(f.chkMail);
      Click(f.chkStartWithWindows);
      f.txtMinutes.SetText(L"1441");  // one bad text: which texts are bad is watch_settings_test.cpp's
      Click(f.cmdOK);
      ASSERT_EQ(ui.messages.size(), 1u);
      EXPECT_NE(ui.messages[0].text.find(L"whole number of minutes from 1 to 1440"), std::wstring::npos);
      EXPECT_FALSE(f.EndRequested());
      EXPECT_EQ(GetFocus(), f.txtMinutes.hwnd);
      ui.messages.clear();
      SendMessageW(closeBox ? f.hwnd() : f.cmdCancel.hwnd, closeBox ? WM_CLOSE : BM_CLICK, 0, 0);
      EXPECT_TRUE(f.EndRequested());
    });
    EXPECT_FALSE(form.StoredSettings());
    EXPECT_EQ(StoredValues(), Texts(std::size(kValues)));
  }
}

TEST_F(WatchWindow, OpensTheMailSettingsWorksFromTheKeyboardAndIsSeenWellAtBothDpis) {
  Open([&](FrmWatchSettings& f) {
    Click(f.cmdMailSettings);
    EXPECT_EQ(mailSettingsOwners, std::vector<HWND>{f.hwnd()});
    EXPECT_EQ(SendMessageW(f.hwnd(), DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
    EXPECT_EQ(GetDlgCtrlID(f.cmdCancel.hwnd), IDCANCEL);
    // Tab goes round every control there is to set, in reading order (the command box once it is on).
    Click(f.chkCommand);
    const std::vector<HWND> order{f.txtMinutes.hwnd, f.chkMail.hwnd, f.cmdMailSettings.hwnd, f.chkCommand.hwnd,
                                  f.txtCommand.hwnd, f.chkStartWithWindows.hwnd, f.cmdOK.hwnd, f.cmdCancel.hwnd};
    for (size_t i = 0; i < order.size(); ++i) {
      EXPECT_EQ(GetNextDlgTabItem(f.hwnd(), order[i], FALSE), order[(i + 1) % order.size()]) << i;
    }
    nbtest::ExpectSeenWellAtBothDpis(f);
  });
}

}  // namespace
