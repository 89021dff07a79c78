#include "mainwindow/command_line.h"

namespace nb {

std::wstring ArgumentText(std::wstring_view commandLine) {
  size_t i = 0;
  const auto blank = [&](size_t k) { return k < commandLine.size() && (commandLine[k] == L' ' || commandLine[k] == L'\t'); };
  while (blank(i)) ++i;
  if (i < commandLine.size() && commandLine[i] == L'"') {
    const size_t close = commandLine.find(L'"', i + 1);
    i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && !blank(i)) ++i;
  }
  while (blank(i)) ++i;
  return std::wstring(commandLine.substr(i));
}

}  // namespace nb
