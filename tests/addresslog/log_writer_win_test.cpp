#include "addresslog/log_writer_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "addresslog/short_date.h"
#include "support/scripted_ui_win.h"
#include "base/unique_any_win.h"
#include "base/text_win.h"

namespace {

using nb::CivilDate;
using nb::LogCalendar;

std::string Rec(const std::string& date, const std::string& lan, const std::string& wan) {
  return "\"" + date + "\",\"" + lan + "\",\"" + wan + "\"\r\n";
}

const LogCalendar kUs{CivilDate{2026, 12, 7}, L"M/d/yyyy"};
const std::string kLan = "192.168.1.20";
const std::string kWan = "203.0.113.9";
const std::wstring kLanW = L"192.168.1.20";
const std::wstring kWanW = L"203.0.113.9";

// Bytes as a compressed file has them: NULs, control bytes, double quotes, commas.
const std::string kCompressed("\x1f\x8b\x08\x00\x9c\x05,\"\x01\xed\x9d\",\"\x0b\x8a\x00\"\x22,\r\n", 22);

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

TEST(AppendAddressChanges, Table) {
  const struct {
    const char* name;
    std::optional<std::string> before;  // nothing: no log
    DWORD attributes;
    std::wstring lan, wan;
    LogCalendar calendar;
    std::string after;
    std::optional<std::string> kept;  // the damaged copy, when one is kept
  } cases[] = {
      {"new log", std::nullopt, 0, kLanW, kWanW, kUs, Rec("12/7/2026", kLan, kWan), std::nullopt},
      {"new log, German dates", std::nullopt, 0, kLanW, kWanW, LogCalendar{CivilDate{2026, 3, 9}, L"dd.MM.yyyy"},
       Rec("09.03.2026", kLan, kWan), std::nullopt},
      {"same day, nothing changed", Rec("12/7/2026", kLan, kWan), 0, kLanW, kWanW, kUs, Rec("12/7/2026", kLan, kWan),
       std::nullopt},
      {"same day, public address changed: the last line's date text",
       Rec("12/6/2026", kLan, "1.1.1.1") + Rec("12/07/2026", kLan, kWan), 0, kLanW, L"203.0.113.10", kUs,
       Rec("12/6/2026", kLan, "1.1.1.1") + Rec("12/07/2026", kLan, kWan) + Rec("12/07/2026", kLan, "203.0.113.10"),
       std::nullopt},
      {"new day, nothing changed: carry-over", Rec("12/6/2026", kLan, kWan), 0, kLanW, kWanW, kUs,
       Rec("12/6/2026", kLan, kWan) + Rec("12/7/2026", kLan, kWan), std::nullopt},
      {"new day, LAN changed: two records", Rec("12/6/2026", kLan, kWan), 0, L"10.0.0.5", kWanW, kUs,
       Rec("12/6/2026", kLan, kWan) + Rec("12/7/2026", kLan, kWan) + Rec("12/7/2026", "10.0.0.5", kWan), std::nullopt},
      {"read-only log is read and appended to", Rec("12/6/2026", kLan, kWan), FILE_ATTRIBUTE_READONLY, kLanW,
       L"1.2.3.4", kUs, Rec("12/6/2026", kLan, kWan) + Rec("12/7/2026", kLan, kWan) + Rec("12/7/2026", kLan, "1.2.3.4"),
       std::nullopt},
      {"hidden read-only log", Rec("12/7/2026", kLan, kWan), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, kLanW,
       kWanW, kUs, Rec("12/7/2026", kLan, kWan), std::nullopt},
      {"surrounding spaces", Rec("12/7/2026", kLan, kWan), 0, L"   " + kLanW + L"  ", L" " + kWanW + L"   ", kUs,
       Rec("12/7/2026", kLan, kWan), std::nullopt},
      {"surrounding spaces on a new log", std::nullopt, 0, L"  " + kLanW, kWanW + L"  ", kUs, Rec("12/7/2026", kLan, kWan),
       std::nullopt},
      {"a public address with CR LF", Rec("12/7/2026", kLan, kWan), 0, kLanW, kWanW + L"\r\n", kUs,
       Rec("12/7/2026", kLan, kWan), std::nullopt},
      {"future date: no carry-over", Rec("12/9/2026", kLan, kWan), 0, kLanW, kWanW, kUs, Rec("12/9/2026", kLan, kWan),
       std::nullopt},
      {"future date: the change carries it", Rec("12/9/2026", kLan, kWan), 0, kLanW, L"Access error", kUs,
       Rec("12/9/2026", kLan, kWan) + Rec("12/9/2026", kLan, "Access error"), std::nullopt},
      {"placeholder texts are logged as they stand", std::nullopt, 0, L"---.---.---.---", L"---.---.---.---", kUs,
       Rec("12/7/2026", "---.---.---.---", "---.---.---.---"), std::nullopt},
      {"blank lines after the last record", Rec("12/6/2026", kLan, kWan) + "\r\n\r\n", 0, kLanW, kWanW, kUs,
       Rec("12/6/2026", kLan, kWan) + "\r\n\r\n" + Rec("12/7/2026", kLan, kWan), std::nullopt},
      {"last line without its line end", "\"12/7/2026\",\"" + kLan + "\",\"" + kWan + "\"", 0, kLanW, L"1.2.3.4", kUs,
       Rec("12/7/2026", kLan, kWan) + Rec("12/7/2026", kLan, "1.2.3.4"), std::nullopt},
      // Logs that cannot be read back are kept aside and a one-record log is started.
      {"empty log", std::string(), 0, L" " + kLanW + L" ", kWanW, kUs, Rec("12/7/2026", kLan, kWan), std::string()},
      {"empty read-only log", std::string(), FILE_ATTRIBUTE_READONLY, kLanW, kWanW, kUs, Rec("12/7/2026", kLan, kWan),
       std::string()},
      {"record cut short", Rec("12/6/2026", "10.0.0.5", "1.2.3.4") + "\"12/7/2026\",\"10.0.0.6\"\r\n", 0, kLanW, kWanW,
       kUs, Rec("12/7/2026", "10.0.0.6", "1.2.3.4") + Rec("12/7/2026", kLan, kWan), Rec("12/6/2026", "10.0.0.5", "1.2.3.4") + "\"12/7/2026\",\"10.0.0.6\"\r\n"},
      {"record cut short inside a field", Rec("12/6/2026", "10.0.0.5", "1.2.3.4") + "\"12/7/2026\",\"10.0.0.6\",\"5.6.",
       0, kLanW, kWanW, kUs, Rec("12/7/2026", "10.0.0.6", "1.2.3.4") + Rec("12/7/2026", kLan, kWan),
       Rec("12/6/2026", "10.0.0.5", "1.2.3.4") + "\"12/7/2026\",\"10.0.0.6\",\"5.6."},
      {"date written under another locale", Rec("24.12.2026", "10.0.0.5", "1.2.3.4"), 0, kLanW, kWanW, kUs,
       Rec("12/7/2026", "10.0.0.5", "1.2.3.4") + Rec("12/7/2026", kLan, kWan), Rec("24.12.2026", "10.0.0.5", "1.2.3.4")},
      {"a compressed copy: none of its bytes in the new log", kCompressed, 0, kLanW, kWanW, kUs,
       Rec("12/7/2026", kLan, kWan), kCompressed},
      {"NUL bytes at the end", Rec("12/6/2026", kLan, kWan) + std::string(512, '\0'), 0, kLanW, kWanW, kUs,
       Rec("12/7/2026", kLan, kWan), Rec("12/6/2026", kLan, kWan) + std::string(512, '\0')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    nbtest::ScriptedModalUi ui;
    nbtest::TempFolder folder;
    const std::wstring log = folder.path() + L"Netbeacon.log";
    const std::wstring kept = folder.path() + L"Netbeacon.damaged.log";
    if (c.before) {
      nbtest::WriteFileBytes(log, *c.before);
      if (c.attributes) {
        ASSERT_TRUE(SetFileAttributesW(log.c_str(), c.attributes));
      }
    }
    nb::AppendAddressChanges(log, c.lan, c.wan, c.calendar);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(nbtest::ReadFileBytes(log), c.after);
    EXPECT_EQ(Attributes(log) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
    ASSERT_EQ(nbtest::FileExists(kept), c.kept.has_value());
    if (c.kept) {
      EXPECT_EQ(nbtest::ReadFileBytes(kept), *c.kept);
    }
    EXPECT_FALSE(nbtest::FileExists(folder.path() + L"Netbeacon.damaged-2.log"));
  }
}

TEST(AppendAddressChanges, KeptCopiesAreNeverOverwritten) {
  nbtest::ScriptedModalUi ui;
  nbtest::TempFolder folder;
  const std::wstring log = folder.path() + L"Netbeacon.log";
  const std::string first = Rec("24.12.2026", "10.0.0.5", "1.2.3.4");
  const std::string second = "\"12/7/2026\",\"10.0.0.6\"\r\n";
  nbtest::WriteFileBytes(log, first);
  nb::AppendAddressChanges(log, kLanW, kWanW, kUs);
  nbtest::WriteFileBytes(log, second);
  nb::AppendAddressChanges(log, kLanW, kWanW, kUs);
  nbtest::WriteFileBytes(log, "");
  nb::AppendAddressChanges(log, kLanW, kWanW, kUs);

  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(nbtest::ReadFileBytes(folder.path() + L"Netbeacon.damaged.log"), first);
  EXPECT_EQ(nbtest::ReadFileBytes(folder.path() + L"Netbeacon.damaged-2.log"), second);
  EXPECT_TRUE(nbtest::FileExists(folder.path() + L"Netbeacon.damaged-3.log"));
  EXPECT_EQ(nbtest::ReadFileBytes(folder.path() + L"Netbeacon.damaged-3.log"), "");
  EXPECT_EQ(nbtest::ReadFileBytes(log), Rec("12/7/2026", kLan, kWan));
}

TEST(AppendAddressChanges, AKeptCopyNameTakenByAFolderIsSkipped) {
  nbtest::ScriptedModalUi ui;
  nbtest::TempFolder folder;
  const std::wstring log = folder.path() + L"Netbeacon.log";
  ASSERT_TRUE(CreateDirectoryW((folder.path() + L"Netbeacon.damaged.log").c_str(), nullptr));
  nbtest::WriteFileBytes(log, "garbage\r\n");
  nb::AppendAddressChanges(log, kLanW, kWanW, kUs);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(nbtest::ReadFileBytes(folder.path() + L"Netbeacon.damaged-2.log"), "garbage\r\n");
  EXPECT_EQ(nbtest::ReadFileBytes(log), Rec("12/7/2026", kLan, kWan));
}

void ExpectOneReport(const nbtest::ScriptedModalUi& ui) {
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, L"Error");
  EXPECT_NE(ui.messages[0].text.find(L"\r\nSub updateLOG\r\n"), std::wstring::npos) << ui.messages[0].text;
}

nb::unique_file OpenShared(const std::wstring& path, DWORD share) {
  return nb::unique_file(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(AppendAddressChanges, ALockedLogIsReportedAndLeftAlone) {
  nbtest::ScriptedModalUi ui;
  nbtest::TempFolder folder;
  const std::wstring log = folder.path() + L"Netbeacon.log";
  const std::string before = Rec("12/6/2026", kLan, kWan);
  nbtest::WriteFileBytes(log, before);
  {
    const nb::unique_file lock = OpenShared(log, 0);
    ASSERT_TRUE(lock);
    nb::AppendAddressChanges(log, kLanW, L"1.2.3.4", kUs);
  }
  ExpectOneReport(ui);
  EXPECT_EQ(nbtest::ReadFileBytes(log), before);
  EXPECT_FALSE(nbtest::FileExists(folder.path() + L"Netbeacon.damaged.log"));
}

TEST(AppendAddressChanges, AMissingFolderIsReported) {
  nbtest::ScriptedModalUi ui;
  nbtest::TempFolder folder;
  const std::wstring log = folder.path() + L"no such folder\\Netbeacon.log";
  nb::AppendAddressChanges(log, kLanW, kWanW, kUs);
  ExpectOneReport(ui);
  EXPECT_FALSE(nbtest::FileExists(log));
}

TEST(AppendAddressChanges, ADamagedLogThatCannotBeMovedIsReportedAndLeftAlone) {
  nbtest::ScriptedModalUi ui;
  nbtest::TempFolder folder;
  const std::wstring log = folder.path() + L"Netbeacon.log";
  const std::string before = Rec("24.12.2026", "10.0.0.5", "1.2.3.4");
  nbtest::WriteFileBytes(log, before);
  {
    // Others may read and write it, but not move or delete it.
    const nb::unique_file holder = OpenShared(log, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(holder);
    nb::AppendAddressChanges(log, kLanW, kWanW, kUs);
  }
  ExpectOneReport(ui);
  EXPECT_EQ(nbtest::ReadFileBytes(log), before);
  EXPECT_FALSE(nbtest::FileExists(folder.path() + L"Netbeacon.damaged.log"));
}

TEST(FileExists, Table) {
  nbtest::TempFolder folder;
  const std::wstring file = folder.path() + L"a.log";
  const std::wstring readOnly = folder.path() + L"b.log";
  const std::wstring locked = folder.path() + L"c.log";
  nbtest::WriteFileBytes(file, "x");
  nbtest::WriteFileBytes(readOnly, "");
  ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  nbtest::WriteFileBytes(locked, "x");
  const nb::unique_file lock = OpenShared(locked, 0);
  ASSERT_TRUE(lock);
  const struct {
    std::wstring path;
    bool exists;
  } cases[] = {
      {file, true},
      {readOnly, true},
      {locked, false},  // cannot be opened for reading
      {folder.path() + L"missing.log", false},
      {folder.path(), false},
      {folder.path() + L"no such folder\\a.log", false},
      {L"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::fileexists(c.path), c.exists) << c.path;
}

// The last two non-blank lines, from a read of the whole file split from the front.
std::vector<std::string> LastTwoLinesOfWholeFile(const std::wstring& path) {
  const std::string all = nbtest::ReadFileBytes(path);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= all.size()) {
    std::size_t end = all.find_first_of("\r\n", start);
    if (end == std::string::npos) end = all.size();
    const std::string line = all.substr(start, end - start);
    if (line.find_first_not_of(" \t") != std::string::npos) lines.push_back(line);
    if (end == all.size()) break;
    start = end + ((all[end] == '\r' && end + 1 < all.size() && all[end + 1] == '\n') ? 2 : 1);
  }
  if (lines.size() > 2) lines.erase(lines.begin(), lines.end() - 2);
  return lines;
}

TEST(ReadLogEnd, SameAsAWholeFileReadForLogsTheWriterMade) {
  nbtest::ScriptedModalUi ui;
  nbtest::TempFolder folder;
  const std::wstring log = folder.path() + L"Netbeacon.log";
  const std::wstring wans[] = {L"203.0.113.9", std::wstring(5000, L'5'), L"Access error", L"",
                               std::wstring(70000, L'7'), L"1.2.3.4", L"x"};
  int calls = 0;
  for (int day = 1; day <= 3; ++day) {
    for (const auto& wan : wans) {
      for (const auto& lan : {kLanW, std::wstring(9000, L'9')}) {
        nb::AppendAddressChanges(log, lan, wan, LogCalendar{CivilDate{2026, 12, day}, L"M/d/yyyy"});
        ++calls;
        const auto expected = LastTwoLinesOfWholeFile(log);
        ASSERT_EQ(expected.size(), calls == 1 ? 1u : 2u);
        for (const std::size_t tail : {1u, 7u, 64u, 4096u, 1u << 20}) {
          const nb::LogEndScan scan = nb::ReadLogEnd(log, 2, tail);
          ASSERT_EQ(scan.lines, expected) << "call " << calls << ", tail " << tail;
          ASSERT_TRUE(scan.endsWithLineBreak);
        }
        // And what the writer reads back is what it wrote last.
        ASSERT_EQ(nb::FromAnsi(expected.back()),
                  L"\"12/" + std::to_wstring(day) + L"/2026\",\"" + lan + L"\",\"" + wan + L"\"");
      }
    }
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST(AppendAddressChanges, TextsTheCodePageCannotHoldAreComparedAsWritten) {
  nbtest::ScriptedModalUi ui;
  nbtest::TempFolder folder;
  const std::wstring log = folder.path() + L"Netbeacon.log";
  const std::wstring odd = L"\u4e00\u4e8c \u00e9";
  nb::AppendAddressChanges(log, kLanW, odd, kUs);
  const std::string once = nbtest::ReadFileBytes(log);
  EXPECT_EQ(once, Rec("12/7/2026", kLan, nb::ToAnsi(odd)));
  nb::AppendAddressChanges(log, kLanW, odd, kUs);
  EXPECT_EQ(nbtest::ReadFileBytes(log), once);  // the same text: nothing appended
  EXPECT_TRUE(ui.messages.empty());
}

// The formatter against the system's own formatting of the same date picture.
TEST(ShortDate, WritesWhatTheSystemWrites) {
  const wchar_t* locales[] = {L"en-US", L"en-GB", L"de-DE", L"fr-FR", L"nl-NL", L"it-IT", L"es-ES", L"pt-BR",
                              L"sv-SE", L"fi-FI", L"pl-PL", L"cs-CZ", L"hu-HU", L"ru-RU", L"tr-TR", L"ja-JP",
                              L"zh-CN", L"ko-KR", L"da-DK", L"nb-NO"};
  std::vector<std::wstring> pictures = {L"M/d/yyyy",   L"dd.MM.yyyy", L"dd/MM/yyyy",        L"yyyy-MM-dd",
                                        L"d-M-yy",     L"d.M.y",      L"yyyy'-'M'-'d",      L"d''.M''.yyyy",
                                        L"'d'd/M/yyyy", L"yyyyMMdd",   L"yyyy. MM. dd.", L"'it''s' d/M/yyyy",
                                        L"''''d/M/yyyy", L"yyy/M/d", L"yyyyy/M/d", L"d/M/yyyy 'open", L"M/d/yyyy x"};
  for (const wchar_t* name : locales) {
    wchar_t pattern[100] = {};
    if (GetLocaleInfoEx(name, LOCALE_SSHORTDATE, pattern, 100) > 0 && nb::IsNumericShortDatePattern(pattern)) {
      pictures.emplace_back(pattern);
    }
  }
  ASSERT_GT(pictures.size(), 20u);
  const CivilDate dates[] = {{2026, 12, 7}, {2026, 3, 9}, {2009, 1, 1}, {2000, 2, 29}, {1999, 12, 31}, {2031, 10, 5}};
  for (const auto& picture : pictures) {
    for (const auto& date : dates) {
      SYSTEMTIME st{};
      st.wYear = static_cast<WORD>(date.year);
      st.wMonth = static_cast<WORD>(date.month);
      st.wDay = static_cast<WORD>(date.day);
      wchar_t text[100] = {};
      ASSERT_GT(GetDateFormatEx(L"en-US", 0, &st, picture.c_str(), text, 100, nullptr), 0) << picture;
      EXPECT_EQ(nb::FormatShortDate(date, picture), text) << picture;
    }
  }
}

// The real clock and the user's locale: the log's date is what the system writes as today's short date.
TEST(UpdateLogWithTheUserLocale, WritesTodayAsTheSystemDoes) {
  nbtest::ScriptedModalUi ui;
  const std::wstring log = nb::LogPath();
  const std::wstring aside = log + L".test-aside";
  const bool hadLog = nbtest::FileExists(log);
  if (hadLog) {
    ASSERT_TRUE(MoveFileExW(log.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING));
  }

  wchar_t today[100] = {};
  ASSERT_GT(GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, today, 100, nullptr), 0);
  nb::AppendAddressChanges(L" 10.0.0.7 ", L"198.51.100.3");
  const std::string written = nbtest::ReadFileBytes(log);
  nb::AppendAddressChanges(L"10.0.0.7", L"198.51.100.3");  // the same day and addresses: nothing more
  const std::string again = nbtest::ReadFileBytes(log);

  DeleteFileW(log.c_str());
  if (hadLog) MoveFileExW(aside.c_str(), log.c_str(), MOVEFILE_REPLACE_EXISTING);

  EXPECT_TRUE(ui.messages.empty());
  std::string expected(1, '"');
  expected += nb::ToAnsi(today);
  expected += "\",\"10.0.0.7\",\"198.51.100.3\"\r\n";
  EXPECT_EQ(written, expected);
  EXPECT_EQ(again, written);
  EXPECT_NE(log.find(L"\\Netbeacon.log"), std::wstring::npos);
}

}  // namespace
