// The registry layer against the real registry, in a test key of its own.
#include "settings/registry_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/scripted_ui_win.h"
#include "base/app_error.h"

namespace {

constexpr wchar_t kTestSub[] = L"Software\\Ambertop\\NetbeaconTest";
const std::wstring kTestKey = L"HKEY_CURRENT_USER\\Software\\Ambertop\\NetbeaconTest";
constexpr wchar_t kRootValue[] = L"NetbeaconTestRootValue";
const std::optional<std::wstring> kMissing;

struct RawValue {
  DWORD type = 0;
  std::vector<BYTE> bytes;
};

// The test key's values and subkeys, seen through the plain registry functions.
std::optional<RawValue> RawGet(const wchar_t* name, const wchar_t* sub = kTestSub) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, sub, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  RawValue value;
  DWORD size = 0;
  LSTATUS rc = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
  if (rc == ERROR_SUCCESS) {
    value.bytes.resize(size + 1);
    rc = RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &size);
    value.bytes.resize(size);
  }
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return value;
}

void RawSet(const wchar_t* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kTestSub, 0, KEY_WRITE, &key), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(key);
}

bool KeyExists(const std::wstring& sub) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

DWORD ValueCount(const wchar_t* sub = kTestSub) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, sub, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD values = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(key);
  return values;
}

std::wstring TextOf(const std::vector<BYTE>& bytes) {
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    Clean();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestSub, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void TearDown() override { Clean(); }
  static void Clean() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestSub);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, nullptr, kRootValue);
  }

  nbtest::ScriptedModalUi ui;
};

TEST_F(RegistryTest, StringsReadBackAsStoredLeadingSpacesRemoved) {
  const struct {
    std::wstring stored, read;
  } cases[] = {
      {L"abc", L"abc"},
      {L"  ab ", L"ab "},
      {L"   ", L""},
      {L"", L""},
      {L"\tab", L"\tab"},  // only spaces are trimmed
      {L"65280", L"65280"},
      {std::wstring(254, L'x'), std::wstring(254, L'x')},
      {std::wstring(255, L'y'), std::wstring(255, L'y')},
      {std::wstring(300, L'z'), std::wstring(300, L'z')},
      {std::wstring(70000, L'w') + L"end", std::wstring(70000, L'w') + L"end"},
      {L"Gr\u00fc\u00dfe \u03b1\u03b2\u03b3 \u20ac \u4e00", L"Gr\u00fc\u00dfe \u03b1\u03b2\u03b3 \u20ac \u4e00"},
  };
  int i = 0;
  for (const auto& c : cases) {
    const std::wstring name = L"S" + std::to_wstring(i++);
    nb::WriteString(kTestKey, name, c.stored);
    const auto raw = RawGet(name.c_str());
    ASSERT_TRUE(raw) << name;
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ)) << name;
    EXPECT_EQ(TextOf(raw->bytes), c.stored + L'\0') << name;
    EXPECT_EQ(nb::ReadString(kTestKey, name), c.read) << name << L" of length " << c.stored.size();
  }
  // A second write replaces the value.
  nb::WriteString(kTestKey, L"S0", L"again");
  EXPECT_EQ(nb::ReadString(kTestKey, L"S0"), L"again");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RegistryTest, StoredValuesAreCutAtTheirFirstNulWhateverTheirType) {
  const struct {
    const wchar_t* name;
    DWORD type;
    std::wstring data;  // stored exactly, no NUL added
    std::wstring read;
  } cases[] = {
      {L"Embedded", REG_SZ, std::wstring(L"ab\0cd\0", 6), L"ab"},
      {L"Unterminated", REG_SZ, L"  xyz", L"xyz"},
      {L"Expand", REG_EXPAND_SZ, std::wstring(L" %x%\0", 5), L"%x%"},
      {L"Empty", REG_SZ, L"", L""},
  };
  for (const auto& c : cases) {
    RawSet(c.name, c.type, c.data.data(), static_cast<DWORD>(c.data.size() * sizeof(wchar_t)));
    EXPECT_EQ(nb::ReadString(kTestKey, c.name), c.read) << c.name;
  }
}

TEST_F(RegistryTest, MissingValuesAndKeysReadAsNothing) {
  EXPECT_EQ(nb::ReadString(kTestKey, L"Missing"), kMissing);
  EXPECT_EQ(nb::ReadBinary(kTestKey, L"Missing"), kMissing);
  EXPECT_EQ(nb::ReadString(kTestKey + L"\\NoSuchKey", L"Top"), kMissing);
  EXPECT_EQ(nb::ReadBinary(kTestKey + L"\\NoSuchKey", L"Top"), kMissing);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RegistryTest, WritesNeverCreateKeys) {
  const std::wstring missing = kTestKey + L"\\Missing";
  nb::WriteString(missing, L"Top", L"1");
  nb::WriteBinary(missing, L"MailSMTPauthPW", L"pw");
  EXPECT_FALSE(KeyExists(std::wstring(kTestSub) + L"\\Missing"));
  EXPECT_EQ(nb::ReadString(missing, L"Top"), kMissing);
  EXPECT_EQ(ValueCount(), 0u);
  // Once created, the same writes land.
  nb::CreateKey(missing);
  EXPECT_TRUE(KeyExists(std::wstring(kTestSub) + L"\\Missing"));
  nb::WriteString(missing, L"Top", L"1");
  EXPECT_EQ(nb::ReadString(missing, L"Top"), L"1");
  // Creating an existing key keeps its values.
  nb::CreateKey(missing);
  EXPECT_EQ(nb::ReadString(missing, L"Top"), L"1");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RegistryTest, CreateKeyMakesEveryMissingLevel) {
  nb::CreateKey(kTestKey + L"\\A\\B\\C");
  EXPECT_TRUE(KeyExists(std::wstring(kTestSub) + L"\\A\\B\\C"));
}

TEST_F(RegistryTest, MalformedAndUnknownPathsDoNothing) {
  const struct {
    std::wstring path;
    bool message;  // malformed: "Incorrect Format:" shown once per operation
  } cases[] = {
      {L"hkey_current_user\\Software\\Ambertop\\NetbeaconTest\\Sub", true},
      {L"HKEY_CURRENT_USER\\Software\\Ambertop\\NetbeaconTest\\Sub\\", true},
      {L"HKEY_CURRENT_USER\\Software\\Ambertop\\NetbeaconTest\\", true},
      {L"Software\\Ambertop\\NetbeaconTest", true},
      {L"", true},
      {L"HKEY_NOWHERE\\x", false},
      {L"HKEY_current_user\\Software\\Ambertop\\NetbeaconTest\\Sub", false},  // root names are case-sensitive
      {L"HKEY_\\Software\\Ambertop\\NetbeaconTest\\Sub", false},
  };
  for (const auto& c : cases) {
    ui.messages.clear();
    nb::CreateKey(c.path);
    nb::WriteString(c.path, L"Probe", L"x");
    nb::WriteBinary(c.path, L"ProbeBin", L"x");
    EXPECT_EQ(nb::ReadString(c.path, L"Probe"), kMissing) << c.path;
    EXPECT_EQ(nb::ReadBinary(c.path, L"ProbeBin"), kMissing) << c.path;
    EXPECT_FALSE(KeyExists(std::wstring(kTestSub) + L"\\Sub")) << c.path;
    EXPECT_EQ(ValueCount(), 0u) << c.path;
    ASSERT_EQ(ui.messages.size(), c.message ? 5u : 0u) << c.path;
    for (const auto& shown : ui.messages) {
      EXPECT_EQ(shown.text, L"Incorrect Format:\n\n" + c.path);
      EXPECT_EQ(shown.title, L"Netbeacon");
      EXPECT_EQ(shown.style, static_cast<UINT>(MB_OK));
    }
  }
}

TEST_F(RegistryTest, TheRootNameAloneWorksOnTheRootKey) {
  nb::CreateKey(L"HKEY_CURRENT_USER");
  nb::WriteString(L"HKEY_CURRENT_USER", kRootValue, L"on the root");
  EXPECT_EQ(nb::ReadString(L"HKEY_CURRENT_USER", kRootValue), L"on the root");
  const auto raw = RawGet(kRootValue, L"");
  ASSERT_TRUE(raw);
  EXPECT_EQ(TextOf(raw->bytes), std::wstring(L"on the root") + L'\0');
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RegistryTest, OtherRootsReachTheirOwnKeys) {
  wchar_t expected[512] = {};
  DWORD size = sizeof expected;
  ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName",
                         RRF_RT_REG_SZ, nullptr, expected, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(nb::ReadString(L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName"),
            expected);
  // The same path under the user's root has no such value.
  EXPECT_EQ(nb::ReadString(L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName"),
            kMissing);
}

TEST_F(RegistryTest, BinaryValuesKeepEveryByte) {
  // All 256 byte values, stored by someone else, read back one character per byte.
  std::vector<BYTE> all(256);
  for (int b = 0; b < 256; ++b) all[b] = static_cast<BYTE>(b);
  RawSet(L"All", REG_BINARY, all.data(), 256);
  const std::wstring text = nb::ReadBinary(kTestKey, L"All").value();
  ASSERT_EQ(text.size(), 256u);
  for (int b = 0; b < 0x80; ++b) EXPECT_EQ(text[b], static_cast<wchar_t>(b)) << b;
  if (GetACP() == 1252) {
    EXPECT_EQ(text[0x80], L'\u20ac');
    EXPECT_EQ(text[0xE9], L'\u00e9');
  }
  // Written back, the same bytes are stored.
  nb::WriteBinary(kTestKey, L"Copy", text);
  const auto copy = RawGet(L"Copy");
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(copy->bytes, all);
  EXPECT_EQ(nb::ReadBinary(kTestKey, L"Copy"), text);

  const struct {
    std::wstring text;
    std::vector<BYTE> bytes;
  } cases[] = {
      {L"", {}},
      {L"pw", {'p', 'w'}},
      {std::wstring(L"a\0b", 3), {'a', 0, 'b'}},
      {L"  x  ", {' ', ' ', 'x', ' ', ' '}},  // nothing trimmed
      {std::wstring(5000, L'q'), std::vector<BYTE>(5000, 'q')},
  };
  int i = 0;
  for (const auto& c : cases) {
    const std::wstring name = L"B" + std::to_wstring(i++);
    nb::WriteBinary(kTestKey, name, c.text);
    const auto raw = RawGet(name.c_str());
    ASSERT_TRUE(raw) << name;
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_BINARY)) << name;
    EXPECT_EQ(raw->bytes, c.bytes) << name;
    EXPECT_EQ(nb::ReadBinary(kTestKey, name), c.text) << name;
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RegistryTest, CharactersWithoutAOneByteCodeOverflowAndNothingIsWritten) {
  std::vector<std::wstring> texts = {L"ab\u4e00", L"\xD800", L"x\U0001F600"};
  if (GetACP() == 1252) {
    texts.push_back(L"A\u0100");  // would best-fit to "A"
    texts.push_back(L"\u03b1");
  }
  for (const auto& text : texts) {
    nb::WriteBinary(kTestKey, L"Pw", L"old");
    try {
      nb::WriteBinary(kTestKey, L"Pw", text);
      ADD_FAILURE() << "no overflow for " << text;
    } catch (const nb::AppError& error) {
      EXPECT_EQ(error.number, 6);
    }
    EXPECT_EQ(nb::ReadBinary(kTestKey, L"Pw"), L"old") << text;
  }
  // A missing key is not opened, so nothing is converted either.
  EXPECT_NO_THROW(nb::WriteBinary(kTestKey + L"\\Missing", L"Pw", L"\u4e00"));
}

}  // namespace
