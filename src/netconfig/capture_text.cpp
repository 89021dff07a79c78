#include "netconfig/capture_text.h"

#include "base/windows_version.h"

namespace nb {
namespace {

// A path as a batch line must hold it: in quotation marks (which no file name contains), with
// "%" doubled since the command interpreter expands variables in batch lines even inside quotes.
std::wstring BatchPath(std::wstring_view folder, std::wstring_view fileName) {
  std::wstring quoted = L"\"";
  for (const wchar_t c : folder) {
    quoted += c;
    if (c == L'%') quoted += c;
  }
  quoted += fileName;
  quoted += L'"';
  return quoted;
}

}  // namespace

std::wstring ConfigurationCommand(std::wstring_view versionName) {
  return versionName == kWindows95 ? L"Winipcfg.exe /all /batch" : L"ipconfig /all";
}

std::vector<std::wstring> BatchLines(std::wstring_view versionName, std::wstring_view tempFolder,
                                     std::wstring_view command) {
  const std::wstring run(command);
  if (versionName == kWindows95) {
    const std::wstring scratch = BatchPath(tempFolder, kWin95ReportFileName);
    return {run + L" " + scratch, L"ren " + scratch + L" " + kReportFileName};
  }
  return {run + L" > " + BatchPath(tempFolder, kReportFileName)};
}

std::wstring BatchFileText(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (const std::wstring& line : lines) text += line + L"\r\n";
  return text;
}

}  // namespace nb
