#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "addresslog/frmClear_win.h"
#include "addresslog/log_writer_win.h"
#include "support/scripted_ui_win.h"
#include "support/window_checks_win.h"
#include "base/app_error.h"
#include "base/unique_any_win.h"

namespace {

using namespace std::string_literals;

// An old log with bytes outside ASCII and a NUL: the backup must hold exactly these.
const std::string kOldLog = "\"3/9/2024\",\"192.168.1.10\",\"203.0.113.7\"\r\n"
                            "\"3/10/2024\",\"192.168.1.11\",\"Access error\"\r\n\xE9\xFF\x00 end"s;
const std::string kOldLog6 = "\"3/9/2024\",\"2001:db8::10\",\"2001:db8::7\"\r\n";

enum class Msg { Cleared, ClearedSaved, Cleared6, ClearedSaved6, KillReport };

// What the window showed, as kinds; anything unexpected makes the comparison fail.
std::vector<Msg> Kinds(const std::vector<nb::MessageBoxArgs>& messages) {
  std::vector<Msg> kinds;
  for (const nb::MessageBoxArgs& m : messages) {
    if (m.title == L"Done!" && m.text == nb::kLogClearedText && m.style == (MB_OK | MB_ICONINFORMATION)) {
      kinds.push_back(Msg::Cleared);
    } else if (m.title == L"Done!" && m.text == nb::kLogClearedSavedText && m.style == (MB_OK | MB_ICONINFORMATION)) {
      kinds.push_back(Msg::ClearedSaved);
    } else if (m.title == L"Done!" && m.text == nb::kLog6ClearedText && m.style == (MB_OK | MB_ICONINFORMATION)) {
      kinds.push_back(Msg::Cleared6);
    } else if (m.title == L"Done!" && m.text == nb::kLog6ClearedSavedText && m.style == (MB_OK | MB_ICONINFORMATION)) {
      kinds.push_back(Msg::ClearedSaved6);
    } else if (m.title == nb::kErrorWord && m.style == MB_OK &&
               m.text.find(L"\r\nfrmClear - killLOGFILE\r\n") != std::wstring::npos) {
      kinds.push_back(Msg::KillReport);
    } else {
      ADD_FAILURE() << "unexpected message: " << testing::PrintToString(m.title) << " "
                    << testing::PrintToString(m.text);
    }
  }
  return kinds;
}

// One opening of the dialog against the logs in a scratch folder, with updateLOG counted.
struct Clearing {
  nbtest::TempFolder folder;
  std::wstring log = folder.path() + L"Netbeacon.log";
  std::wstring log6 = folder.path() + L"Netbeacon-IPv6.log";
  nbtest::ScriptedModalUi ui;
  int updates = 0;
  std::vector<bool> logExistedAtUpdate;
  std::vector<bool> log6ExistedAtUpdate;
  bool ended = false;
  std::wstring flag;

  nb::FrmClear MakeForm() {
    return nb::FrmClear(
        [this] {
          ++updates;
          logExistedAtUpdate.push_back(nbtest::FileExists(log));
          log6ExistedAtUpdate.push_back(nbtest::FileExists(log6));
        },
        [this] { return log; }, [this] { return log6; });
  }

  // Selects an option and presses cmdProceed as a click does.
  void Proceed(bool withBackup) {
    nb::FrmClear form = MakeForm();
    ui.onModal = [&](nb::ModalWindow& window) {
      auto& f = static_cast<nb::FrmClear&>(window);
      f.optClearNoBackup.SetValue(withBackup ? BST_UNCHECKED : BST_CHECKED);
      f.optClearPlusBackup.SetValue(withBackup ? BST_CHECKED : BST_UNCHECKED);
      SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(nb::FrmClear::idCmdProceed, BN_CLICKED),
                   reinterpret_cast<LPARAM>(f.cmdProceed.hwnd));
      ended = f.EndRequested();
      flag = f.HDDNlabel.Text();
    };
    nb::Modal().ShowModal(form, nullptr);
  }
};

enum class Log { Missing, Present, ReadOnly, Locked };
enum class Answer { NoDialog, Cancel, Named, LogItself };

struct ClearCase {
  const char* name;
  bool backup;
  Log log;
  Answer answer;
  const wchar_t* typedName;    // Answer::Named: the name given in the save dialog (in the scratch folder)
  const char* existingBackup;  // content of a file of that name before the run, or nullptr
  std::vector<Msg> messages;
  long reportNumber;            // the error number of the kill report, when there is one
  bool logDeleted;
  const wchar_t* backupFile;   // file that must then hold the old log, or nullptr
  const wchar_t* absentFile;   // file that must not exist afterwards, or nullptr
};

void PrintTo(const ClearCase& c, std::ostream* os) { *os << c.name; }

class ClearTable : public testing::TestWithParam<ClearCase> {};

TEST_P(ClearTable, ClearsBacksUpAndReportsAsTheOptionAndLogSay) {
  const ClearCase& c = GetParam();
  Clearing run;
  nb::unique_file lock;
  if (c.log != Log::Missing) nbtest::WriteFileBytes(run.log, kOldLog);
  if (c.log == Log::ReadOnly) {
    ASSERT_TRUE(SetFileAttributesW(run.log.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  }
  if (c.log == Log::Locked) {
    // Held open by another program that lets others read but not delete it.
    lock.reset(CreateFileW(run.log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
  }
  if (c.existingBackup) nbtest::WriteFileBytes(run.folder.path() + c.typedName, c.existingBackup);
  switch (c.answer) {
    case Answer::NoDialog:
      break;
    case Answer::Cancel:
      run.ui.saveAnswers.push_back(std::nullopt);
      break;
    case Answer::Named:
      run.ui.saveAnswers.push_back(run.folder.path() + c.typedName);
      break;
    case Answer::LogItself:
      run.ui.saveAnswers.push_back(run.log);
      break;
  }

  run.Proceed(c.backup);
  lock.reset();

  EXPECT_EQ(Kinds(run.ui.messages), c.messages);
  if (std::find(c.messages.begin(), c.messages.end(), Msg::KillReport) != c.messages.end()) {
    const std::wstring line = L"Error " + std::to_wstring(c.reportNumber) + L" - ";
    EXPECT_NE(run.ui.messages.back().text.find(line), std::wstring::npos) << testing::PrintToString(run.ui.messages.back().text);
  }
  EXPECT_EQ(run.ui.saveDialogs.size(), c.answer == Answer::NoDialog ? 0u : 1u);
  // updateLOG ran once, after the clearing step, and the dialog closed.
  EXPECT_EQ(run.updates, 1);
  ASSERT_EQ(run.logExistedAtUpdate.size(), 1u);
  EXPECT_EQ(run.logExistedAtUpdate[0], !c.logDeleted && c.log != Log::Missing);
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.flag, c.backup ? L"donotshowMSGBOX" : L"showMSGBOX");
  if (c.log != Log::Missing && !c.logDeleted) {
    EXPECT_EQ(nbtest::ReadFileBytes(run.log), kOldLog);
  }
  if (c.backupFile) {
    EXPECT_EQ(nbtest::ReadFileBytes(run.folder.path() + c.backupFile), kOldLog);
  }
  if (c.absentFile) {
    EXPECT_FALSE(nbtest::FileExists(run.folder.path() + c.absentFile));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClearTable,
    testing::Values(
        ClearCase{"no backup", false, Log::Present, Answer::NoDialog, nullptr, nullptr, {Msg::Cleared}, 0, true,
                  nullptr, nullptr},
        // Read-only with the archive bit too (the usual case): deleted all the same.
        ClearCase{"no backup, read-only log", false, Log::ReadOnly, Answer::NoDialog, nullptr, nullptr,
                  {Msg::Cleared}, 0, true, nullptr, nullptr},
        ClearCase{"no backup, no log", false, Log::Missing, Answer::NoDialog, nullptr, nullptr, {Msg::KillReport},
                  53, false, nullptr, nullptr},
        ClearCase{"no backup, log in use", false, Log::Locked, Answer::NoDialog, nullptr, nullptr,
                  {Msg::KillReport}, 70, false, nullptr, nullptr},
        ClearCase{"backup to a new file", true, Log::Present, Answer::Named, L"saved.txt", nullptr,
                  {Msg::ClearedSaved}, 0, true, L"saved.txt", nullptr},
        ClearCase{"backup typed without extension", true, Log::Present, Answer::Named, L"saved", nullptr,
                  {Msg::ClearedSaved}, 0, true, L"saved.txt", L"saved"},
        ClearCase{"backup replaces an existing file", true, Log::Present, Answer::Named, L"old.txt",
                  "something else entirely, and longer than the log is, so that a short write would show",
                  {Msg::ClearedSaved}, 0, true, L"old.txt", nullptr},
        ClearCase{"backup of a read-only log", true, Log::ReadOnly, Answer::Named, L"saved.txt", nullptr,
                  {Msg::ClearedSaved}, 0, true, L"saved.txt", nullptr},
        ClearCase{"backup cancelled", true, Log::Present, Answer::Cancel, nullptr, nullptr, {}, 0, false, nullptr,
                  nullptr},
        ClearCase{"backup without a log", true, Log::Missing, Answer::Named, L"saved.txt", nullptr, {}, 0, false,
                  nullptr, L"saved.txt"},
        ClearCase{"backup into a missing folder", true, Log::Present, Answer::Named, L"no such folder\\saved.txt",
                  nullptr, {}, 0, false, nullptr, nullptr},
        // Saving the log onto itself would leave neither the log nor a copy.
        ClearCase{"backup onto the log itself", true, Log::Present, Answer::LogItself, nullptr, nullptr, {}, 0,
                  false, nullptr, nullptr},
        // The copy is made but the log cannot go: the failure is reported, not a success.
        ClearCase{"backup, log in use", true, Log::Locked, Answer::Named, L"saved.txt", nullptr, {Msg::KillReport},
                  70, false, L"saved.txt", nullptr}),
    [](const testing::TestParamInfo<ClearCase>& info) {
      std::string name;
      for (const char* p = info.param.name; *p; ++p) {
        if ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9')) name += *p;
      }
      return name;
    });

TEST(FrmClear, LoadsWithTheBackupOptionAndTheHiddenFlagLabel) {
  Clearing run;
  nb::FrmClear form = run.MakeForm();
  run.ui.onModal = [&](nb::ModalWindow& window) {
    auto& f = static_cast<nb::FrmClear&>(window);
    EXPECT_EQ(f.optClearPlusBackup.Value(), BST_CHECKED);
    EXPECT_EQ(f.optClearNoBackup.Value(), BST_UNCHECKED);
    EXPECT_EQ(f.HDDNlabel.Text(), L"HDDNlabel");
    EXPECT_FALSE(GetWindowLongPtrW(f.HDDNlabel.hwnd, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(f.chkClearLog6.hwnd, nullptr) << "a box for an IPv6 log that is not there";
    // Enter presses cmdProceed, Esc is cmdCancel.
    EXPECT_EQ(SendMessageW(f.hwnd(), DM_GETDEFID, 0, 0), MAKELRESULT(nb::FrmClear::idCmdProceed, DC_HASDEFID));
    EXPECT_EQ(GetWindowLongPtrW(f.cmdProceed.hwnd, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetDlgCtrlID(f.cmdCancel.hwnd), IDCANCEL);
    // The two options form one group of their own.
    EXPECT_EQ(GetNextDlgGroupItem(f.hwnd(), f.optClearPlusBackup.hwnd, FALSE), f.optClearNoBackup.hwnd);
    EXPECT_EQ(GetNextDlgGroupItem(f.hwnd(), f.optClearNoBackup.hwnd, FALSE), f.optClearPlusBackup.hwnd);
    nbtest::ExpectSeenWellAtBothDpis(f);
  };
  nb::Modal().ShowModal(form, nullptr);
  ASSERT_EQ(run.ui.modalCaptions.size(), 1u);
}

TEST(FrmClear, TheBackupDialogProposesTheOldLogNameEachTime) {
  Clearing run;
  nbtest::WriteFileBytes(run.log, kOldLog);
  run.ui.saveAnswers = {run.folder.path() + L"first.txt", std::nullopt};
  run.Proceed(true);
  nbtest::WriteFileBytes(run.log, kOldLog);
  run.Proceed(true);
  ASSERT_EQ(run.ui.saveDialogs.size(), 2u);
  for (const nb::FileDialogArgs& d : run.ui.saveDialogs) {
    EXPECT_EQ(d.title, L"Backup old log ");
    EXPECT_EQ(d.fileName, L"Netbeacon_log_OLD.txt");
    EXPECT_EQ(d.defaultExt, L"txt");
    EXPECT_EQ(d.filter, L"");
    EXPECT_TRUE(d.overwritePrompt);
    EXPECT_NE(d.owner, nullptr);
  }
}

TEST(FrmClear, CancelClosesWithoutAction) {
  Clearing run;
  nbtest::WriteFileBytes(run.log, kOldLog);
  nb::FrmClear form = run.MakeForm();
  run.ui.onModal = [&](nb::ModalWindow& window) {
    auto& f = static_cast<nb::FrmClear&>(window);
    SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(f.cmdCancel.hwnd));
    run.ended = f.EndRequested();
  };
  nb::Modal().ShowModal(form, nullptr);
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.updates, 0);
  EXPECT_TRUE(run.ui.messages.empty());
  EXPECT_TRUE(run.ui.saveDialogs.empty());
  EXPECT_EQ(nbtest::ReadFileBytes(run.log), kOldLog);
}

// With the IPv6 log there (its box ticked), the chosen option goes to it too.
struct Log6Case {
  const char* name;
  bool backup;
  std::vector<std::optional<std::wstring>> saveAnswers;  // names in the scratch folder, in order
  std::vector<Msg> messages;
  bool log6Cleared;
  const wchar_t* log6Backup;  // the file that must then hold the old IPv6 log, or nullptr
};

void PrintTo(const Log6Case& c, std::ostream* os) { *os << c.name; }

class Log6Table : public testing::TestWithParam<Log6Case> {};

TEST_P(Log6Table, TheIPv6LogFollowsTheAddressLog) {
  const Log6Case& c = GetParam();
  Clearing run;
  nbtest::WriteFileBytes(run.log, kOldLog);
  nbtest::WriteFileBytes(run.log6, kOldLog6);
  for (const auto& name : c.saveAnswers) run.ui.saveAnswers.push_back(name ? run.folder.path() + *name : name);

  run.Proceed(c.backup);

  EXPECT_EQ(Kinds(run.ui.messages), c.messages);
  EXPECT_FALSE(nbtest::FileExists(run.log));
  EXPECT_EQ(nbtest::ReadFileBytes(run.log6), c.log6Cleared ? "" : kOldLog6);
  // Both logs are dealt with before updateLOG runs, once.
  EXPECT_EQ(run.log6ExistedAtUpdate, std::vector<bool>{!c.log6Cleared});
  ASSERT_EQ(run.ui.saveDialogs.size(), c.saveAnswers.size());
  if (c.saveAnswers.size() == 2) {
    EXPECT_EQ(run.ui.saveDialogs[1].fileName, L"Netbeacon-IPv6_log_OLD.txt");
  }
  if (c.log6Backup) {
    EXPECT_EQ(nbtest::ReadFileBytes(run.folder.path() + c.log6Backup), kOldLog6);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Log6Table,
    testing::Values(
        Log6Case{"NoBackup", false, {}, {Msg::Cleared, Msg::Cleared6}, true, nullptr},
        Log6Case{"WithBackups", true, {L"old.txt", L"old6"}, {Msg::ClearedSaved, Msg::ClearedSaved6}, true,
                 L"old6.txt"},
        Log6Case{"IPv6BackupCancelled", true, {L"old.txt", std::nullopt}, {Msg::ClearedSaved}, false, nullptr}),
    [](const testing::TestParamInfo<Log6Case>& info) { return std::string(info.param.name); });

// (That its box starts ticked, the table above shows; that unticking it keeps the log, KeyTable.)
TEST(FrmClear, WithTheIPv6LogItsBoxFitsAtBothDpis) {
  Clearing run;
  nbtest::WriteFileBytes(run.log6, kOldLog6);
  nb::FrmClear form = run.MakeForm();
  run.ui.onModal = [&](nb::ModalWindow& window) { nbtest::ExpectSeenWellAtBothDpis(window); };
  nb::Modal().ShowModal(form, nullptr);
  ASSERT_EQ(run.ui.modalCaptions.size(), 1u);
}

// With the log writer behind it, a cleared log restarts with exactly one line of the current labels.
struct RestartCase {
  const wchar_t* lan;
  const wchar_t* wan;
  const char* lineEnd;
};

class RestartTable : public testing::TestWithParam<RestartCase> {};

TEST_P(RestartTable, AClearedLogRestartsWithOneLine) {
  const RestartCase& c = GetParam();
  Clearing run;
  nbtest::WriteFileBytes(run.log, kOldLog);
  nb::FrmClear form([&] { nb::AppendAddressChanges(run.log, c.lan, c.wan, nb::CurrentLogCalendar()); },
                    [&] { return run.log; }, [&] { return run.log6; });
  run.ui.onModal = [&](nb::ModalWindow& window) {
    auto& f = static_cast<nb::FrmClear&>(window);
    f.optClearNoBackup.SetValue(BST_CHECKED);
    f.optClearPlusBackup.SetValue(BST_UNCHECKED);
    SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(nb::FrmClear::idCmdProceed, BN_CLICKED), 0);
  };
  nb::Modal().ShowModal(form, nullptr);
  const std::string written = nbtest::ReadFileBytes(run.log);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1) << written;
  ASSERT_GE(written.size(), std::strlen(c.lineEnd));
  EXPECT_EQ(written.substr(written.size() - std::strlen(c.lineEnd)), c.lineEnd) << written;
  EXPECT_EQ(Kinds(run.ui.messages), std::vector<Msg>{Msg::Cleared});
}

INSTANTIATE_TEST_SUITE_P(Labels, RestartTable,
                         testing::Values(RestartCase{L" 192.168.1.10 ", L"203.0.113.7", "\",\"192.168.1.10\",\"203.0.113.7\"\r\n"},
                                         RestartCase{L"---.---.---.---", L"---.---.---.---",
                                                     "\",\"---.---.---.---\",\"---.---.---.---\"\r\n"}));

// Keyboard: the dialog runs in the real modal loop, and each key goes to the control that has the
// focus when its turn comes, as a key press would.
class KeyedClear : public nb::FrmClear {
 public:
  static constexpr UINT kNextKey = WM_APP + 77;
  // Not a key: the focus goes to cmdCancel as a mouse press on it (released elsewhere) puts it there.
  static constexpr WPARAM kFocusCancel = 0;

  KeyedClear(std::vector<WPARAM> keys, std::function<void()> updateLog, std::function<std::wstring()> logPath,
             std::function<std::wstring()> log6Path)
      : FrmClear(std::move(updateLog), std::move(logPath), std::move(log6Path)), keys_(std::move(keys)) {}

  void Load(HWND owner) override {
    FrmClear::Load(owner);
    PostMessageW(hwnd(), kNextKey, 0, 0);
  }

  std::vector<HWND> focusAtKey;

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (msg == kNextKey) {
      if (wParam < keys_.size()) {
        HWND focus = GetFocus();
        focusAtKey.push_back(focus);
        if (keys_[wParam] == kFocusCancel) {
          SetFocus(cmdCancel.hwnd);
        } else {
          // Pressed and released: a button clicks on the release of Space.
          PostMessageW(focus ? focus : hwnd(), WM_KEYDOWN, keys_[wParam], 1);
          PostMessageW(focus ? focus : hwnd(), WM_KEYUP, keys_[wParam], 0xC0000001);
        }
        PostMessageW(hwnd(), kNextKey, wParam + 1, 0);
      }
      result = 0;
      return true;
    }
    return FrmClear::OnMessage(msg, wParam, lParam, result);
  }

 private:
  std::vector<WPARAM> keys_;
};

nb::ModalWindow* g_bounded = nullptr;
bool g_expired = false;
void CALLBACK EndOnTime(HWND, UINT, UINT_PTR, DWORD) {
  g_expired = true;
  if (g_bounded) g_bounded->EndModal();
}

enum class KeyOutcome { Nothing, ClearedWithoutBackup, BackupAsked };

struct KeyCase {
  const char* name;
  std::vector<WPARAM> keys;
  KeyOutcome outcome;
  bool log6 = false;  // an IPv6 log is there; the keys untick its box, so it is kept
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class KeyTable : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyTable, KeysActLikeInADialog) {
  const KeyCase& c = GetParam();
  Clearing run;
  nbtest::WriteFileBytes(run.log, kOldLog);
  if (c.log6) nbtest::WriteFileBytes(run.log6, kOldLog6);
  KeyedClear form(c.keys, [&] { ++run.updates; }, [&] { return run.log; }, [&] { return run.log6; });
  g_bounded = &form;
  g_expired = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10000, EndOnTime);  // the bound of the modal run
  nb::SystemModalUi().ShowModal(form, nullptr);
  KillTimer(nullptr, timer);
  g_bounded = nullptr;

  EXPECT_FALSE(g_expired) << "the keys did not close the dialog";
  ASSERT_FALSE(form.focusAtKey.empty());
  EXPECT_NE(form.focusAtKey[0], nullptr) << "no control had the focus when the dialog opened";
  switch (c.outcome) {
    case KeyOutcome::Nothing:
      EXPECT_EQ(run.updates, 0);
      EXPECT_TRUE(run.ui.messages.empty());
      EXPECT_TRUE(run.ui.saveDialogs.empty());
      EXPECT_EQ(nbtest::ReadFileBytes(run.log), kOldLog);
      break;
    case KeyOutcome::ClearedWithoutBackup:
      EXPECT_EQ(run.updates, 1);
      EXPECT_EQ(Kinds(run.ui.messages), std::vector<Msg>{Msg::Cleared});
      EXPECT_TRUE(run.ui.saveDialogs.empty());
      EXPECT_FALSE(nbtest::FileExists(run.log));
      break;
    case KeyOutcome::BackupAsked:  // the scripted dialog is cancelled
      EXPECT_EQ(run.updates, 1);
      EXPECT_TRUE(run.ui.messages.empty());
      EXPECT_EQ(run.ui.saveDialogs.size(), 1u);
      EXPECT_EQ(nbtest::ReadFileBytes(run.log), kOldLog);
      break;
  }
  if (c.log6) {
    EXPECT_EQ(nbtest::ReadFileBytes(run.log6), kOldLog6);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTable,
    testing::Values(KeyCase{"Esc", {VK_ESCAPE}, KeyOutcome::Nothing},
                    KeyCase{"Enter", {VK_RETURN}, KeyOutcome::BackupAsked},
                    KeyCase{"UpThenEnter", {VK_UP, VK_RETURN}, KeyOutcome::ClearedWithoutBackup},
                    KeyCase{"UpDownThenEnter", {VK_UP, VK_DOWN, VK_RETURN}, KeyOutcome::BackupAsked},
                    KeyCase{"TabToProceedThenEnter", {VK_UP, VK_TAB, VK_RETURN}, KeyOutcome::ClearedWithoutBackup},
                    // Enter on the focused Cancel button cancels; it does not clear.
                    KeyCase{"TabToCancelThenEnter", {VK_UP, VK_TAB, VK_TAB, VK_RETURN}, KeyOutcome::Nothing},
                    KeyCase{"FocusOnCancelThenEnter", {VK_UP, KeyedClear::kFocusCancel, VK_RETURN}, KeyOutcome::Nothing},
                    KeyCase{"FocusOnCancelThenTabThenEnter",
                            {VK_UP, KeyedClear::kFocusCancel, VK_TAB, VK_RETURN}, KeyOutcome::ClearedWithoutBackup},
                    KeyCase{"TabRoundToTheOptionThenEnter", {VK_UP, VK_TAB, VK_TAB, VK_TAB, VK_RETURN},
                            KeyOutcome::ClearedWithoutBackup},
                    KeyCase{"TabToTheIPv6BoxSpaceThenEnter", {VK_UP, VK_TAB, VK_SPACE, VK_RETURN},
                            KeyOutcome::ClearedWithoutBackup, true}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

}  // namespace
