// The address log's records and the reading of a log's last lines, over arbitrary bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "addresslog/log_record.h"
#include "fuzz_support.h"

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// The bytes as a whole log: the last lines found from its end, reading ever longer tails as the
// program does, are those of the whole file, and each is a whole line of it.
void CheckLogEnd(std::string_view log) {
  for (std::size_t lineCount = 1; lineCount <= 3; ++lineCount) {
    const nb::LogEndScan whole = nb::ScanLogEnd(log, true, lineCount);
    NB_FUZZ_CHECK(whole.complete);
    NB_FUZZ_CHECK(whole.lines.size() <= lineCount);
    NB_FUZZ_CHECK(whole.endsWithLineBreak == (!log.empty() && IsBreak(log.back())));
    for (const std::string& line : whole.lines) {
      NB_FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
      NB_FUZZ_CHECK(line.find_first_not_of(" \t") != std::string::npos);
    }
    if (!whole.lines.empty()) {
      // After the last line only blanks and line ends follow.
      const std::string& last = whole.lines.back();
      const std::size_t at = log.rfind(last);
      NB_FUZZ_CHECK(at != std::string_view::npos);
      NB_FUZZ_CHECK(at == 0 || IsBreak(log[at - 1]));
      NB_FUZZ_CHECK(log.find_first_not_of(" \t\r\n", at + last.size()) == std::string_view::npos);
    }
    for (std::size_t tail = 1;; tail *= 2) {
      const std::size_t take = std::min(tail, log.size());
      const nb::LogEndScan scan = nb::ScanLogEnd(log.substr(log.size() - take), take == log.size(), lineCount);
      if (!scan.complete) continue;
      NB_FUZZ_CHECK(scan.lines == whole.lines);
      NB_FUZZ_CHECK(scan.endsWithLineBreak == whole.endsWithLineBreak);
      break;
    }
  }
}

// The text cut in three as label texts: a record written of them is the last line of a log and
// reads back as the same three fields.
void CheckRecord(const std::wstring& text) {
  const std::size_t third = text.size() / 3;
  const std::wstring fields[3] = {nb::LogFieldText(text.substr(0, third)),
                                  nb::LogFieldText(text.substr(third, third)),
                                  nb::LogFieldText(text.substr(2 * third))};
  for (const std::wstring& field : fields) {
    NB_FUZZ_CHECK(field.find_first_of(L"\r\n\"") == std::wstring::npos);
    NB_FUZZ_CHECK(field.empty() || (field.front() != L' ' && field.back() != L' '));
    NB_FUZZ_CHECK(nb::LogFieldText(field) == field);
  }
  const std::wstring record = nb::FormatLogRecord(fields[0], fields[1], fields[2]);
  NB_FUZZ_CHECK(record.size() >= 2 && record.substr(record.size() - 2) == L"\r\n");
  const std::wstring line = record.substr(0, record.size() - 2);

  const nb::LogLineItems read = nb::ReadLogItems(line);
  NB_FUZZ_CHECK(!read.cutShort);
  NB_FUZZ_CHECK(read.items.size() == 3);
  for (std::size_t k = 0; k < 3; ++k) NB_FUZZ_CHECK(read.items[k] == fields[k]);

  std::string bytes;  // back to single bytes: every character came from one
  for (const wchar_t c : record) bytes += static_cast<char>(c);
  const nb::LogEndScan end = nb::ScanLogEnd("older line\r\n" + bytes, true, 1);
  NB_FUZZ_CHECK(end.lines.size() == 1 && end.lines[0] == bytes.substr(0, bytes.size() - 2));
}

// Any line: one item more than commas at most, exactly that when no quote is in the way.
void CheckItems(const std::wstring& line) {
  const nb::LogLineItems read = nb::ReadLogItems(line);
  const auto commas = static_cast<std::size_t>(std::count(line.begin(), line.end(), L','));
  NB_FUZZ_CHECK(read.items.size() <= commas + 1);
  if (line.find(L'"') == std::wstring::npos) NB_FUZZ_CHECK(!read.cutShort && read.items.size() == commas + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = nbfuzz::Bytes(data, size);
  CheckLogEnd(bytes);
  const std::wstring text = nbfuzz::Widen(bytes);
  CheckRecord(text);
  CheckItems(text);
  return 0;
}
