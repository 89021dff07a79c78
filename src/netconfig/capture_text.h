// The texts of the configuration capture: the batch file that runs the system's configuration
// command, and the messages of the viewer's Refresh. Portable: no Windows header.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nb {

// Scratch files in the temporary folder.
inline constexpr wchar_t kBatchFileName[] = L"ip.bat";
inline constexpr wchar_t kReportFileName[] = L"ip.txt";
// Where the Windows 95 tool writes before the batch file renames it to kReportFileName.
inline constexpr wchar_t kWin95ReportFileName[] = L"tmp.txt";

// What the report box shows on a version the program does not know, until a report replaces it.
inline constexpr wchar_t kUnknownVersionNotice[] =
    L"Houston, we have a problem...\r\nWe currently can't get more info.";

// The message for a report that never came (run-time error 53).
inline constexpr wchar_t kOopsTitle[] = L"Oops";
inline constexpr wchar_t kOopsText[] =
    L"Oh dear, that shouldn't have happened.\r\n"
    L"Please disregard. Netbeacon was doing something in the background that didn't work out properly.";

// Asked when the viewer is closed while a capture runs.
inline constexpr wchar_t kStopCaptureQuestion[] =
    L"The network configuration is still being read. Stop reading it and close the window?";

// The procedure label of the capture's error report.
inline constexpr wchar_t kRefreshErrorLabel[] = L"frmIPconfig cmdRefresh_Click";

// The configuration command for a Windows version name: "Winipcfg.exe /all /batch" on
// "Windows 95", which writes its report to the file named after it; "ipconfig /all" on every
// other version, whose report the batch line redirects.
std::wstring ConfigurationCommand(std::wstring_view versionName);

// The batch file's lines (without line ends) for a version name, a temporary folder ending in
// a backslash, and the configuration command. Paths are quoted, so that a folder with spaces
// works, and each "%" is doubled, so that the command interpreter reads the folder back as it is.
//   not Windows 95:  <command> > "<T>ip.txt"
//   Windows 95:      <command> "<T>tmp.txt"
//                    ren "<T>tmp.txt" ip.txt
std::vector<std::wstring> BatchLines(std::wstring_view versionName, std::wstring_view tempFolder,
                                     std::wstring_view command);

// The lines, each followed by CR LF.
std::wstring BatchFileText(const std::vector<std::wstring>& lines);

}  // namespace nb
