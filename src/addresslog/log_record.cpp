#include "addresslog/log_record.h"

#include "base/text_util.h"

namespace nb {
namespace {

// Blanks around the items of a line.
constexpr std::wstring_view kBlanks = L" \t";

}  // namespace

std::wstring LogFieldText(std::wstring_view labelText) {
  std::wstring text;
  text.reserve(labelText.size());
  for (const wchar_t c : labelText) {
    if (c != L'\r' && c != L'\n' && c != L'"') text += c;
  }
  return std::wstring(Trim(text));
}

bool IsCleanLogField(std::wstring_view field) {
  for (const wchar_t c : field) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == L'"') return false;
  }
  return true;
}

std::wstring FormatLogRecord(std::wstring_view date, std::wstring_view lan, std::wstring_view wan) {
  std::wstring line;
  line.reserve(date.size() + lan.size() + wan.size() + 10);
  line += L'"';
  line += date;
  line += L"\",\"";
  line += lan;
  line += L"\",\"";
  line += wan;
  line += L"\"\r\n";
  return line;
}

LogLineItems ReadLogItems(std::wstring_view line) {
  LogLineItems result;
  std::size_t pos = 0;
  for (;;) {
    pos = line.size() - Trim(line.substr(pos), TrimEnds::Leading, kBlanks).size();
    std::size_t comma;
    if (pos < line.size() && line[pos] == L'"') {
      const std::size_t close = line.find(L'"', pos + 1);
      if (close == std::wstring_view::npos) {
        result.cutShort = true;
        return result;
      }
      result.items.emplace_back(line.substr(pos + 1, close - pos - 1));
      comma = line.find(L',', close + 1);
    } else {
      comma = line.find(L',', pos);
      const std::wstring_view item = line.substr(pos, comma == std::wstring_view::npos ? std::wstring_view::npos : comma - pos);
      result.items.emplace_back(Trim(item, TrimEnds::Trailing, kBlanks));
    }
    if (comma == std::wstring_view::npos) return result;
    pos = comma + 1;
  }
}

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

bool IsBlank(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

}  // namespace

LogEndScan ScanLogEnd(std::string_view tail, bool tailStartsFile, std::size_t lineCount) {
  LogEndScan scan;
  scan.endsWithLineBreak = !tail.empty() && IsBreak(tail.back());
  std::vector<std::string> newestFirst;
  std::size_t end = tail.size();  // the line being looked at ends here
  while (newestFirst.size() < lineCount) {
    std::size_t begin = end;
    while (begin > 0 && !IsBreak(tail[begin - 1])) --begin;
    if (begin == 0 && !tailStartsFile) return scan;  // the line may start before the tail
    const std::string_view line = tail.substr(begin, end - begin);
    if (!IsBlank(line)) newestFirst.emplace_back(line);
    if (begin == 0) break;
    end = begin - 1;  // past one line-break byte (CR LF gives an empty line between, which is blank)
  }
  scan.complete = true;
  scan.lines.assign(newestFirst.rbegin(), newestFirst.rend());
  return scan;
}

std::wstring DamagedCopyPath(std::wstring_view logPath, int number) {
  const std::size_t slash = logPath.find_last_of(L"\\/");
  const std::size_t nameStart = slash == std::wstring_view::npos ? 0 : slash + 1;
  std::size_t dot = logPath.rfind(L'.');
  if (dot == std::wstring_view::npos || dot <= nameStart) dot = logPath.size();
  std::wstring path(logPath.substr(0, dot));
  path += L".damaged";
  if (number > 1) path += L"-" + std::to_wstring(number);
  path += logPath.substr(dot);
  return path;
}

}  // namespace nb
