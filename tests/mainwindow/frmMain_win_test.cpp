// The main window driven through messages, with modal UI scripted.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "addresslog/log_writer_win.h"
#include "detect/lan_lookup_win.h"
#include "detect/public_address.h"
#include "mail/frmSendmail_win.h"
#include "mail/smtp/mailer.h"
#include "mainwindow/frmMain_win.h"
#include "settings/colour_scheme_win.h"
#include "settings/registry_win.h"
#include "settings/stored_values.h"
#include "support/clipboard_win.h"
#include "support/debug_output_win.h"
#include "support/loopback_http_win.h"
#include "support/scripted_ui_win.h"
#include "support/stub_mailer_win.h"
#include "support/recording_notify_area_win.h"
#include "support/window_checks_win.h"
#include "ui/layout.h"
#include "ui/menus_win.h"
#include "base/text_win.h"

namespace {

using nb::FrmMain;
namespace ids = nb::frmMainIds;

void ClearProgramKey() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Ambertop\\Netbeacon"); }

void Store(const wchar_t* name, const wchar_t* value) {
  nb::CreateKey(nb::kProgramKey);
  nb::WriteString(nb::kProgramKey, name, value);
}

std::optional<std::wstring> Stored(const wchar_t* name) { return nb::ReadString(nb::kProgramKey, name); }

std::wstring ToolTipText(const FrmMain& window, HWND tool) {
  wchar_t buffer[256] = {};
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.hwnd = window.hwnd();
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = buffer;
  SendMessageW(window.toolTips(), TTM_GETTEXTW, std::size(buffer), reinterpret_cast<LPARAM>(&info));
  return buffer;
}

bool MenuEnabled(const FrmMain& window, int command) { return nb::MenuCommandEnabled(window.menuBar(), command); }

nb::Addresses Found(const wchar_t* lan, const wchar_t* wan) { return {lan, wan}; }

class MainWindow : public testing::Test {
 protected:
  void SetUp() override { ClearProgramKey(); }
  void TearDown() override {
    window.Unload();
    ClearProgramKey();
  }
  void Open(std::wstring arguments = L"") {
    window.Load(std::move(arguments));
    window.Show();
  }
  void RightClick(const nb::Control& label) {
    SendMessageW(label.hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  }

  nbtest::ScriptedModalUi ui;
  FrmMain window;
};

TEST_F(MainWindow, FirstStartShowsTheDefaults) {
  Open();
  EXPECT_EQ(window.lblLANip.Text(), L"---.---.---.---");
  EXPECT_EQ(window.lblWANip.Text(), L"---.---.---.---");
  EXPECT_EQ(window.lblHDDNPublicIP.Text(), L"lblHDDNPublicIP");
  EXPECT_EQ(window.lblHDDNLANmail.Text(), L"lblHDDNLANmail");
  EXPECT_EQ(window.lblLANip.TextColour(), nb::kGreen);
  EXPECT_EQ(window.lblLANip.BackColour(), nb::kBlack);
  EXPECT_EQ(window.chkAutoRun.Value(), 0);
  EXPECT_EQ(window.chkAutoQuit.Value(), 0);
  EXPECT_FALSE(MenuEnabled(window, ids::menuShowALLIPs));
  EXPECT_TRUE(MenuEnabled(window, ids::menuIPconfig));
  EXPECT_EQ(nb::WindowText(window.hwnd()), L"Netbeacon");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(window.lblHDDNPublicIP.Visible());
  EXPECT_FALSE(window.lblHDDNLANmail.Visible());
  // Enter presses Find: it is the default button.
  EXPECT_EQ(SendMessageW(window.hwnd(), DM_GETDEFID, 0, 0), MAKELRESULT(ids::cmdFindMyIP, DC_HASDEFID));
  const std::wstring caption = window.cmdFindMyIP.Text();
  const auto amp = caption.find(L'&');
  ASSERT_NE(amp, std::wstring::npos);
  EXPECT_EQ(towupper(caption[amp + 1]), L'I');  // access key I
}

// The windows of the menu bar have no owner. (The hidden label holds an address, so that the
// address table asks no service.)
TEST_F(MainWindow, TheMenuBarOpensTheAddressTableAndTheConfigurationViewer) {
  Open();
  window.SetAddresses(Found(L"192.0.2.2", L"203.0.113.7"));
  SendMessageW(window.hwnd(), WM_COMMAND, ids::menuShowALLIPs, 0);
  SendMessageW(window.hwnd(), WM_COMMAND, ids::menuIPconfig, 0);
  EXPECT_EQ(ui.modalCaptions, (std::vector<std::wstring>{L"All (Local) IP's", L"IP Config"}));
  EXPECT_EQ(ui.modalOwners, (std::vector<HWND>{nullptr, nullptr}));
}

TEST_F(MainWindow, WhatTheUserSeesFitsAtBothDpis) {
  Open();
  // cmdPREFS only takes the focus, out of sight below the client area.
  nbtest::ExpectSeenWellAtBothDpis(window, {window.cmdPREFS.hwnd});
}

struct SchemeCase {
  const wchar_t* stored;  // nullptr: no value
  COLORREF text;
  COLORREF back;
};

class ColourScheme : public MainWindow, public testing::WithParamInterface<SchemeCase> {};

TEST_P(ColourScheme, LoadAppliesTheStoredScheme) {
  if (GetParam().stored) Store(L"ForeColor", GetParam().stored);
  Open();
  EXPECT_EQ(window.lblLANip.TextColour(), GetParam().text);
  EXPECT_EQ(window.lblLANip.BackColour(), GetParam().back);
  EXPECT_EQ(window.lblWANip.TextColour(), GetParam().text);
  EXPECT_EQ(window.lblWANip.BackColour(), GetParam().back);
}

INSTANTIATE_TEST_SUITE_P(Stored, ColourScheme,
                         testing::Values(SchemeCase{L"0", nb::kBlack, nb::kWhite},
                                         SchemeCase{L"65280", nb::kGreen, nb::kBlack},
                                         SchemeCase{L"", nb::kGreen, nb::kBlack},
                                         SchemeCase{L"255", nb::kBlack, nb::kWhite},
                                         SchemeCase{nullptr, nb::kGreen, nb::kBlack}));

TEST_F(MainWindow, TwoColourSwitchesReturnToTheFirstSchemeAndStoreEach) {
  Open();
  SendMessageW(window.hwnd(), WM_COMMAND, ids::menuColorsBlackOnWhite, 0);
  EXPECT_EQ(window.lblLANip.TextColour(), nb::kBlack);
  EXPECT_EQ(window.lblWANip.BackColour(), nb::kWhite);
  EXPECT_EQ(Stored(L"ForeColor"), L"0");
  SendMessageW(window.hwnd(), WM_COMMAND, ids::menuColorsBlackOnWhite, 0);
  EXPECT_EQ(window.lblLANip.TextColour(), nb::kGreen);
  EXPECT_EQ(window.lblWANip.BackColour(), nb::kBlack);
  EXPECT_EQ(Stored(L"ForeColor"), L"65280");
}

TEST_F(MainWindow, StoredPositionAndBoxesComeBackAndCloseStoresThem) {
  Store(L"Top", L"1500");
  Store(L"Left", L"3000");
  Store(L"Autoquit", L"1");
  Store(L"Autorun", L"7");  // not a check box state: the box stays as it is
  Open();
  RECT rect{};
  GetWindowRect(window.hwnd(), &rect);
  EXPECT_EQ(rect.top, nb::TwipsToPixels(1500, window.Dpi()));
  EXPECT_EQ(rect.left, nb::TwipsToPixels(3000, window.Dpi()));
  EXPECT_EQ(window.chkAutoQuit.Value(), 1);
  EXPECT_EQ(window.chkAutoRun.Value(), 0);

  SetWindowPos(window.hwnd(), nullptr, 40, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SendMessageW(window.chkAutoRun.hwnd, BM_CLICK, 0, 0);
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(window.IsOpen());
  EXPECT_EQ(Stored(L"Top"), nb::SingleText(nb::PixelsToTwips(60, window.Dpi())));
  EXPECT_EQ(Stored(L"Left"), nb::SingleText(nb::PixelsToTwips(40, window.Dpi())));
  EXPECT_EQ(Stored(L"Autorun"), L"1");
  EXPECT_EQ(Stored(L"Autoquit"), L"1");
}

TEST_F(MainWindow, TheEndOfTheSessionStoresThePreferencesAndCloses) {
  Open();
  SetWindowPos(window.hwnd(), nullptr, 40, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SendMessageW(window.chkAutoRun.hwnd, BM_CLICK, 0, 0);
  SendMessageW(window.chkAutoQuit.hwnd, BM_CLICK, 0, 0);
  // Windows asks whether the session may end: the program agrees and keeps its preferences at once.
  EXPECT_EQ(SendMessageW(window.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_EQ(Stored(L"Top"), nb::SingleText(nb::PixelsToTwips(60, window.Dpi())));
  EXPECT_EQ(Stored(L"Left"), nb::SingleText(nb::PixelsToTwips(40, window.Dpi())));
  EXPECT_EQ(Stored(L"Autorun"), L"1");
  EXPECT_EQ(Stored(L"Autoquit"), L"1");
  // Another program refused, so the session goes on, and the program with it.
  SendMessageW(window.hwnd(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  EXPECT_TRUE(window.IsOpen());
  SendMessageW(window.chkAutoRun.hwnd, BM_CLICK, 0, 0);
  SendMessageW(window.hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_FALSE(window.IsOpen());
  EXPECT_EQ(Stored(L"Autorun"), L"0");
}

TEST_F(MainWindow, AStoredPlaceOffEveryScreenOrTooLargeIsNotTaken) {
  struct PlaceCase {
    const wchar_t* stored;
    size_t traces;  // a number too large for a position is an overflow, skipped with a trace
  };
  for (const PlaceCase c : {PlaceCase{L"9000000", 0}, PlaceCase{L"1e30", 2}, PlaceCase{L"-3000000", 0}}) {
    Store(L"Top", c.stored);
    Store(L"Left", c.stored);
    nbtest::DebugOutputCapture trace;
    FrmMain again;
    again.Load(L"");
    RECT rect{};
    GetWindowRect(again.hwnd(), &rect);
    EXPECT_NE(MonitorFromRect(&rect, MONITOR_DEFAULTTONULL), nullptr) << testing::PrintToString(std::wstring(c.stored));
    const std::vector<std::wstring> lines = trace.Lines();
    EXPECT_EQ(lines.size(), c.traces);
    for (const std::wstring& line : lines) {
      EXPECT_NE(line.find(L" 6 (Overflow) in frmMain Form_Load"), std::wstring::npos) << testing::PrintToString(line);
    }
    again.Unload();
  }
}

TEST_F(MainWindow, ClosingWhileMinimisedKeepsTheStoredPosition) {
  Store(L"Top", L"1500");
  Store(L"Left", L"3000");
  Open();
  ShowWindow(window.hwnd(), SW_MINIMIZE);
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(Stored(L"Top"), L"1500");
  EXPECT_EQ(Stored(L"Left"), L"3000");
  EXPECT_EQ(Stored(L"Autorun"), L"0");
}

TEST_F(MainWindow, MinimisedCaptionShowsTheLanAddress) {
  Open();
  ShowWindow(window.hwnd(), SW_MINIMIZE);
  EXPECT_EQ(nb::WindowText(window.hwnd()), L" " + nb::GetLocalIP());
  ShowWindow(window.hwnd(), SW_RESTORE);
  EXPECT_EQ(nb::WindowText(window.hwnd()), L"Netbeacon");
}

TEST_F(MainWindow, PopupsOpenOnlyOnTheRightButtonAndOnlyForAnAddress) {
  Open();
  // Placeholders: no popup at all.
  RightClick(window.lblLANip);
  RightClick(window.lblWANip);
  EXPECT_TRUE(ui.popups.empty());
  window.SetAddresses(Found(L"192.0.2.2", L"Access error"));
  RightClick(window.lblWANip);
  EXPECT_TRUE(ui.popups.empty());
  SendMessageW(window.lblLANip.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageW(window.lblLANip.hwnd, WM_MBUTTONDOWN, MK_MBUTTON, 0);
  EXPECT_TRUE(ui.popups.empty());
  RightClick(window.lblLANip);
  ASSERT_EQ(ui.popups.size(), 1u);
  EXPECT_EQ(ui.popups[0].size(), 3u);
  for (const std::wstring& entry : ui.popups[0]) EXPECT_EQ(entry.find(L"(grey)"), std::wstring::npos) << nb::ToAnsi(entry);
  window.SetAddresses(Found(L"192.0.2.2", L"198.51.100.7"));
  RightClick(window.lblWANip);
  EXPECT_EQ(ui.popups.size(), 2u);
}

TEST_F(MainWindow, ToolTipsFollowTheLabels) {
  Open();
  ASSERT_TRUE(window.toolTips());
  SendMessageW(window.lblWANip.hwnd, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(ToolTipText(window, window.lblWANip.hwnd), L"");  // placeholder: left as it was
  window.SetAddresses({std::nullopt, L"Access error"});
  SendMessageW(window.lblWANip.hwnd, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(ToolTipText(window, window.lblWANip.hwnd), L" WAN IP - Unable to access external source ");
  window.SetAddresses({std::nullopt, L"198.51.100.7"});
  SendMessageW(window.lblWANip.hwnd, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(ToolTipText(window, window.lblWANip.hwnd), L" WAN IP - Right-click for more options ");
  window.SetAddresses(Found(L"192.0.2.2", L"198.51.100.7"));
  SendMessageW(window.lblLANip.hwnd, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(ToolTipText(window, window.lblLANip.hwnd), L" LAN IP - Right-click for more options ");
  EXPECT_FALSE(ToolTipText(window, window.chkAutoQuit.hwnd).empty());
}

// The IPv6 row is there only while the machine has a global IPv6 address: the window grows for it
// and is as designed again without it; its labels behave as the IPv4 ones, naming IPv6.
TEST_F(MainWindow, TheIPv6RowComesAndGoesWithTheMachinesIPv6Address) {
  Open();
  RECT designed{};
  GetClientRect(window.hwnd(), &designed);
  EXPECT_FALSE(window.lblLANip6.Visible());
  nb::Addresses found = Found(L"192.0.2.2", L"198.51.100.7");
  found.lan6 = L"2a00:1450:4001:82b::5";
  found.wan6 = L"2a00:1450:4001:82b:1234:5678:9abc:def0";
  window.SetAddresses(found);
  EXPECT_TRUE(window.lblLANip6.Visible() && window.lblWANip6.Visible());
  EXPECT_EQ(window.lblWANip6.Text(), L"2a00:1450:4001:82b:1234:5678:9abc:def0");
  nbtest::ExpectSeenWellAtBothDpis(window, {window.cmdPREFS.hwnd});
  SendMessageW(window.lblWANip6.hwnd, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(ToolTipText(window, window.lblWANip6.hwnd), L" WAN IPv6 - Right-click for more options ");
  nbtest::SetClipboardUnicode(L"before");
  ui.popupChoices.push_back(ids::menuCopyLAN6toClipboard);
  RightClick(window.lblLANip6);
  EXPECT_EQ(nbtest::ClipboardUnicode(), L"2a00:1450:4001:82b::5");

  window.SetAddresses(Found(L"192.0.2.2", L"198.51.100.7"));
  EXPECT_FALSE(window.lblLANip6.Visible());
  RECT now{};
  GetClientRect(window.hwnd(), &now);
  EXPECT_EQ(now.right, designed.right);
  EXPECT_EQ(now.bottom, designed.bottom);
}

struct CopyCase {
  bool autoQuit;
  bool switchIssued;
  bool staysOpen;
};

class Copy : public MainWindow, public testing::WithParamInterface<CopyCase> {};

TEST_P(Copy, PutsTheAddressOnTheClipboardAndAppliesAutoQuit) {
  Open();
  window.chkAutoQuit.SetValue(GetParam().autoQuit ? 1 : 0);
  window.userCommandIssued = GetParam().switchIssued;
  window.SetAddresses(Found(L"192.0.2.2", L"198.51.100.7"));
  nbtest::SetClipboardUnicode(L"something else");
  ui.popupChoices.push_back(ids::menuCopyWANtoClipboard);
  RightClick(window.lblWANip);
  EXPECT_EQ(nbtest::ClipboardUnicode(), L"198.51.100.7");
  EXPECT_EQ(nbtest::ClipboardAnsi(), "198.51.100.7");
  EXPECT_EQ(window.IsOpen(), GetParam().staysOpen);
  if (!GetParam().autoQuit) {
    EXPECT_EQ(GetFocus(), window.cmdPREFS.hwnd);
  }
}

INSTANTIATE_TEST_SUITE_P(AutoQuit, Copy,
                         testing::Values(CopyCase{false, false, true}, CopyCase{true, false, false},
                                         CopyCase{true, true, true}));

struct MailCase {
  int command;
  const wchar_t* flag;
  const wchar_t* mailed;
  bool autoQuit;
};

class Mail : public MainWindow, public testing::WithParamInterface<MailCase> {};

TEST_P(Mail, OpensTheMailWindowForTheAddressAndAppliesAutoQuit) {
  const MailCase& c = GetParam();
  Open();
  window.chkAutoQuit.SetValue(c.autoQuit ? 1 : 0);
  window.SetAddresses(Found(L"192.0.2.2", L"198.51.100.7"));
  std::wstring body;
  std::wstring flag;
  ui.onModal = [&](nb::ModalWindow& w) {
    body = static_cast<nb::FrmSendmail&>(w).txtBody.Text();
    flag = window.lblHDDNLANmail.Text();
  };
  ui.popupChoices.push_back(c.command);
  RightClick(c.command == ids::menuSendLANemail ? window.lblLANip : window.lblWANip);
  ASSERT_EQ(ui.modalCaptions.size(), 1u);
  EXPECT_EQ(ui.modalCaptions[0], L"Send mail");
  EXPECT_EQ(ui.modalOwners[0], nullptr);
  EXPECT_EQ(flag, c.flag);
  EXPECT_EQ(body, L"Here's my new IP:\r\n" + std::wstring(c.mailed) + L"\r\n");
  EXPECT_EQ(window.IsOpen(), !c.autoQuit);
}

INSTANTIATE_TEST_SUITE_P(Commands, Mail,
                         testing::Values(MailCase{ids::menuSendLANemail, L"LANMAIL", L"192.0.2.2", false},
                                         MailCase{ids::menuSendWANemail, L"WANMAIL", L"198.51.100.7", false},
                                         MailCase{ids::menuSendWANemail, L"WANMAIL", L"198.51.100.7", true}));

TEST_F(MainWindow, SaveWritesTheAddressAndRemembersTheName) {
  nbtest::TempFolder folder;
  const std::wstring target = folder.path() + L"address.txt";
  nbtest::WriteFileBytes(target, "an older and longer content\r\nsecond line\r\n");
  Open();
  window.SetAddresses(Found(L"192.0.2.2", L"198.51.100.7"));
  ui.saveAnswers.push_back(target);
  ui.popupChoices.push_back(ids::menuSaveLANas);
  RightClick(window.lblLANip);
  EXPECT_EQ(nbtest::ReadFileBytes(target), "192.0.2.2\r\n");
  ASSERT_EQ(ui.saveDialogs.size(), 1u);
  EXPECT_EQ(ui.saveDialogs[0].fileName, L"Netbeacon.txt");
  EXPECT_EQ(ui.saveDialogs[0].defaultExt, L".txt");
  EXPECT_EQ(ui.saveDialogs[0].filter, L"*.txt");
  EXPECT_TRUE(ui.saveDialogs[0].overwritePrompt);
  // A cancelled second save writes nothing, and it started from the name chosen before.
  ui.popupChoices.push_back(ids::menuSaveLANas);
  window.SetAddresses(Found(L"10.0.0.5", L"198.51.100.7"));
  RightClick(window.lblLANip);
  ASSERT_EQ(ui.saveDialogs.size(), 2u);
  EXPECT_EQ(ui.saveDialogs[1].fileName, target);
  EXPECT_EQ(nbtest::ReadFileBytes(target), "192.0.2.2\r\n");
  EXPECT_TRUE(window.IsOpen());
}

TEST_F(MainWindow, SaveWithAutoQuitClosesOnlyAfterAWrite) {
  nbtest::TempFolder folder;
  Open();
  window.chkAutoQuit.SetValue(1);
  window.SetAddresses(Found(L"192.0.2.2", L"198.51.100.7"));
  ui.saveAnswers.push_back(folder.path() + L"missing-folder\\address.txt");  // cannot be written
  ui.popupChoices.push_back(ids::menuSaveLANas);
  RightClick(window.lblLANip);
  EXPECT_TRUE(window.IsOpen());
  ui.saveAnswers.push_back(folder.path() + L"address.txt");
  ui.popupChoices.push_back(ids::menuSaveLANas);
  RightClick(window.lblLANip);
  EXPECT_FALSE(window.IsOpen());
}

TEST_F(MainWindow, DoubleClickShowsTheHostNameWindow) {
  Open();
  SendMessageW(window.lblLANip.hwnd, WM_LBUTTONDBLCLK, 0, 0);
  EXPECT_TRUE(ui.modalCaptions.empty());  // placeholder
  window.SetAddresses({std::nullopt, L"Access error"});
  SendMessageW(window.lblWANip.hwnd, WM_LBUTTONDBLCLK, 0, 0);
  nbtest::PumpMessages();
  EXPECT_TRUE(ui.modalCaptions.empty());

  std::wstring shownName;
  ui.onModal = [&](nb::ModalWindow& modal) {
    nbtest::ExpectSeenWellAtBothDpis(modal);
    shownName = nb::WindowText(GetDlgItem(modal.hwnd(), 101));
    SendMessageW(GetDlgItem(modal.hwnd(), IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(modal.EndRequested());
  };
  // 127.0.0.1 has a name only when /etc/hosts gives it one (Wine reads the hosts file there).
  const char* const needsName =
      "This test needs 127.0.0.1 to have a name in /etc/hosts (\"127.0.0.1 localhost\"), as every installed "
      "Debian has.";
  window.SetAddresses(Found(L"127.0.0.1", L"Access error"));
  SendMessageW(window.lblLANip.hwnd, WM_LBUTTONDBLCLK, 0, 0);
  ASSERT_TRUE(nbtest::PumpUntil([&] { return !ui.modalCaptions.empty(); }));
  EXPECT_EQ(ui.modalCaptions[0], L"Computer Name - 127.0.0.1");
  EXPECT_EQ(ui.modalOwners[0], window.hwnd());
  EXPECT_FALSE(shownName.empty()) << needsName;
  window.SetAddresses(Found(L"127.0.0.1", L"127.0.0.1"));
  SendMessageW(window.lblWANip.hwnd, WM_LBUTTONDBLCLK, 0, 0);
  ASSERT_TRUE(nbtest::PumpUntil([&] { return ui.modalCaptions.size() == 2; }));
  EXPECT_EQ(ui.modalCaptions[1], L"Host Name - 127.0.0.1");
  EXPECT_TRUE(ui.messages.empty()) << needsName;
}

TEST_F(MainWindow, CloseSweepsTheOtherWindowsMostRecentFirst) {
  Open();
  struct Other : nb::Window {
    explicit Other(std::vector<int>& log, int n) : log_(log), n_(n) {}
    void Open() { CreateFrame({L"Netbeacon.TestOther", L"other"}); }
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
      if (msg == WM_DESTROY) log_.push_back(n_);
      return false;
    }
    std::vector<int>& log_;
    int n_;
  };
  std::vector<int> closed;
  Other first(closed, 1), second(closed, 2);
  first.Open();
  second.Open();
  SendMessageW(window.hwnd(), WM_COMMAND, ids::menuExit, 0);
  EXPECT_FALSE(window.IsOpen());
  EXPECT_EQ(closed, (std::vector<int>{2, 1}));
}

// Detection runs against services on loopback, pointed at through the registry values.
class Detection : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    DeleteFileW(nb::LogPath().c_str());
    server.Answer("/probe", "ok");
    server.Answer("/one", "<html><body>not an address</body></html>");
    server.Answer("/two", "198.51.100.2\r\n");
    server.Answer("/three", "198.51.100.3");
    server.Answer("/four", "198.51.100.4");
    PointServicesAt(server.Url("/probe"));
  }
  void TearDown() override {
    MainWindow::TearDown();
    DeleteFileW(nb::LogPath().c_str());
  }
  void PointServicesAt(const std::wstring& probe) {
    Store(L"ProbeURL", probe.c_str());
    Store(L"ServiceURL1", server.Url("/one").c_str());
    Store(L"ServiceURL2", server.Url("/two").c_str());
    Store(L"ServiceURL3", server.Url("/three").c_str());
    Store(L"ServiceURL4", server.Url("/four").c_str());
  }
  // Presses Find and waits until the run is over (Find is disabled while it runs).
  void Find() {
    SendMessageW(window.cmdFindMyIP.hwnd, BM_CLICK, 0, 0);
    ASSERT_TRUE(nbtest::PumpUntil([&] { return window.cmdFindMyIP.Enabled(); })) << "the run did not end";
  }
  // Loads the window and waits until it shows, which it does once the load step's runs are over.
  void LoadAndWait(FrmMain& main, const wchar_t* arguments) {
    main.Load(arguments);
    main.Show();
    ASSERT_TRUE(nbtest::PumpUntil([&] { return IsWindowVisible(main.hwnd()) != FALSE; })) << "still loading";
  }
  static std::string LogText() { return nbtest::ReadFileBytes(nb::LogPath()); }
  static int LogLines(const std::string& log) { return static_cast<int>(std::count(log.begin(), log.end(), '\n')); }

  nbtest::LoopbackHttpServer server;
};

TEST_F(Detection, FindShowsBothAddressesLogsThemAndEnablesTheAddressTable) {
  Open();
  Find();
  EXPECT_EQ(window.lblLANip.Text(), nb::GetLocalIP());
  EXPECT_EQ(window.lblWANip.Text(), L"198.51.100.2");
  EXPECT_EQ(window.lblHDDNPublicIP.Text(), L"198.51.100.2");
  EXPECT_EQ(server.RequestedPaths(), (std::vector<std::string>{"/one", "/two"}));
  EXPECT_TRUE(MenuEnabled(window, ids::menuShowALLIPs));
  EXPECT_EQ(GetFocus(), window.cmdPREFS.hwnd);
  EXPECT_FALSE(window.frmWorking().Visible());
  EXPECT_EQ(window.frmWorking().lblTrying.Text(), L"Trying 127.0.0.1:" + std::to_wstring(server.port()) + L" ...");
  EXPECT_EQ(GetWindow(window.frmWorking().hwnd(), GW_OWNER), window.hwnd());
  nbtest::ExpectSeenWellAtBothDpis(window.frmWorking());
  const std::string log = LogText();
  EXPECT_EQ(LogLines(log), 1);
  EXPECT_NE(log.find("\",\"" + nb::ToAnsi(nb::GetLocalIP()) + "\",\"198.51.100.2\"\r\n"), std::string::npos) << log;
  EXPECT_TRUE(ui.messages.empty());
  // The same addresses again on the same day add nothing to the log.
  Find();
  EXPECT_EQ(LogText(), log);
}

TEST_F(Detection, TheProgressWindowShowsCentredOverTheMainWindowInsideTheWorkArea) {
  Open();
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(window.hwnd(), MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT work = monitor.rcWork;
  RECT main{};
  GetWindowRect(window.hwnd(), &main);
  const int width = main.right - main.left;
  const int height = main.bottom - main.top;
  // The main window in the top left corner of the screen (where a first start puts it), then in the
  // bottom right one: the progress window follows it and stays wholly on the screen.
  for (const POINT corner : {POINT{work.left, work.top}, POINT{work.right - width, work.bottom - height}}) {
    SetWindowPos(window.hwnd(), nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(window.hwnd(), &main);
    SendMessageW(window.cmdFindMyIP.hwnd, BM_CLICK, 0, 0);
    RECT shown{};
    GetWindowRect(window.frmWorking().hwnd(), &shown);
    ASSERT_TRUE(nbtest::PumpUntil([&] { return window.cmdFindMyIP.Enabled(); }));
    const std::string where = "main window at " + std::to_string(corner.x) + "," + std::to_string(corner.y) +
                              ", progress window at " + std::to_string(shown.left) + "," + std::to_string(shown.top);
    EXPECT_TRUE(shown.left >= work.left && shown.top >= work.top && shown.right <= work.right &&
                shown.bottom <= work.bottom)
        << where;
    RECT overlap{};
    EXPECT_TRUE(IntersectRect(&overlap, &shown, &main)) << where;
    // Centred on the main window along each axis where the screen leaves room for it.
    if (shown.top > work.top && shown.bottom < work.bottom) {
      EXPECT_LE(std::abs((shown.top + shown.bottom) - (main.top + main.bottom)), 1) << where;
    }
  }
}

TEST_F(Detection, NoInternetGivesAccessErrorWithoutAskingAnyService) {
  PointServicesAt(L"http://127.0.0.1:" + std::to_wstring(nbtest::UnusedLoopbackPort()) + L"/");
  Open();
  Find();
  EXPECT_EQ(window.lblLANip.Text(), nb::GetLocalIP());
  EXPECT_EQ(window.lblWANip.Text(), L"Access error");
  EXPECT_EQ(window.lblHDDNPublicIP.Text(), L"Access error");
  EXPECT_EQ(server.TotalRequests(), 0);
  // The run still logs, with the failure text.
  EXPECT_NE(LogText().find("\"Access error\"\r\n"), std::string::npos);
  EXPECT_TRUE(MenuEnabled(window, ids::menuShowALLIPs));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Detection, AutorunWithTheLanSwitchRunsTwiceAndCopiesTheLanAddress) {
  Store(L"Autorun", L"1");
  Store(L"Autoquit", L"1");
  nbtest::SetClipboardUnicode(L"before");
  LoadAndWait(window, L"AutocopyIN");
  EXPECT_EQ(server.Requests("/one"), 2);
  EXPECT_EQ(nbtest::ClipboardUnicode(), nb::GetLocalIP());
  // A switch-driven copy never ends the program, auto-quit or not.
  EXPECT_TRUE(window.IsOpen());
  EXPECT_TRUE(window.userCommandIssued);
  EXPECT_EQ(window.userCommand, L"AutocopyIN");
  // Nor does any later copy in the same run of the program.
  window.SetAddresses(Found(L"192.0.2.2", L"198.51.100.9"));
  ui.popupChoices.push_back(ids::menuCopyWANtoClipboard);
  RightClick(window.lblWANip);
  EXPECT_TRUE(window.IsOpen());
  EXPECT_EQ(nbtest::ClipboardUnicode(), L"198.51.100.9");
}

TEST_F(Detection, ThePublicSwitchCopiesThePublicAddressAndOtherTextsAreNoSwitch) {
  nbtest::SetClipboardUnicode(L"before");
  LoadAndWait(window, L"AutocopyEX");
  EXPECT_EQ(nbtest::ClipboardUnicode(), L"198.51.100.2");
  EXPECT_EQ(server.Requests("/one"), 1);
  window.Unload();
  for (const wchar_t* notASwitch : {L"autocopyEX", L"AutocopyEX ", L"AutocopyIN x"}) {
    FrmMain other;
    LoadAndWait(other, notASwitch);
    EXPECT_FALSE(other.userCommandIssued);
    EXPECT_EQ(other.lblLANip.Text(), L"---.---.---.---");
    other.Unload();
  }
  EXPECT_EQ(server.Requests("/one"), 1);
}

// While a run waits for a silent service the window answers at once, Find excepted; a close then
// ends it at once, and the run's result is dropped: nothing is logged. (That a stopped download
// leaves no scratch file is public_address_win_test.cpp's.)
TEST_F(Detection, DuringARunTheWindowAnswersAndACloseDropsTheRun) {
  server.Silent("/one");
  Open();
  SendMessageW(window.cmdFindMyIP.hwnd, BM_CLICK, 0, 0);
  ASSERT_TRUE(nbtest::PumpUntil([&] { return server.Requests("/one") == 1; }));
  EXPECT_FALSE(window.cmdFindMyIP.Enabled());
  window.cmdFindMyIP_Click();  // no second run beside the first
  SendMessageW(window.hwnd(), WM_COMMAND, ids::menuAbout, 0);
  EXPECT_EQ(ui.modalCaptions.size(), 1u);
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(window.IsOpen());
  nbtest::PumpUntil([] { return false; }, 1500);  // the run's end would have come by now
  EXPECT_EQ(server.Requests("/one"), 1);
  EXPECT_FALSE(nbtest::FileExists(nb::LogPath()));
}

TEST_F(Detection, AnErrorReadingTheAdapterListIsReportedAndNothingIsLogged) {
  Open();
  window.lanLookup = [] { return nb::GetLocalIP(L"netbeacon-no-such-iphlpapi.dll"); };
  Find();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find(L"Error 48 - "), std::wstring::npos);
  EXPECT_NE(ui.messages[0].text.find(L"\r\nfrmMain Sub showIPs\r\n"), std::wstring::npos);
  EXPECT_EQ(window.lblLANip.Text(), L"---.---.---.---");
  EXPECT_EQ(window.lblWANip.Text(), L"---.---.---.---");
  EXPECT_EQ(server.TotalRequests(), 0);
  EXPECT_FALSE(MenuEnabled(window, ids::menuShowALLIPs));
  EXPECT_FALSE(nbtest::FileExists(nb::LogPath()));
  EXPECT_FALSE(window.frmWorking().Visible());
}

// ---- Watch mode ----

// The last tool tip and the notices the icon showed, from the recorded calls.
std::wstring LastTip(const nbtest::RecordingNotifyArea& area) {
  for (auto call = area.calls.rbegin(); call != area.calls.rend(); ++call) {
    if (call->uFlags & NIF_TIP) return call->szTip;
  }
  return {};
}
std::vector<std::wstring> Notices(const nbtest::RecordingNotifyArea& area) {
  std::vector<std::wstring> notices;
  for (const NOTIFYICONDATAW& call : area.calls) {
    if (call.uFlags & NIF_INFO) notices.push_back(std::wstring(call.szInfoTitle) + L": " + call.szInfo);
  }
  return notices;
}

// Watch mode from its menu entry: the icon comes, a check runs at once; a check after a network
// change that finds another public address logs it and says so, and a mail or a command that fails
// on it is said in a notification too; a check that finds no internet says so in the tip and logs
// nothing. (That no progress window shows, and a mail and a command that work, are seen end to end,
// in e2e_win_test.cpp.)
TEST_F(Detection, WatchModeChecksInTheBackgroundAndActsOnAChange) {
  nbtest::RecordingNotifyArea area;
  // A mail component that the server refuses.
  const nb::mail::MailerFactory previous =
      nb::mail::SetMailerFactory([] { return std::make_unique<nbtest::StubMailer>(1, L"Refused;At the end;550 no"); });
  for (const auto& [name, value] : {std::pair{L"WatchMail", L"1"}, {L"WatchCommand", L"exit 3"},
                                    {L"MailFrom", L"ann@example.com"}, {L"MailTo", L"bo@example.com"},
                                    {L"MailSMTP", L"smtp.example.com"}}) {
    Store(name, value);
  }
  Open();
  SendMessageW(window.hwnd(), WM_COMMAND, ids::menuWatch, 0);
  EXPECT_EQ(Stored(L"Watch"), L"1");
  ASSERT_FALSE(area.icons.empty());
  ASSERT_TRUE(nbtest::PumpUntil([&] { return LastTip(area).find(L"198.51.100.2") != std::wstring::npos; }))
      << nb::ToAnsi(LastTip(area));
  EXPECT_TRUE(Notices(area).empty()) << "the first result is no change";

  server.Answer("/two", "198.51.100.9");
  PostMessageW(window.hwnd(), nb::kNetworkChangedMessage, 0, 0);
  ASSERT_TRUE(nbtest::PumpUntil([&] { return Notices(area).size() == 3; })) << Notices(area).size();
  const std::vector<std::wstring> notices = Notices(area);
  EXPECT_EQ(notices.front(), L"Public address changed: The public address is now 198.51.100.9 (it was 198.51.100.2).");
  std::vector<std::wstring> failures(notices.begin() + 1, notices.end());
  std::sort(failures.begin(), failures.end());  // the two run side by side
  EXPECT_EQ(failures, (std::vector<std::wstring>{L"The command failed: The command ended with exit code 3.",
                                                 L"The mail was not sent: Refused.\r\nAt the end; 550 no"}));
  const std::string log = LogText();
  EXPECT_NE(log.find("\"198.51.100.9\"\r\n"), std::string::npos) << log;

  PointServicesAt(L"http://127.0.0.1:" + std::to_wstring(nbtest::UnusedLoopbackPort()) + L"/");
  ui.popupChoices.push_back(nb::watchCheckNow);
  SendMessageW(window.hwnd(), nb::kWatchIconMessage, 0, MAKELPARAM(WM_CONTEXTMENU, nb::NotifyIcon::kId));
  ASSERT_TRUE(nbtest::PumpUntil([&] { return LastTip(area).find(L"No internet connection") != std::wstring::npos; }));
  EXPECT_EQ(LogText(), log) << "a check without internet says nothing about the address";
  EXPECT_EQ(Notices(area).size(), 3u);
  EXPECT_TRUE(ui.messages.empty()) << "a check shows no message box, even a failed one";

  // Back on line with another address: told against the address from before the failed check.
  server.Answer("/two", "198.51.100.10");
  PointServicesAt(server.Url("/probe"));
  ui.popupChoices.push_back(nb::watchCheckNow);
  SendMessageW(window.hwnd(), nb::kWatchIconMessage, 0, MAKELPARAM(WM_CONTEXTMENU, nb::NotifyIcon::kId));
  ASSERT_TRUE(nbtest::PumpUntil([&] { return Notices(area).size() == 6; })) << Notices(area).size();
  EXPECT_EQ(Notices(area)[3],
            L"Public address changed: The public address is now 198.51.100.10 (it was 198.51.100.9).");

  // While watching, a minimised window waits behind the icon, and a click on the icon brings it back.
  ShowWindow(window.hwnd(), SW_MINIMIZE);
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
  SendMessageW(window.hwnd(), nb::kWatchIconMessage, 0, MAKELPARAM(NIN_SELECT, nb::NotifyIcon::kId));
  EXPECT_TRUE(IsWindowVisible(window.hwnd()) && !IsIconic(window.hwnd()));

  SendMessageW(window.hwnd(), WM_COMMAND, ids::menuWatch, 0);
  EXPECT_TRUE(area.icons.empty());
  EXPECT_EQ(Stored(L"Watch"), L"0");
  nb::mail::SetMailerFactory(previous);
}

}  // namespace
