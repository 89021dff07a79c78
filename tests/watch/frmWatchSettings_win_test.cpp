// The watch settings window driven through messages with the modal UI scripted: what it shows for
// the stored values, what OK, Cancel and the close box store, the refused interval, the mail
// settings button, the keyboard and the layout.
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

constexpr wchar_t kProgramSubKey[] = L"Software\\Ambertop\\Netbeacon";

// A value of the current user's registry, removed for the test and put back as it was afterwards.
class KeptValue {
 public:
  KeptValue(const wchar_t* key, const wchar_t* name) : key_(key), name_(name) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key_, name_, RRF_RT_ANY, &type_, nullptr, &size) == ERROR_SUCCESS) {
      data_.emplace(size);
      RegGetValueW(HKEY_CURRENT_USER, key_, name_, RRF_RT_ANY, &type_, data_->data(), &size);
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key_, name_);
  }
  ~KeptValue() {
    if (!data_) {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, key_, name_);
      return;
    }
    RegSetKeyValueW(HKEY_CURRENT_USER, key_, name_, type_, data_->data(), static_cast<DWORD>(data_->size()));
  }
  KeptValue(const KeptValue&) = delete;
  KeptValue& operator=(const KeptValue&) = delete;

 private:
  const wchar_t* key_;
  const wchar_t* name_;
  DWORD type_ = 0;
  std::optional<std::vector<BYTE>> data_;
};

std::optional<std::wstring> Stored(const wchar_t* name) { return nb::ReadString(nb::kProgramKey, name); }

void Store(const wchar_t* name, const wchar_t* text) {
  nb::CreateKey(nb::kProgramKey);
  nb::WriteString(nb::kProgramKey, name, text);
}

std::optional<std::wstring> RunValue() {
  return nb::ReadString(L"HKEY_CURRENT_USER\\" + std::wstring(nb::kRunKey), nb::kRunValue);
}

void Click(const FrmWatchSettings& f, const nb::Control& button) {
  SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(button.id, BN_CLICKED), reinterpret_cast<LPARAM>(button.hwnd));
}

// Ticks a check box as a click does.
void Tick(const nb::CheckBox& box, bool on) {
  if ((box.Value() == BST_CHECKED) != on) SendMessageW(box.hwnd, BM_CLICK, 0, 0);
  EXPECT_EQ(box.Value(), on ? BST_CHECKED : BST_UNCHECKED) << nb::ToAnsi(box.Text());
}

class WatchWindow : public testing::Test {
 protected:
  // Opens the window and runs `act` on it while it is shown.
  void Open(const std::function<void(FrmWatchSettings&)>& act) {
    ui.onModal = [&](nb::ModalWindow& window) { act(static_cast<FrmWatchSettings&>(window)); };
    nb::Modal().ShowModal(form, nullptr);
  }

  const KeptValue watch{kProgramSubKey, nb::kWatchValue};
  const KeptValue minutes{kProgramSubKey, nb::kWatchMinutesValue};
  const KeptValue mail{kProgramSubKey, nb::kWatchMailValue};
  const KeptValue command{kProgramSubKey, nb::kWatchCommandValue};
  const KeptValue run{nb::kRunKey, nb::kRunValue};
  nbtest::ScriptedModalUi ui;
  std::vector<HWND> mailSettingsOwners;
  FrmWatchSettings form{[&](HWND owner) { mailSettingsOwners.push_back(owner); }};
};

TEST_F(WatchWindow, ShowsTheStoredValuesAndTheDefaultsForMissingOrBadOnes) {
  const struct {
    const wchar_t* minutes;  // stored values, or nullptr for none
    const wchar_t* mail;
    const wchar_t* command;
    bool runValue;
    const wchar_t* shownMinutes;
    bool mailOn;
    bool commandOn;
    bool startOn;
  } cases[] = {
      {nullptr, nullptr, nullptr, false, L"15", false, false, false},
      {L"60", L"1", L"notify.cmd %1 %2", true, L"60", true, true, true},
      {L"1440", L"0", L"", false, L"1440", false, false, false},
      {L"0", L"yes", nullptr, false, L"15", false, false, false},
      {L"ten", L"", nullptr, false, L"15", false, false, false},
  };
  for (const auto& c : cases) {
    const std::pair<const wchar_t*, const wchar_t*> stored[] = {
        {nb::kWatchMinutesValue, c.minutes}, {nb::kWatchMailValue, c.mail}, {nb::kWatchCommandValue, c.command}};
    for (const auto& [name, text] : stored) {
      if (text) {
        Store(name, text);
      } else {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramSubKey, name);
      }
    }
    nb::SetStartWithWindows(c.runValue);
    Open([&](FrmWatchSettings& f) {
      EXPECT_EQ(f.txtMinutes.Text(), c.shownMinutes);
      EXPECT_EQ(f.chkMail.Value(), c.mailOn ? BST_CHECKED : BST_UNCHECKED);
      EXPECT_EQ(f.chkCommand.Value(), c.commandOn ? BST_CHECKED : BST_UNCHECKED);
      EXPECT_EQ(f.txtCommand.Text(), c.command ? c.command : L"");
      EXPECT_EQ(f.txtCommand.Enabled(), c.commandOn);
      EXPECT_EQ(f.chkStartWithWindows.Value(), c.startOn ? BST_CHECKED : BST_UNCHECKED);
    });
  }
}

TEST_F(WatchWindow, OkStoresTheSettingsAndTheRunValueAndUncheckingRemovesThem) {
  // Watch is the menu's: left as it is, even as a value that reads as off.
  Store(nb::kWatchValue, L"2");
  Open([&](FrmWatchSettings& f) {
    f.txtMinutes.SetText(L" 60 ");
    Tick(f.chkMail, true);
    Tick(f.chkCommand, true);
    EXPECT_TRUE(f.txtCommand.Enabled());
    f.txtCommand.SetText(L" notify.cmd %1 %2 ");
    Tick(f.chkStartWithWindows, true);
    Click(f, f.cmdOK);
    EXPECT_TRUE(f.EndRequested());
  });
  EXPECT_EQ(Stored(nb::kWatchMinutesValue), L"60");
  EXPECT_EQ(Stored(nb::kWatchMailValue), L"1");
  EXPECT_EQ(Stored(nb::kWatchCommandValue), L"notify.cmd %1 %2");
  EXPECT_EQ(Stored(nb::kWatchValue), L"2");
  EXPECT_EQ(RunValue(), L"\"" + nb::ExecutablePath() + L"\" Watch");
  ASSERT_TRUE(form.StoredSettings());
  EXPECT_EQ(*form.StoredSettings(), (nb::WatchSettings{false, 60, true, L"notify.cmd %1 %2"}));

  // An unchecked command is none, whatever its box still holds.
  Open([&](FrmWatchSettings& f) {
    Tick(f.chkMail, false);
    Tick(f.chkCommand, false);
    EXPECT_FALSE(f.txtCommand.Enabled());
    Tick(f.chkStartWithWindows, false);
    Click(f, f.cmdOK);
  });
  EXPECT_EQ(Stored(nb::kWatchMailValue), L"0");
  EXPECT_EQ(Stored(nb::kWatchCommandValue), L"");
  EXPECT_EQ(RunValue(), std::nullopt);
  EXPECT_EQ(Stored(nb::kWatchValue), L"2");
}

TEST_F(WatchWindow, ABadIntervalIsRefusedWithTheFocusBackOnItsBox) {
  Open([&](FrmWatchSettings& f) {
    Tick(f.chkStartWithWindows, true);
    for (const wchar_t* typed : {L"0", L"1441", L"", L"ten", L"7.5", L"-5"}) {
      f.txtMinutes.SetText(typed);
      f.cmdOK.Focus();
      Click(f, f.cmdOK);
      ASSERT_EQ(ui.messages.size(), 1u) << nb::ToAnsi(typed);
      EXPECT_NE(ui.messages[0].text.find(L"whole number of minutes from 1 to 1440"), std::wstring::npos);
      EXPECT_EQ(ui.messages[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
      EXPECT_FALSE(f.EndRequested());
      EXPECT_EQ(GetFocus(), f.txtMinutes.hwnd);
      ui.messages.clear();
    }
  });
  EXPECT_FALSE(form.StoredSettings());
  EXPECT_EQ(Stored(nb::kWatchMinutesValue), std::nullopt);
  EXPECT_EQ(RunValue(), std::nullopt);
}

TEST_F(WatchWindow, CancelAndTheCloseBoxStoreNothing) {
  for (const bool closeBox : {false, true}) {
    Open([&](FrmWatchSettings& f) {
      f.txtMinutes.SetText(L"60");
      Tick(f.chkMail, true);
      Tick(f.chkStartWithWindows, true);
      if (closeBox) {
        SendMessageW(f.hwnd(), WM_CLOSE, 0, 0);
      } else {
        Click(f, f.cmdCancel);
      }
      EXPECT_TRUE(f.EndRequested());
    });
    EXPECT_FALSE(form.StoredSettings());
    EXPECT_EQ(Stored(nb::kWatchMinutesValue), std::nullopt);
    EXPECT_EQ(Stored(nb::kWatchMailValue), std::nullopt);
    EXPECT_EQ(RunValue(), std::nullopt);
  }
}

TEST_F(WatchWindow, MailSettingsOpensTheMailWindowOverIt) {
  HWND shown = nullptr;
  Open([&](FrmWatchSettings& f) {
    shown = f.hwnd();
    Click(f, f.cmdMailSettings);
    EXPECT_FALSE(f.EndRequested());
  });
  EXPECT_EQ(mailSettingsOwners, std::vector<HWND>{shown});
}

TEST_F(WatchWindow, WorksFromTheKeyboardAndIsSeenWellAtBothDpis) {
  Open([&](FrmWatchSettings& f) {
    EXPECT_EQ(SendMessageW(f.hwnd(), DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
    EXPECT_EQ(GetDlgCtrlID(f.cmdCancel.hwnd), IDCANCEL);
    // Tab goes round every control there is to set, in reading order (the command box once it is on).
    Tick(f.chkCommand, true);
    const std::vector<HWND> order{f.txtMinutes.hwnd, f.chkMail.hwnd, f.cmdMailSettings.hwnd, f.chkCommand.hwnd,
                                  f.txtCommand.hwnd, f.chkStartWithWindows.hwnd, f.cmdOK.hwnd, f.cmdCancel.hwnd};
    for (size_t i = 0; i < order.size(); ++i) {
      EXPECT_EQ(GetNextDlgTabItem(f.hwnd(), order[i], FALSE), order[(i + 1) % order.size()]) << i;
    }
    nbtest::ExpectSeenWellAtBothDpis(f);
  });
  EXPECT_EQ(ui.modalCaptions, std::vector<std::wstring>{L"Watch settings"});
}

}  // namespace
