#include "settings/key_path.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
  std::wstring path;
  bool wellFormed;
  std::wstring root;
  std::wstring subKey;
};

TEST(SplitKeyPath, Table) {
  const SplitCase cases[] = {
      {L"HKEY_CURRENT_USER\\Software\\Ambertop\\Netbeacon", true, L"HKEY_CURRENT_USER", L"Software\\Ambertop\\Netbeacon"},
      {L"HKEY_CURRENT_USER", true, L"HKEY_CURRENT_USER", L""},
      {L"HKEY_LOCAL_MACHINE\\Software", true, L"HKEY_LOCAL_MACHINE", L"Software"},
      {L"HKEY_NOWHERE\\x", true, L"HKEY_NOWHERE", L"x"},  // the root is checked later
      {L"HKEY_current_user\\x", true, L"HKEY_current_user", L"x"},
      {L"HKEY_", true, L"HKEY_", L""},
      {L"HKEY_CURRENT_USER\\\\x", true, L"HKEY_CURRENT_USER", L"\\x"},  // split at the first backslash only
      {L"HKEY_CURRENT_USER\\a b\\c", true, L"HKEY_CURRENT_USER", L"a b\\c"},
      {L"hkey_current_user\\Software", false, L"", L""},
      {L"Hkey_CURRENT_USER", false, L"", L""},
      {L"HKEY_CURRENT_USER\\Software\\", false, L"", L""},
      {L"HKEY_CURRENT_USER\\", false, L"", L""},
      {L"HKEY_\\", false, L"", L""},
      {L"HKEY", false, L"", L""},
      {L"HKEY\\CURRENT_USER", false, L"", L""},
      {L" HKEY_CURRENT_USER", false, L"", L""},
      {L"\\HKEY_CURRENT_USER", false, L"", L""},
      {L"\\", false, L"", L""},
      {L"", false, L"", L""},
  };
  for (const SplitCase& c : cases) {
    const auto parts = nb::SplitKeyPath(c.path);
    ASSERT_EQ(parts.has_value(), c.wellFormed) << c.path;
    if (!parts) continue;
    EXPECT_EQ(parts->root, c.root) << c.path;
    EXPECT_EQ(parts->subKey, c.subKey) << c.path;
  }
}

TEST(RootKeyFromName, Table) {
  const struct {
    std::wstring name;
    std::uint32_t handle;
  } cases[] = {
      {L"HKEY_CLASSES_ROOT", 0x80000000u},
      {L"HKEY_CURRENT_USER", 0x80000001u},
      {L"HKEY_LOCAL_MACHINE", 0x80000002u},
      {L"HKEY_USERS", 0x80000003u},
      {L"HKEY_PERFORMANCE_DATA", 0x80000004u},
      {L"HKEY_CURRENT_CONFIG", 0x80000005u},
      {L"HKEY_DYN_DATA", 0x80000006u},
      {L"hkey_current_user", 0},
      {L"HKEY_Current_User", 0},
      {L"HKEY_CURRENT_USER ", 0},
      {L"HKEY_CURRENT_USE", 0},
      {L"HKEY_USER", 0},
      {L"HKCU", 0},
      {L"HKEY_NOWHERE", 0},
      {L"HKEY_", 0},
      {L"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::RootKeyFromName(c.name), c.handle) << c.name;
}

TEST(IncorrectFormatText, TwoLineFeedsThenThePathUnchanged) {
  EXPECT_EQ(nb::IncorrectFormatText(L"hkey_current_user\\Software\\"),
            std::wstring(L"Incorrect Format:") + L'\n' + L'\n' + L"hkey_current_user\\Software\\");
  EXPECT_EQ(nb::IncorrectFormatText(L""), L"Incorrect Format:\n\n");
}

}  // namespace
