#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "netconfig/capture_text.h"

namespace {

struct BatchCase {
  const char* name;
  const wchar_t* version;
  const wchar_t* folder;
  std::vector<std::wstring> lines;
};

class BatchFiles : public testing::TestWithParam<BatchCase> {};

TEST_P(BatchFiles, RunTheVersionsCommandIntoIpTxt) {
  const BatchCase& c = GetParam();
  EXPECT_EQ(nb::BatchLines(c.version, c.folder, nb::ConfigurationCommand(c.version)), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, BatchFiles,
    testing::Values(
        BatchCase{"Xp", L"Windows XP", L"C:\\TEMP\\", {L"ipconfig /all > \"C:\\TEMP\\ip.txt\""}},
        BatchCase{"Unknown", L"Unknown", L"C:\\TEMP\\", {L"ipconfig /all > \"C:\\TEMP\\ip.txt\""}},
        BatchCase{"Windows95",
                  L"Windows 95",
                  L"C:\\TEMP\\",
                  {L"Winipcfg.exe /all /batch \"C:\\TEMP\\tmp.txt\"", L"ren \"C:\\TEMP\\tmp.txt\" ip.txt"}},
        BatchCase{"Spaces",
                  L"Windows 7",
                  L"C:\\Users\\Ann Lee\\AppData\\Local\\Temp\\",
                  {L"ipconfig /all > \"C:\\Users\\Ann Lee\\AppData\\Local\\Temp\\ip.txt\""}},
        BatchCase{"SpacesWindows95",
                  L"Windows 95",
                  L"C:\\My Temp\\",
                  {L"Winipcfg.exe /all /batch \"C:\\My Temp\\tmp.txt\"", L"ren \"C:\\My Temp\\tmp.txt\" ip.txt"}},
        // The command interpreter expands %...% in batch lines, quoted or not.
        BatchCase{"Percent", L"Windows 7", L"C:\\100%\\Temp\\", {L"ipconfig /all > \"C:\\100%%\\Temp\\ip.txt\""}}),
    [](const testing::TestParamInfo<BatchCase>& info) { return std::string(info.param.name); });

TEST(BatchFileText, EndsEveryLineWithCrLf) {
  EXPECT_EQ(nb::BatchFileText({L"one", L"two"}), L"one\r\ntwo\r\n");
  EXPECT_EQ(nb::BatchFileText({L"one"}), L"one\r\n");
}

}  // namespace
