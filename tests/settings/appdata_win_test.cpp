// The data folder, against real folders.
#include "settings/appdata_win.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "support/scripted_ui_win.h"

namespace {

using nbtest::FileExists;
using nbtest::TempFolder;
using nbtest::WriteFileBytes;

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring AppDataBySystem() {
  PWSTR folder = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder))) return {};
  std::wstring path(folder);
  CoTaskMemFree(folder);
  return path;
}

TEST(GetAppDataDirUnder, CreatesBothLevels) {
  for (const bool withBackslash : {true, false}) {
    TempFolder temp;
    const std::wstring base = withBackslash ? temp.path() : temp.path().substr(0, temp.path().size() - 1);
    EXPECT_EQ(nb::GetAppDataDirUnder(base, L"C:\\fallback"), temp.path() + L"Ambertop software\\Netbeacon\\");
    EXPECT_TRUE(IsFolder(temp.path() + L"Ambertop software"));
    EXPECT_TRUE(IsFolder(temp.path() + L"Ambertop software\\Netbeacon"));
  }
}

TEST(GetAppDataDirUnder, ExistingLevelsAreKept) {
  TempFolder temp;
  const std::wstring second = temp.path() + L"Ambertop software\\Netbeacon\\";
  ASSERT_TRUE(CreateDirectoryW((temp.path() + L"Ambertop software").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(second.c_str(), nullptr));
  WriteFileBytes(second + L"Netbeacon.log", "\"1/2/2024\",\"192.0.2.2\",\"198.51.100.7\"\r\n");
  EXPECT_EQ(nb::GetAppDataDirUnder(temp.path(), L"C:\\fallback"), second);
  EXPECT_EQ(nbtest::ReadFileBytes(second + L"Netbeacon.log"), "\"1/2/2024\",\"192.0.2.2\",\"198.51.100.7\"\r\n");
  // With the first level alone, the second is made inside it.
  TempFolder other;
  ASSERT_TRUE(CreateDirectoryW((other.path() + L"Ambertop software").c_str(), nullptr));
  EXPECT_EQ(nb::GetAppDataDirUnder(other.path(), L"C:\\fallback"), other.path() + L"Ambertop software\\Netbeacon\\");
  EXPECT_TRUE(IsFolder(other.path() + L"Ambertop software\\Netbeacon"));
}

TEST(GetAppDataDirUnder, FallsBackWhenALevelCannotBeMade) {
  const struct {
    const wchar_t* fallback;
    const wchar_t* expected;
  } fallbacks[] = {
      {L"C:\\Program Files\\Netbeacon", L"C:\\Program Files\\Netbeacon\\"},
      {L"C:\\Program Files\\Netbeacon\\", L"C:\\Program Files\\Netbeacon\\"},
      {L"", L"\\"},
  };
  for (const auto& f : fallbacks) {
    {  // The first level is a plain file.
      TempFolder temp;
      WriteFileBytes(temp.path() + L"Ambertop software", "not a folder");
      EXPECT_EQ(nb::GetAppDataDirUnder(temp.path(), f.fallback), f.expected);
      EXPECT_FALSE(IsFolder(temp.path() + L"Ambertop software"));
    }
    {  // The second level is a plain file.
      TempFolder temp;
      ASSERT_TRUE(CreateDirectoryW((temp.path() + L"Ambertop software").c_str(), nullptr));
      WriteFileBytes(temp.path() + L"Ambertop software\\Netbeacon", "not a folder");
      EXPECT_EQ(nb::GetAppDataDirUnder(temp.path(), f.fallback), f.expected);
    }
    {  // The base folder does not exist.
      TempFolder temp;
      EXPECT_EQ(nb::GetAppDataDirUnder(temp.path() + L"gone\\", f.fallback), f.expected);
      EXPECT_FALSE(FileExists(temp.path() + L"gone"));
    }
    // No base folder at all.
    EXPECT_EQ(nb::GetAppDataDirUnder(L"", f.fallback), f.expected);
  }
}

TEST(DirExists, Table) {
  TempFolder temp;
  ASSERT_TRUE(CreateDirectoryW((temp.path() + L"sub").c_str(), nullptr));
  WriteFileBytes(temp.path() + L"file.txt", "x");
  const std::wstring folder = temp.path() + L"sub";
  const struct {
    std::wstring path;
    bool exists;
  } cases[] = {
      {folder, true},
      {folder + L"\\", true},
      {folder + L"\\\\", true},
      {temp.path(), true},
      {temp.path() + L"file.txt", false},
      {temp.path() + L"file.txt\\", false},
      {temp.path() + L"missing", false},
      {temp.path() + L"missing\\", false},
      {temp.path() + L"*", false},  // a wildcard names no folder, even where one matches
      {temp.path() + L"su?", false},
      {temp.path() + L"s*\\", false},
      {L"", false},
      {L"\\\\", false},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::DirExists(c.path), c.exists) << c.path;
}

TEST(GetSpecialFolder, TheSystemsPathWithABackslash) {
  const std::wstring appData = AppDataBySystem();
  ASSERT_FALSE(appData.empty());
  EXPECT_EQ(nb::GetSpecialFolder(CSIDL_APPDATA), nb::AddBackslash(appData));
  // Folders that are no file-system path, or no folder at all, give the empty text.
  EXPECT_EQ(nb::GetSpecialFolder(CSIDL_DRIVES), L"");
  EXPECT_EQ(nb::GetSpecialFolder(0x7f), L"");
}

TEST(PathFromIdList, GrowsItsBufferToTheWholePath) {
  const std::wstring appData = AppDataBySystem();
  ASSERT_GT(appData.size(), 8u);
  PIDLIST_ABSOLUTE list = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &list)));
  for (const unsigned long capacity : {1ul, 4ul, 260ul}) EXPECT_EQ(nb::PathFromIdList(list, capacity), appData);
  CoTaskMemFree(list);
}

TEST(GetAppDataDir, LiesInTheRoamingApplicationDataFolder) {
  const std::wstring appData = nb::AddBackslash(AppDataBySystem());
  const std::wstring first = appData + L"Ambertop software\\";
  const std::wstring second = first + L"Netbeacon\\";
  const bool hadFirst = IsFolder(first);
  const bool hadSecond = IsFolder(second);
  EXPECT_EQ(nb::GetAppDataDir(L"C:\\fallback"), second);
  EXPECT_TRUE(IsFolder(second));
  // Leave the user's folders as they were.
  if (!hadSecond) RemoveDirectoryW(second.c_str());
  if (!hadFirst) RemoveDirectoryW(first.c_str());
}

}  // namespace
