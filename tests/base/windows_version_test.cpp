#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "base/windows_version.h"

namespace {

struct VersionCase {
  std::uint32_t platform, major, minor;
  const wchar_t* name;
};

class VersionNames : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionNames, NameThePlatformMajorMinorTriple) {
  const VersionCase& c = GetParam();
  EXPECT_EQ(nb::WindowsVersionName(c.platform, c.major, c.minor), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VersionNames,
    testing::Values(VersionCase{1, 4, 0, L"Windows 95"}, VersionCase{1, 4, 10, L"Windows 98"},
                    VersionCase{1, 4, 90, L"Windows ME"}, VersionCase{2, 3, 51, L"Windows NT 3"},
                    VersionCase{2, 4, 0, L"Windows NT 4"}, VersionCase{2, 5, 0, L"Windows 2000"},
                    VersionCase{2, 5, 1, L"Windows XP"}, VersionCase{2, 5, 2, L"Windows Server 2003"},
                    VersionCase{2, 6, 0, L"Windows Vista"}, VersionCase{2, 6, 1, L"Windows 7"},
                    // Everything else, the failed call's zeroed record included.
                    VersionCase{2, 6, 2, L"Unknown"}, VersionCase{2, 10, 0, L"Unknown"},
                    VersionCase{2, 3, 50, L"Unknown"}, VersionCase{1, 4, 1, L"Unknown"},
                    VersionCase{2, 4, 10, L"Unknown"}, VersionCase{1, 6, 1, L"Unknown"},
                    VersionCase{0, 0, 0, L"Unknown"},
                    // Keys are compared as whole texts: "2.5.10" is neither "2.5.1" nor "2.5.0".
                    VersionCase{2, 5, 10, L"Unknown"}, VersionCase{2, 6, 10, L"Unknown"},
                    VersionCase{12, 6, 1, L"Unknown"}, VersionCase{4294967295u, 4, 0, L"Unknown"}));

}  // namespace
