// A stand-in for the system's configuration command in the capture tests and the benchmark.
// Writes to its standard output, which the batch line redirects:
//   --sleep-ms N   first sleeps N milliseconds (without using the processor)
//   --chars N      N characters of report-like lines, CR LF included
//   --text WORD    WORD, written in the OEM code page as the console command writes; the word
//                  "accented" stands for a text with accented letters
//   --exit N       ends with exit code N (default 0)
//   --to PATH      writes to the file PATH instead (as the Windows 95 tool does)
#include <windows.h>

#include <cwchar>
#include <string>

#include "base/text_win.h"

namespace {

void Write(HANDLE out, const std::string& bytes) {
  DWORD written = 0;
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReportLines(std::size_t chars) {
  std::string text;
  for (int line = 1; text.size() < chars; ++line) {
    text += "    Line " + std::to_string(line) + " . . . . . . . . . . . . . . : value\r\n";
  }
  text.resize(chars);
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::wstring(argv[i]) == L"--to") {
      out = CreateFileW(argv[i + 1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (out == INVALID_HANDLE_VALUE) return 2;
    }
  }
  int exitCode = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i];
    const wchar_t* value = argv[i + 1];
    if (option == L"--sleep-ms") Sleep(static_cast<DWORD>(std::wcstoul(value, nullptr, 10)));
    if (option == L"--chars") Write(out, ReportLines(std::wcstoul(value, nullptr, 10)));
    if (option == L"--text") {
      const std::wstring text = std::wstring(value) == L"accented" ? L"Prim\u00e4re Adresse \u00e9\u00e8" : value;
      Write(out, nb::ToCodePage(text, CP_OEMCP));
    }
    if (option == L"--exit") exitCode = static_cast<int>(std::wcstol(value, nullptr, 10));
  }
  return exitCode;
}
