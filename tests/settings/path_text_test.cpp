#include "settings/path_text.h"

#include <gtest/gtest.h>

namespace {

TEST(AddBackslash, Table) {
  const struct {
    std::wstring path, expected;
  } cases[] = {
      {L"", L"\\"},
      {L"\\", L"\\"},
      {L"C:", L"C:\\"},
      {L"C:\\", L"C:\\"},
      {L"C:\\Program Files\\Netbeacon", L"C:\\Program Files\\Netbeacon\\"},
      {L"C:\\Program Files\\Netbeacon\\", L"C:\\Program Files\\Netbeacon\\"},
      {L"C:\\a\\\\", L"C:\\a\\\\"},  // only one backslash is ever added, none removed
      {L"C:/a/", L"C:/a/\\"},        // a forward slash is not a backslash
      {L"a ", L"a \\"},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::AddBackslash(c.path), c.expected) << c.path;
}

TEST(StripBackslashes, Table) {
  const struct {
    std::wstring path, expected;
  } cases[] = {
      {L"", L""},
      {L"\\", L""},
      {L"\\\\\\", L""},
      {L"C:\\", L"C:"},
      {L"C:\\a", L"C:\\a"},
      {L"C:\\a\\", L"C:\\a"},
      {L"C:\\a\\\\", L"C:\\a"},
      {L"\\\\server\\share\\", L"\\\\server\\share"},  // leading ones stay
      {L"C:\\a\\ ", L"C:\\a\\ "},
      {L"C:/a/", L"C:/a/"},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::StripBackslashes(c.path), c.expected) << c.path;
}

}  // namespace
