#include "addresslog/log_view_text.h"

namespace nb {
namespace {

// One argument as the C runtime's command-line parser reads it back.
std::wstring QuotedArgument(std::wstring_view text) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : text) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
    } else {
      quoted.append(backslashes, L'\\');
    }
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

}  // namespace

std::wstring EditorCommandLine(std::wstring_view program, std::wstring_view path) {
  std::wstring line;
  // The program name is read up to the next blank, or between quotes, without escapes.
  if (program.empty() || program.find_first_of(L" \t") != std::wstring_view::npos) {
    line = L"\"" + std::wstring(program) + L"\"";
  } else {
    line = std::wstring(program);
  }
  line += L' ';
  line += QuotedArgument(path);
  return line;
}

std::wstring WithDefaultExtension(std::wstring_view path, std::wstring_view extension) {
  std::wstring result(path);
  if (!extension.empty() && extension.front() == L'.') extension.remove_prefix(1);
  if (extension.empty()) return result;
  const std::size_t slash = path.find_last_of(L"\\/:");
  const std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
  if (name.empty() || name.find(L'.') != std::wstring_view::npos) return result;
  result += L'.';
  result += extension;
  return result;
}

}  // namespace nb
