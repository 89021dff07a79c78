// The mail window driven through messages with the modal UI scripted: its openings, attachments,
// closing and the stored password, the send handler against a recording stand-in of the mail
// component, and one send through the real component to a server on loopback.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/app_error.h"
#include "base/text_win.h"
#include "mail/ansi_codes_win.h"
#include "mail/frmSendmail_win.h"
#include "mail/scramble.h"
#include "mail/smtp/smtp_mailer_win.h"
#include "mail/test_servers_win.h"
#include "settings/registry_win.h"
#include "support/scripted_ui_win.h"
#include "support/window_checks_win.h"

namespace {

using nb::FrmSendmail;

constexpr wchar_t kLan[] = L"192.168.1.10";

void ClearProgramKey() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Ambertop\\Netbeacon"); }

void Store(const wchar_t* name, const std::wstring& value) {
  nb::CreateKey(nb::kProgramKey);
  nb::WriteString(nb::kProgramKey, name, value);
}

// The stored password as the registry layer reads it: one character per byte.
std::optional<std::wstring> StoredPassword() { return nb::ReadBinary(nb::kProgramKey, L"MailSMTPauthPW"); }

void Click(const FrmSendmail& f, const nb::Control& button) {
  SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(button.id, BN_CLICKED), reinterpret_cast<LPARAM>(button.hwnd));
}

void SelectCharset(const FrmSendmail& f, const wchar_t* shown) {
  f.lstCharset.Select(static_cast<int>(SendMessageW(f.lstCharset.hwnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                    reinterpret_cast<LPARAM>(shown))));
}

std::wstring SelectedCharset(const FrmSendmail& f) {
  const int index = f.lstCharset.Selected();
  if (index < 0) return L"<none>";
  std::wstring text(static_cast<size_t>(SendMessageW(f.lstCharset.hwnd, CB_GETLBTEXTLEN, index, 0)), L'\0');
  SendMessageW(f.lstCharset.hwnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return text;
}

// The background a control asks its window for, as the control paints it.
COLORREF Background(const FrmSendmail& f, const nb::Control& control) {
  HDC dc = GetDC(control.hwnd);
  SetBkColor(dc, RGB(1, 2, 3));
  const bool editable = control.Enabled() && !(GetWindowLongPtrW(control.hwnd, GWL_STYLE) & ES_READONLY);
  const UINT msg = editable ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
  SendMessageW(f.hwnd(), msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control.hwnd));
  const COLORREF colour = GetBkColor(dc);
  ReleaseDC(control.hwnd, dc);
  return colour;
}

class MailWindow : public testing::Test {
 protected:
  void SetUp() override { ClearProgramKey(); }
  void TearDown() override { ClearProgramKey(); }

  // Opens the window for the LAN address as the main window's command does, runs `act` on it while
  // it is shown, and closes it the way `act` left it (unloaded at the end when it did not close).
  // (Which address the main window gives it is frmMain_win_test.cpp's.)
  void Open(const std::function<void(FrmSendmail&)>& act) {
    FrmSendmail window(kLan);
    ui.onModal = [&](nb::ModalWindow& w) { act(static_cast<FrmSendmail&>(w)); };
    nb::Modal().ShowModal(window, nullptr);
  }

  nbtest::ScriptedModalUi ui;
};

// ----- Opening -----

struct OpeningCase {
  const char* name;
  std::map<std::wstring, std::wstring> stored;
  std::optional<std::wstring> storedPassword;  // scrambled before it is stored
  int auth;
  const wchar_t* user;
  const wchar_t* password;
};

void PrintTo(const OpeningCase& c, std::ostream* os) { *os << c.name; }

class Opening : public MailWindow, public testing::WithParamInterface<OpeningCase> {};

TEST_P(Opening, FillsTheFieldsFromTheStoredSettings) {
  const OpeningCase& c = GetParam();
  for (const auto& [name, value] : c.stored) Store(name.c_str(), value);
  if (c.storedPassword) {
    std::wstring scrambled = *c.storedPassword;
    nb::Ncrypt(scrambled, nb::AnsiCharacterCodes());
    nb::WriteBinary(nb::kProgramKey, L"MailSMTPauthPW", scrambled);
  }
  const auto stored = [&](const wchar_t* name, const wchar_t* missing) {
    const auto it = c.stored.find(name);
    return it == c.stored.end() ? std::wstring(missing) : it->second;
  };
  Open([&](FrmSendmail& f) {
    EXPECT_EQ(f.txtFrom.Text(), stored(L"MailFrom", L""));
    EXPECT_EQ(f.txtTo.Text(), stored(L"MailTo", L""));
    EXPECT_EQ(f.txtCc.Text(), stored(L"MailCC", L""));
    EXPECT_EQ(f.txtSubject.Text(), stored(L"MailSubject", L"New IP"));
    EXPECT_EQ(f.txtServer.Text(), stored(L"MailSMTP", L""));
    EXPECT_EQ(f.chkAuth.Value(), c.auth);
    const bool on = c.auth == BST_CHECKED;
    EXPECT_EQ(f.txtUser.Enabled(), on);
    EXPECT_EQ(f.txtPassword.Enabled(), on);
    const COLORREF background = GetSysColor(on ? COLOR_WINDOW : COLOR_INACTIVEBORDER);
    EXPECT_EQ(Background(f, f.txtUser), background);
    EXPECT_EQ(Background(f, f.txtPassword), background);
    EXPECT_EQ(f.txtUser.Text(), c.user);
    EXPECT_EQ(f.txtPassword.Text(), c.password);
    EXPECT_EQ(f.lstCharset.Count(), 28);
    EXPECT_EQ(SelectedCharset(f), L"Western European(ISO)");
    EXPECT_EQ(f.txtAttachments.Text(), L"");
    SendMessageW(f.txtAttachments.hwnd, WM_CHAR, L'x', 1);
    EXPECT_EQ(f.txtAttachments.Text(), L"") << "the user cannot type in it";
    EXPECT_EQ(Background(f, f.txtAttachments), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_TRUE(f.attachmentPaths.empty());
    EXPECT_EQ(f.lblStatus.Text(), L"");
    EXPECT_EQ(f.txtBody.Text(), L"Here's my new IP:\r\n" + std::wstring(kLan) + L"\r\n");
    EXPECT_EQ(SendMessageW(f.txtPassword.hwnd, EM_GETPASSWORDCHAR, 0, 0), L'*');
  });
  EXPECT_TRUE(ui.messages.empty());
}

const std::map<std::wstring, std::wstring> kAllStored = {
    {L"MailFrom", L"Ann <ann@example.com> "}, {L"MailTo", L"bo@example.com, cy@example.com"},
    {L"MailCC", L"di@example.com"},          {L"MailSubject", L"My address"},
    {L"MailSMTP", L"smtp.example.com:587"},  {L"MailSMTPauthUser", L"ann"}};

std::map<std::wstring, std::wstring> AllStoredWithAuth(const wchar_t* auth) {
  auto stored = kAllStored;
  stored[L"MailSMTPauth"] = auth;
  return stored;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Opening,
    testing::Values(
        OpeningCase{"NothingStored", {}, std::nullopt, 0, L"", L""},
        OpeningCase{"AuthOn", AllStoredWithAuth(L"1"), L"Secr3t pass", 1, L"ann", L"Secr3t pass"},
        // Credentials are loaded only with authentication on.
        OpeningCase{"AuthOff", AllStoredWithAuth(L"0"), L"Secr3t pass", 0, L"", L""},
        OpeningCase{"AuthMissing", kAllStored, L"Secr3t pass", 0, L"", L""},
        OpeningCase{"AuthNotANumber", AllStoredWithAuth(L"yes"), L"Secr3t pass", 0, L"", L""},
        OpeningCase{"AuthOutOfRange", AllStoredWithAuth(L"3"), L"Secr3t pass", 0, L"", L""},
        OpeningCase{"AuthGreyed", AllStoredWithAuth(L"2"), L"Secr3t pass", 2, L"", L""},
        OpeningCase{"AuthOnNoPassword", AllStoredWithAuth(L"1"), std::nullopt, 1, L"ann", L""}),
    [](const testing::TestParamInfo<OpeningCase>& info) { return std::string(info.param.name); });

TEST_F(MailWindow, AStoredByteBelowTheShiftLeavesThePasswordEmpty) {
  Store(L"MailSMTPauth", L"1");
  Store(L"MailSMTPauthUser", L"ann");
  nb::WriteBinary(nb::kProgramKey, L"MailSMTPauthPW", std::wstring(1, L'\0'));
  Open([&](FrmSendmail& f) {
    EXPECT_EQ(f.txtUser.Text(), L"ann");
    EXPECT_EQ(f.txtPassword.Text(), L"");
  });
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MailWindow, WhatTheUserSeesFitsAtBothDpisAndTheSizeStaysFixed) {
  Store(L"MailSMTPauth", L"1");
  Open([&](FrmSendmail& f) {
    nbtest::ExpectSeenWellAtBothDpis(f);
    for (const int dpi : {96, 144}) {
      nbtest::MoveToDpi(f, dpi);
      RECT before{};
      GetWindowRect(f.hwnd(), &before);
      SetWindowPos(f.hwnd(), nullptr, 0, 0, 200, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      RECT after{};
      GetWindowRect(f.hwnd(), &after);
      EXPECT_EQ(after.right - after.left, before.right - before.left) << dpi << " dpi";
      EXPECT_EQ(after.bottom - after.top, before.bottom - before.top) << dpi << " dpi";
    }
  });
}

TEST_F(MailWindow, TheAuthenticationBoxEnablesTheCredentialsAndKeepsTheirText) {
  Open([&](FrmSendmail& f) {
    Click(f, f.chkAuth);
    EXPECT_EQ(f.chkAuth.Value(), BST_CHECKED);
    EXPECT_TRUE(f.txtUser.Enabled() && f.txtPassword.Enabled());
    EXPECT_EQ(Background(f, f.txtPassword), GetSysColor(COLOR_WINDOW));
    f.txtUser.SetText(L"ann");
    Click(f, f.chkAuth);
    EXPECT_EQ(f.chkAuth.Value(), BST_UNCHECKED);
    EXPECT_FALSE(f.txtUser.Enabled() || f.txtPassword.Enabled());
    EXPECT_EQ(Background(f, f.txtUser), GetSysColor(COLOR_INACTIVEBORDER));
    EXPECT_EQ(f.txtUser.Text(), L"ann");
  });
}

// ----- Attachments -----

TEST_F(MailWindow, AttachmentsShowTheirNamesAndKeepTheirPaths) {
  ui.openAnswers = {L"C:\\Users\\ann\\My files\\ip notes.txt", L"D:\\boot.ini", std::nullopt, L"notes", L""};
  Open([&](FrmSendmail& f) {
    const auto add = [&](const wchar_t* shown) {
      Click(f, f.cmdAdd);
      EXPECT_EQ(f.txtAttachments.Text(), shown);
    };
    add(L"ip notes.txt; ");
    add(L"ip notes.txt; boot.ini; ");   // from the root of a drive
    add(L"ip notes.txt; boot.ini; ");   // cancelled
    add(L"ip notes.txt; boot.ini; notes; ");  // a name without "\"
    add(L"ip notes.txt; boot.ini; notes; ");  // an empty name
    EXPECT_EQ(f.attachmentPaths,
              (std::vector<std::wstring>{L"C:\\Users\\ann\\My files\\ip notes.txt", L"D:\\boot.ini", L"notes"}));
    Click(f, f.cmdClear);
    EXPECT_EQ(f.txtAttachments.Text(), L"");
    EXPECT_TRUE(f.attachmentPaths.empty());
  });
  ASSERT_EQ(ui.openDialogs.size(), 5u);
  EXPECT_NE(ui.openDialogs[0].owner, nullptr);
  EXPECT_EQ(ui.openDialogs[1].fileName, L"C:\\Users\\ann\\My files\\ip notes.txt") << "proposes the last file";
}

// ----- Closing -----

enum class CloseBy { CloseButton, CloseBox, Escape, Shutdown };

class Closing : public MailWindow, public testing::WithParamInterface<CloseBy> {};

TEST_P(Closing, StoresEverySettingAsTyped) {
  Open([&](FrmSendmail& f) {
    f.txtFrom.SetText(L"  Ann <ann@example.com> ");
    f.txtTo.SetText(L"bo@example.com");
    f.txtCc.SetText(L" di@example.com ");
    f.txtSubject.SetText(L" ");
    f.txtServer.SetText(L" smtp.example.com ");
    Click(f, f.chkAuth);
    f.txtUser.SetText(L"ann ");
    f.txtPassword.SetText(L"  pass word  ");
    switch (GetParam()) {
      case CloseBy::CloseButton: Click(f, f.cmdClose); break;
      case CloseBy::CloseBox: SendMessageW(f.hwnd(), WM_CLOSE, 0, 0); break;
      case CloseBy::Escape: SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); break;
      case CloseBy::Shutdown: SendMessageW(f.hwnd(), WM_ENDSESSION, TRUE, 0); break;
    }
    EXPECT_EQ(f.EndRequested(), GetParam() != CloseBy::Shutdown);
  });
  const auto stored = [](const wchar_t* name) { return nb::ReadString(nb::kProgramKey, name); };
  // ReadString drops leading blanks (the registry layer's rule); the next opening shows the rest.
  EXPECT_EQ(stored(L"MailFrom"), L"Ann <ann@example.com> ");
  EXPECT_EQ(stored(L"MailTo"), L"bo@example.com");
  EXPECT_EQ(stored(L"MailCC"), L"di@example.com ");
  EXPECT_EQ(stored(L"MailSMTP"), L"smtp.example.com ");
  EXPECT_EQ(stored(L"MailSMTPauth"), L"1");
  EXPECT_EQ(stored(L"MailSMTPauthUser"), L"ann ");
  const std::wstring password = StoredPassword().value_or(L"");
  EXPECT_EQ(password.size(), 13u);
  EXPECT_EQ(password.find(L"pass"), std::wstring::npos) << "stored as typed";
  EXPECT_TRUE(ui.messages.empty());
  Open([&](FrmSendmail& f) { EXPECT_EQ(f.txtPassword.Text(), L"  pass word  "); });
}

std::string RouteName(const testing::TestParamInfo<CloseBy>& info) {
  static const char* const kNames[] = {"CloseButton", "CloseBox", "Escape", "Shutdown"};
  return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Routes, Closing,
                         testing::Values(CloseBy::CloseButton, CloseBy::CloseBox, CloseBy::Escape, CloseBy::Shutdown),
                         RouteName);

TEST_F(MailWindow, TheCharsetIsNotRemembered) {
  Open([&](FrmSendmail& f) {
    SelectCharset(f, L"Unicode(UTF-8)");
    ASSERT_EQ(SelectedCharset(f), L"Unicode(UTF-8)");
    Click(f, f.cmdClose);
  });
  Open([&](FrmSendmail& f) { EXPECT_EQ(SelectedCharset(f), L"Western European(ISO)"); });
}

// The characters of the code page that can be scrambled: codes 32 to 255 less the shift, in the
// ANSI code page of the test (1252 under Wine without a locale).
std::wstring StorableCharacters() {
  std::string bytes;
  for (int code = 32; code <= 255 - nb::kPasswordShift; ++code) bytes += static_cast<char>(code);
  return nb::FromAnsi(bytes);
}

struct PasswordCase {
  const char* name;
  std::wstring typed;
  std::wstring reopened;
  bool told;  // the user is told that the password was not stored
};

void PrintTo(const PasswordCase& c, std::ostream* os) { *os << c.name; }

class PasswordStoring : public MailWindow, public testing::WithParamInterface<PasswordCase> {};

TEST_P(PasswordStoring, ComesBackOrIsNeverStoredInClear) {
  const PasswordCase& c = GetParam();
  Open([&](FrmSendmail& f) {
    Click(f, f.chkAuth);
    f.txtPassword.SetText(c.typed);
    Click(f, f.cmdClose);
  });
  if (c.told) {
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_NE(ui.messages[0].text.find(L"password"), std::wstring::npos);
    EXPECT_EQ(StoredPassword(), L"");
  } else {
    EXPECT_TRUE(ui.messages.empty());
  }
  Open([&](FrmSendmail& f) { EXPECT_EQ(f.txtPassword.Text(), c.reopened); });
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordStoring,
    testing::Values(PasswordCase{"Plain", L"Secr3t pass", L"Secr3t pass", false},
                    PasswordCase{"EveryStorableCharacter", StorableCharacters(), StorableCharacters(), false},
                    PasswordCase{"Empty", L"", L"", false},
                    // Outside the code page (ó is in it): it would come back as "?".
                    PasswordCase{"OtherScript", L"\u0141\u00F3d\u017A", L"", true},
                    // ÿ is 255 in the code page: it cannot be scrambled, so nothing is kept.
                    PasswordCase{"CannotBeScrambled", L"pass \u00FF", L"", true}),
    [](const testing::TestParamInfo<PasswordCase>& info) { return std::string(info.param.name); });

// ----- Sending, against a recording stand-in of the component -----

// What the stand-ins saw, shared by the test and every stand-in the factory makes.
struct Recording {
  std::mutex mutex;
  std::vector<std::wstring> calls;
  int created = 0;
  bool cannotCreate = false;
  int result = 0;
  std::wstring errorText;
  // Looked at from the worker while Send runs.
  HWND window = nullptr;
  HWND status = nullptr;
  HWND sendButton = nullptr;
  std::wstring statusDuringSend;
  bool sendEnabledDuringSend = true;
  // Send waits for this event when it is set (a server that has not finished yet).
  HANDLE hold = nullptr;
  std::atomic<int> sendsEntered{0};

  void Add(std::wstring call) {
    std::lock_guard<std::mutex> lock(mutex);
    calls.push_back(std::move(call));
  }
};

class RecordingMailer final : public nb::mail::Mailer {
 public:
  explicit RecordingMailer(std::shared_ptr<Recording> r) : r_(std::move(r)) {}
  void SetServer(std::wstring_view v) noexcept override { Add(L"SetServer", v); }
  void SetUserName(std::wstring_view v) noexcept override { Add(L"SetUserName", v); }
  void SetPassword(std::wstring_view v) noexcept override { Add(L"SetPassword", v); }
  void SetCharset(std::wstring_view v) noexcept override { Add(L"SetCharset", v); }
  void SetSenderName(std::wstring_view v) noexcept override { Add(L"SetSenderName", v); }
  void SetSenderAddress(std::wstring_view v) noexcept override { Add(L"SetSenderAddress", v); }
  int AddRecipients(std::wstring_view v, int kind) noexcept override {
    Add(L"AddRecipients", std::wstring(v) + L"|" + std::to_wstring(kind));
    return 0;
  }
  int AddAttachment(std::wstring_view v) noexcept override {
    Add(L"AddAttachment", v);
    return 1;  // the window ignores it
  }
  void SetSubject(std::wstring_view v) noexcept override { Add(L"SetSubject", v); }
  void SetBody(std::wstring_view v) noexcept override { Add(L"SetBody", v); }
  void SetMailerName(std::wstring_view v) noexcept override { Add(L"SetMailerName", v); }
  int Send() noexcept override {
    r_->Add(L"Send");
    // The window answers while it waits: its status and button are read as a user would see them.
    r_->statusDuringSend = nb::WindowText(r_->status);
    r_->sendEnabledDuringSend = IsWindowEnabled(r_->sendButton) != FALSE;
    // A second click that arrives meanwhile.
    SendMessageW(r_->window, WM_COMMAND, MAKEWPARAM(FrmSendmail::idCmdSend, BN_CLICKED),
                 reinterpret_cast<LPARAM>(r_->sendButton));
    ++r_->sendsEntered;
    if (r_->hold) WaitForSingleObject(r_->hold, 10000);
    return r_->result;
  }
  void Stop() noexcept override { r_->Add(L"Stop"); }
  std::wstring ErrorText() const override {
    r_->Add(L"ErrorText");
    return r_->errorText;
  }

 private:
  void Add(const wchar_t* name, std::wstring_view value) { r_->Add(std::wstring(name) + L" " + std::wstring(value)); }
  std::shared_ptr<Recording> r_;
};

class Sending : public MailWindow {
 protected:
  void SetUp() override {
    MailWindow::SetUp();
    previous_ = nb::mail::SetMailerFactory([r = recording]() -> std::unique_ptr<nb::mail::Mailer> {
      {
        std::lock_guard<std::mutex> lock(r->mutex);
        ++r->created;
      }
      if (r->cannotCreate) return nullptr;
      return std::make_unique<RecordingMailer>(r);
    });
  }
  void TearDown() override {
    nb::mail::SetMailerFactory(previous_);
    MailWindow::TearDown();
  }

  // Fills the fields a send needs unless `fill` says otherwise, presses Send, and then acts on the
  // window with `then` or, without it, waits until the window is ready to send again.
  void Send(const std::function<void(FrmSendmail&)>& fill = nullptr,
            const std::function<void(FrmSendmail&)>& then = nullptr) {
    Open([&](FrmSendmail& f) {
      f.txtFrom.SetText(L"Ann <ann@example.com>");
      f.txtTo.SetText(L"bo@example.com");
      f.txtServer.SetText(L"smtp.example.com");
      if (fill) fill(f);
      recording->window = f.hwnd();
      recording->status = f.lblStatus.hwnd;
      recording->sendButton = f.cmdSend.hwnd;
      Click(f, f.cmdSend);
      if (then) return then(f);
      sendEnabledAfter = nbtest::PumpUntil([&] { return f.cmdSend.Enabled(); });
      statusAfter = f.lblStatus.Text();
    });
  }

  std::shared_ptr<Recording> recording = std::make_shared<Recording>();
  bool sendEnabledAfter = false;
  std::wstring statusAfter = L"<not sent>";

 private:
  nb::mail::MailerFactory previous_;
};

struct CheckCase {
  const char* name;
  const wchar_t* from;
  const wchar_t* to;
  const wchar_t* cc;
  const wchar_t* server;
  const wchar_t* subject;
  const wchar_t* message;  // the first line of the one message shown; nullptr: the send goes ahead
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class Checks : public Sending, public testing::WithParamInterface<CheckCase> {};

TEST_P(Checks, TheFirstMissingFieldIsAskedFor) {
  const CheckCase& c = GetParam();
  Send([&](FrmSendmail& f) {
    f.txtFrom.SetText(c.from);
    f.txtTo.SetText(c.to);
    f.txtCc.SetText(c.cc);
    f.txtServer.SetText(c.server);
    f.txtSubject.SetText(c.subject);
  });
  ASSERT_EQ(ui.messages.size(), 1u);
  const nb::MessageBoxArgs& m = ui.messages[0];
  if (!c.message) {
    EXPECT_EQ(m.text, L"Message sent successfully!");
    EXPECT_EQ(recording->created, 1);
    return;
  }
  EXPECT_EQ(m.text.substr(0, m.text.find(L"\r\n")), c.message);
  EXPECT_EQ(m.title, L"Info required");
  EXPECT_EQ(m.style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(recording->created, 0);
  EXPECT_TRUE(sendEnabledAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Checks,
    testing::Values(
        CheckCase{"AllEmpty", L"", L"", L"", L"", L"", L"Please enter the From address."},
        CheckCase{"FromBlank", L"   ", L"bo@example.com", L"", L"s", L"x", L"Please enter the From address."},
        CheckCase{"NoRecipient", L"ann@example.com", L" ", L"  ", L"s", L"x", L"Please enter the To or Cc address."},
        CheckCase{"NoServer", L"ann@example.com", L"bo@example.com", L"", L"  ", L"x",
                  L"Please enter your SMTP (outgoing mail) server, provided by your ISP."},
        CheckCase{"NoSubject", L"ann@example.com", L"", L"di@example.com", L"s", L"",
                  L"Please enter a subject, or enter a blank (space) if you really want no subject for your message."},
        CheckCase{"CcWithoutTo", L"ann@example.com", L"", L"di@example.com", L"s", L"x", nullptr},
        CheckCase{"SubjectOfOneBlank", L"ann@example.com", L"bo@example.com", L"", L"s", L" ", nullptr}),
    [](const testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST_F(Sending, TheFromAndToMessagesShowTheAddressForms) {
  Send([&](FrmSendmail& f) { f.txtFrom.SetText(L""); });
  Send([&](FrmSendmail& f) { f.txtTo.SetText(L""); });
  ASSERT_EQ(ui.messages.size(), 2u);
  const std::wstring forms = L"Use either the form ";
  EXPECT_EQ(ui.messages[0].text.find(L"\r\n" + forms), ui.messages[0].text.find(L"\r\n"));
  EXPECT_NE(ui.messages[1].text.find(L"\r\n" + forms), std::wstring::npos);
  EXPECT_NE(ui.messages[1].text.find(L"\r\nPlease use comma(,) to separate multiple addresses."), std::wstring::npos);
}

TEST_F(Sending, TheComponentGetsTheFieldsInItsOrder) {
  ui.openAnswers = {L"C:\\a.txt", L"D:\\b.bin"};
  Send([&](FrmSendmail& f) {
    f.txtFrom.SetText(L"  \"Ann Smith\" <ann@example.com> ");
    f.txtTo.SetText(L" bo@example.com, cy@example.com ");
    f.txtCc.SetText(L"");
    f.txtSubject.SetText(L" My address ");
    f.txtServer.SetText(L"  smtp.example.com:587 ");
    Click(f, f.chkAuth);
    f.txtUser.SetText(L" ann ");
    f.txtPassword.SetText(L"  pass word  ");
    SelectCharset(f, L"Unicode(UTF-8)");
    Click(f, f.cmdAdd);
    Click(f, f.cmdAdd);
  });
  const std::wstring body = L"Here's my new IP:\r\n" + std::wstring(kLan) + L"\r\n";
  EXPECT_EQ(recording->calls, (std::vector<std::wstring>{
                                  L"SetServer smtp.example.com:587",
                                  L"SetUserName ann",
                                  L"SetPassword pass word",
                                  L"SetCharset utf-8",
                                  L"SetSenderName Ann Smith",
                                  L"SetSenderAddress ann@example.com",
                                  L"AddRecipients bo@example.com, cy@example.com|0",
                                  L"AddRecipients |1",
                                  L"AddAttachment C:\\a.txt",
                                  L"AddAttachment D:\\b.bin",
                                  L"SetSubject  My address ",
                                  L"SetBody " + body,
                                  L"SetMailerName Netbeacon Mailer",
                                  L"Send",
                              }));
  EXPECT_EQ(recording->created, 1) << "the click during the send started nothing";
  EXPECT_EQ(recording->statusDuringSend, L"Please wait ... ");
  EXPECT_FALSE(recording->sendEnabledDuringSend);
}

TEST_F(Sending, WithoutAuthenticationNoCredentialsArePassed) {
  Send([&](FrmSendmail& f) {
    Click(f, f.chkAuth);
    f.txtUser.SetText(L"ann");
    f.txtPassword.SetText(L"secret");
    Click(f, f.chkAuth);
    f.txtFrom.SetText(L" 'ann@example.com'; ");
  });
  for (const std::wstring& call : recording->calls) {
    EXPECT_NE(call.rfind(L"SetUserName", 0), 0u) << "passed " << nb::ToAnsi(call);
    EXPECT_NE(call.rfind(L"SetPassword", 0), 0u) << "passed " << nb::ToAnsi(call);
  }
  EXPECT_NE(std::find(recording->calls.begin(), recording->calls.end(), L"SetSenderName "), recording->calls.end());
  EXPECT_NE(std::find(recording->calls.begin(), recording->calls.end(), L"SetSenderAddress ann@example.com"),
            recording->calls.end());
}

struct OutcomeCase {
  const char* name;
  bool cannotCreate;
  int result;
  const wchar_t* errorText;
  const wchar_t* title;
  UINT icon;
  const wchar_t* shown;  // nullptr: not looked at
};

void PrintTo(const OutcomeCase& c, std::ostream* os) { *os << c.name; }

class Outcomes : public Sending, public testing::WithParamInterface<OutcomeCase> {};

TEST_P(Outcomes, TheUserIsToldAndTheWindowIsReadyAgain) {
  const OutcomeCase& c = GetParam();
  recording->cannotCreate = c.cannotCreate;
  recording->result = c.result;
  recording->errorText = c.errorText ? c.errorText : L"";
  Send();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, c.title);
  EXPECT_EQ(ui.messages[0].style, MB_OK | c.icon);
  if (c.shown) {
    EXPECT_EQ(ui.messages[0].text, c.shown);
  }
  EXPECT_TRUE(sendEnabledAfter);
  EXPECT_EQ(statusAfter, L"");
  const bool askedForError =
      std::find(recording->calls.begin(), recording->calls.end(), L"ErrorText") != recording->calls.end();
  EXPECT_EQ(askedForError, c.result != 0 && !c.cannotCreate);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Outcomes,
    testing::Values(
        OutcomeCase{"Sent", false, 0, nullptr, L"Netbeacon Mail", MB_ICONINFORMATION, L"Message sent successfully!"},
        OutcomeCase{"ThreeParts", false, 1, L"Not sent;While signing in;535 refused", L"Communications error",
                    MB_ICONWARNING, L"Not sent.\r\nWhile signing in; 535 refused"},
        OutcomeCase{"FourParts", false, 1, L"a;b;c;d", L"Communications error", MB_ICONWARNING, L"a.\r\nb; c;d"},
        OutcomeCase{"NoParts", false, 7, L"Not sent at all", L"Communications error", MB_ICONWARNING,
                    L"Not sent at all"},
        OutcomeCase{"CannotBeCreated", true, 0, nullptr, L"Communications error", MB_ICONWARNING, nullptr}),
    [](const testing::TestParamInfo<OutcomeCase>& info) { return std::string(info.param.name); });

// The stand-in holds Send until the test lets it go: meanwhile the window paints, moves and
// keeps Send disabled; a close asks, No keeps the send (whose result comes), Yes stops it.
TEST_F(Sending, DuringASendTheWindowAnswersAndAClosingAsksFirst) {
  nb::unique_handle hold(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  recording->hold = hold.get();
  ui.messageAnswers = {IDNO, IDOK, IDYES};
  const auto sendsEntered = [&](int n) { return nbtest::PumpUntil([&] { return recording->sendsEntered == n; }); };
  Send(nullptr, [&](FrmSendmail& f) {
    ASSERT_TRUE(sendsEntered(1));
    RECT before{}, after{};
    GetWindowRect(f.hwnd(), &before);
    SetWindowPos(f.hwnd(), nullptr, before.left + 40, before.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(f.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    nbtest::PumpMessages();
    GetWindowRect(f.hwnd(), &after);
    EXPECT_EQ(after.left, before.left + 40);
    EXPECT_FALSE(GetUpdateRect(f.hwnd(), nullptr, FALSE)) << "not painted";
    EXPECT_FALSE(f.cmdSend.Enabled());
    Click(f, f.cmdClose);
    EXPECT_FALSE(f.EndRequested());
    SetEvent(hold.get());
    ASSERT_TRUE(nbtest::PumpUntil([&] { return f.cmdSend.Enabled(); }));
    ResetEvent(hold.get());
    Click(f, f.cmdSend);
    ASSERT_TRUE(sendsEntered(2));
    SendMessageW(f.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(f.EndRequested());
  });
  SetEvent(hold.get());
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[0].title, L"Netbeacon Mail");
  EXPECT_EQ(ui.messages[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(ui.messages[1].text, L"Message sent successfully!");
  EXPECT_EQ(std::count(recording->calls.begin(), recording->calls.end(), L"Stop"), 1) << "Yes stops, No does not";
  EXPECT_EQ(nb::ReadString(nb::kProgramKey, L"MailSMTP"), L"smtp.example.com") << "stored as every close does";
}

// ----- One send through the real component to a server on loopback -----

TEST(MailWindowSend, ArrivesAtTheServerOverStartTlsWithSignIn) {
  if (mailtest::Folder().empty()) GTEST_SKIP() << "NB_MAILTEST_DIR is not set: the test servers are not running";
  ClearProgramKey();
  const unsigned port = mailtest::Ports().at("starttls");
  const std::string authority = mailtest::TestAuthority();
  ASSERT_FALSE(authority.empty());
  // The real component, trusting the run's test authority.
  const nb::mail::MailerFactory previous = nb::mail::SetMailerFactory([&]() -> std::unique_ptr<nb::mail::Mailer> {
    nb::mail::SmtpMailerSettings settings;
    settings.extraTrustedRoots = {authority};
    return std::make_unique<nb::mail::SmtpMailer>(settings);
  });
  nbtest::ScriptedModalUi ui;
  FrmSendmail window(kLan);
  ui.onModal = [&](nb::ModalWindow& w) {
    auto& f = static_cast<FrmSendmail&>(w);
    f.txtFrom.SetText(L"Ann Sender <ann@example.com>");
    f.txtTo.SetText(L"window-send@example.com");
    f.txtSubject.SetText(L"Neue IP f\u00FCr das B\u00FCro");
    f.txtServer.SetText(L"localhost:" + std::to_wstring(port));
    Click(f, f.chkAuth);
    f.txtUser.SetText(nb::FromAnsi(mailtest::kUser));
    f.txtPassword.SetText(nb::FromAnsi(mailtest::kPassword));
    Click(f, f.cmdSend);
    nbtest::PumpUntil([&] { return f.cmdSend.Enabled(); }, 60000);
  };
  nb::Modal().ShowModal(window, nullptr);
  nb::mail::SetMailerFactory(previous);
  ClearProgramKey();

  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, L"Message sent successfully!");
  const auto received = [](const char* file) { return mailtest::Received("window-send", file); };
  EXPECT_EQ(received("problems.txt"), "");
  EXPECT_EQ(received("subject.txt"), "Neue IP f\xC3\xBCr das B\xC3\xBCro");
  EXPECT_EQ(received("body.txt"), "Here's my new IP:\n192.168.1.10\n");
  const std::string encoding = received("body-encoding.txt");
  EXPECT_EQ(encoding.substr(0, encoding.find(' ')), "iso-8859-1");
  const std::string session = received("session.txt");
  EXPECT_NE(session.find("auth PLAIN alice"), std::string::npos) << session;
  EXPECT_NE(session.find("tls True"), std::string::npos) << session;
}

}  // namespace
