#include "addresslog/log_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Narrow(const std::wstring& text) {
  std::string bytes;
  for (const wchar_t c : text) bytes += static_cast<char>(c);
  return bytes;
}

TEST(LogRecord, Format) {
  EXPECT_EQ(nb::FormatLogRecord(L"12/7/2026", L"192.168.1.20", L"203.0.113.9"),
            L"\"12/7/2026\",\"192.168.1.20\",\"203.0.113.9\"\r\n");
  EXPECT_EQ(nb::FormatLogRecord(L"", L"", L"Access error"), L"\"\",\"\",\"Access error\"\r\n");
}

TEST(LogRecord, FieldText) {
  const struct {
    std::wstring label, expected;
  } cases[] = {
      {L"192.168.1.20", L"192.168.1.20"},
      {L"  192.168.1.20   ", L"192.168.1.20"},
      {L"203.0.113.9\r\n", L"203.0.113.9"},
      {L"203.0.113.9\n", L"203.0.113.9"},
      {L"\r\n 203.0.113.9 \r", L"203.0.113.9"},
      {L"Access error", L"Access error"},
      {L" a\r\nb ", L"ab"},
      {L"say \"hi\"", L"say hi"},
      {L"\t10.0.0.1\t", L"\t10.0.0.1\t"},  // only spaces are trimmed
      {L"", L""},
      {L"   ", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::LogFieldText(c.label), c.expected) << c.label;
}

TEST(LogRecord, ReadItemsTable) {
  const struct {
    std::wstring line;
    std::vector<std::wstring> items;
    bool cutShort;
  } cases[] = {
      {L"\"12/7/2026\",\"192.168.1.20\",\"203.0.113.9\"", {L"12/7/2026", L"192.168.1.20", L"203.0.113.9"}, false},
      {L"\"12/7/2026\",\"\",\"Access error\"", {L"12/7/2026", L"", L"Access error"}, false},
      {L"\"\",\"\",\"\"", {L"", L"", L""}, false},
      {L"\"a, b\",\"c\",\"d\"", {L"a, b", L"c", L"d"}, false},  // a comma inside quotes
      {L"  \"a\" , \"b\",\t\"c\"  ", {L"a", L"b", L"c"}, false},
      {L"12/7/2026,192.168.1.20,203.0.113.9", {L"12/7/2026", L"192.168.1.20", L"203.0.113.9"}, false},
      {L" 12/7/2026 ,  x y  ,z", {L"12/7/2026", L"x y", L"z"}, false},
      {L"\"a\"junk,\"b\",\"c\"", {L"a", L"b", L"c"}, false},
      {L"\"a\",\"b\",\"c\",\"d\"", {L"a", L"b", L"c", L"d"}, false},
      {L"a,,", {L"a", L"", L""}, false},
      {L"\"12/7/2026\",\"192.168.1.20\"", {L"12/7/2026", L"192.168.1.20"}, false},
      {L"\"12/7/2026\"", {L"12/7/2026"}, false},
      {L"\"12/7/2026\",\"192.168.1.20\",\"203.0.", {L"12/7/2026", L"192.168.1.20"}, true},
      {L"\"12/7/20", {}, true},
      {L"\"", {}, true},
  };
  for (const auto& c : cases) {
    const nb::LogLineItems got = nb::ReadLogItems(c.line);
    EXPECT_EQ(got.items, c.items) << c.line;
    EXPECT_EQ(got.cutShort, c.cutShort) << c.line;
  }
}

// Whatever label texts the writer is given, its record reads back as the three fields it wrote.
TEST(LogRecord, EveryWrittenRecordReadsBack) {
  const std::wstring texts[] = {L"",           L"192.168.1.20", L"Access error", L"---.---.---.---", L" a, b ",
                                L"x\r\ny",     L"\"q\"",        L"\",\"",        L"a\tb",            L",,,",
                                L"\u00e9t\u00e9", std::wstring(5000, L'7')};
  for (const auto& date : {L"12/7/2026", L"24.12.2026", L"2026\u5e74""3\u6708""9\u65e5"}) {
    for (const auto& lan : texts) {
      for (const auto& wan : texts) {
        const std::wstring l = nb::LogFieldText(lan), w = nb::LogFieldText(wan);
        std::wstring record = nb::FormatLogRecord(date, l, w);
        ASSERT_EQ(record.substr(record.size() - 2), L"\r\n");
        record.resize(record.size() - 2);
        ASSERT_EQ(record.find_first_of(L"\r\n"), std::wstring::npos);
        const nb::LogLineItems got = nb::ReadLogItems(record);
        ASSERT_FALSE(got.cutShort) << record;
        ASSERT_EQ(got.items, (std::vector<std::wstring>{date, l, w})) << record;
      }
    }
  }
}

// The last non-blank lines of a whole log, found by splitting it into lines from the front.
std::vector<std::string> LastLinesFromTheFront(const std::string& log, std::size_t count) {
  std::vector<std::string> lines;
  std::string current;
  for (std::size_t i = 0; i <= log.size(); ++i) {
    if (i == log.size() || log[i] == '\r' || log[i] == '\n') {
      if (current.find_first_not_of(" \t") != std::string::npos) lines.push_back(current);
      current.clear();
      if (i + 1 < log.size() && log[i] == '\r' && log[i + 1] == '\n') ++i;
    } else {
      current += log[i];
    }
  }
  if (lines.size() > count) lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(count));
  return lines;
}

std::vector<std::string> SampleLogs() {
  const std::string a = "\"12/6/2026\",\"192.168.1.20\",\"203.0.113.9\"\r\n";
  const std::string b = "\"12/7/2026\",\"192.168.1.20\",\"203.0.113.10\"\r\n";
  const std::string longLine = "\"12/7/2026\",\"" + std::string(300, '1') + "\",\"Access error\"\r\n";
  return {
      "",
      a,
      a + b,
      a + b + a + b + b,
      a + longLine,
      longLine + a,
      longLine + longLine,
      a + b + "\r\n\r\n",            // blank lines after the last record
      a + "   \r\n\t\r\n" + b,       // blank lines between records
      a + b.substr(0, b.size() - 2), // the last line lacks its line end
      a + b.substr(0, 20),           // the last record cut short
      a + "\n" + b + "\r",           // lone LF and CR
      "\r\n\r\n  \r\n",
      "\"x\"",
      std::string(7, '\0') + "\r\n",
  };
}

TEST(LogEnd, WholeLogScanMatchesLinesReadFromTheFront) {
  for (const auto& log : SampleLogs()) {
    for (const std::size_t count : {1u, 2u, 3u}) {
      const nb::LogEndScan scan = nb::ScanLogEnd(log, true, count);
      EXPECT_TRUE(scan.complete);
      EXPECT_EQ(scan.lines, LastLinesFromTheFront(log, count)) << log;
      EXPECT_EQ(scan.endsWithLineBreak, !log.empty() && (log.back() == '\r' || log.back() == '\n')) << log;
    }
  }
}

// A scan of any tail of the log either asks for more or finds what a scan of the whole log finds.
TEST(LogEnd, EveryTailAgreesWithTheWholeLog) {
  for (const auto& log : SampleLogs()) {
    const nb::LogEndScan whole = nb::ScanLogEnd(log, true, 2);
    for (std::size_t start = 1; start < log.size(); ++start) {
      const nb::LogEndScan part = nb::ScanLogEnd(std::string_view(log).substr(start), false, 2);
      if (!part.complete) continue;
      EXPECT_EQ(part.lines, whole.lines) << "tail from " << start << " of " << log;
      EXPECT_EQ(part.endsWithLineBreak, whole.endsWithLineBreak);
    }
  }
}

// A tail that holds the line break before the last two records needs nothing more, however long the log.
TEST(LogEnd, ShortTailOfALongLogIsEnough) {
  std::string log;
  for (int i = 0; i < 10000; ++i) log += Narrow(nb::FormatLogRecord(L"12/7/2026", L"10.0.0." + std::to_wstring(i % 250), L"203.0.113.9"));
  const std::string last2 = Narrow(nb::FormatLogRecord(L"12/7/2026", L"10.0.0.1", L"x")) +
                            Narrow(nb::FormatLogRecord(L"12/8/2026", L"10.0.0.2", L"y"));
  log += last2;
  const nb::LogEndScan enough = nb::ScanLogEnd(std::string_view(log).substr(log.size() - last2.size() - 1), false, 2);
  ASSERT_TRUE(enough.complete);
  EXPECT_EQ(enough.lines, (std::vector<std::string>{"\"12/7/2026\",\"10.0.0.1\",\"x\"", "\"12/8/2026\",\"10.0.0.2\",\"y\""}));
  const nb::LogEndScan tooShort = nb::ScanLogEnd(std::string_view(log).substr(log.size() - last2.size()), false, 2);
  EXPECT_FALSE(tooShort.complete);
}

TEST(LogEnd, DamagedCopyPaths) {
  const struct {
    std::wstring log;
    int number;
    std::wstring expected;
  } cases[] = {
      {L"C:\\Users\\u\\AppData\\Roaming\\Ambertop software\\Netbeacon\\Netbeacon.log", 1,
       L"C:\\Users\\u\\AppData\\Roaming\\Ambertop software\\Netbeacon\\Netbeacon.damaged.log"},
      {L"C:\\data\\Netbeacon.log", 2, L"C:\\data\\Netbeacon.damaged-2.log"},
      {L"C:\\data\\Netbeacon.log", 17, L"C:\\data\\Netbeacon.damaged-17.log"},
      {L"C:\\data.d\\Netbeacon", 1, L"C:\\data.d\\Netbeacon.damaged"},
      {L"C:\\data.d\\Netbeacon", 3, L"C:\\data.d\\Netbeacon.damaged-3"},
      {L"Netbeacon.log", 1, L"Netbeacon.damaged.log"},
      {L"C:\\a\\.log", 1, L"C:\\a\\.log.damaged"},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::DamagedCopyPath(c.log, c.number), c.expected) << c.log;
}

}  // namespace
