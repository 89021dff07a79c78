#include <gtest/gtest.h>

#include "about/about_text.h"

namespace {

struct VersionCase {
  std::uint32_t ms;
  std::uint32_t ls;
  const wchar_t* expected;
};

class VersionLineTable : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionLineTable, ShowsMajorMinorAndRevision) {
  const VersionCase& c = GetParam();
  EXPECT_EQ(nb::VersionLine(nb::FileVersionWords{c.ms, c.ls}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, VersionLineTable,
    testing::Values(VersionCase{0x00030000u, 0x00000000u, L"Version 3.0.0"},
                    // The fourth number (the build) is not shown.
                    VersionCase{0x00030000u, 0x00000007u, L"Version 3.0.0"},
                    VersionCase{0x00030001u, 0x00020000u, L"Version 3.1.2"},
                    VersionCase{0x000A0014u, 0x001E0028u, L"Version 10.20.30"},
                    VersionCase{0x00000000u, 0x00000000u, L"Version 0.0.0"},
                    // Each number is a 16-bit word, shown in decimal without leading zeros.
                    VersionCase{0xFFFF00FFu, 0x01000000u, L"Version 65535.255.256"}));

TEST(VersionLine, SaysUnknownWithoutAVersion) { EXPECT_EQ(nb::VersionLine(std::nullopt), L"Version unknown"); }

struct LinkCase {
  const wchar_t* url;
  const wchar_t* caption;
};

class LinkCaptionTable : public testing::TestWithParam<LinkCase> {};

TEST_P(LinkCaptionTable, DropsTheSchemeAndTheLastSlash) {
  const LinkCase& c = GetParam();
  EXPECT_EQ(nb::LinkCaption(c.url), c.caption);
}

INSTANTIATE_TEST_SUITE_P(Urls, LinkCaptionTable,
                         testing::Values(LinkCase{L"http://www.ambertop.com/", L"www.ambertop.com"},
                                         LinkCase{L"https://www.ambertop.com/", L"www.ambertop.com"},
                                         LinkCase{L"HTTP://www.ambertop.com", L"www.ambertop.com"},
                                         LinkCase{L"http://www.ambertop.com/free/", L"www.ambertop.com/free"},
                                         LinkCase{L"ftp://files.example/", L"ftp://files.example"},
                                         LinkCase{L"http://", L""}, LinkCase{L"", L""}));

}  // namespace
