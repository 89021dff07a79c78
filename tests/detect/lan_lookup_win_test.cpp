#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "detect/isip.h"
#include "detect/lan_lookup_win.h"
#include "support/debug_output_win.h"
#include "base/app_error.h"

namespace {

TEST(GetLocalIP, GivesAConnectedAdapterAddress) {
  const std::wstring address = nb::GetLocalIP();
  // This machine has a connected adapter; a disconnected one (0.0.0.0) never wins.
  EXPECT_TRUE(nb::IsIP(address)) << testing::PrintToString(address);
  EXPECT_NE(address, L"0.0.0.0");
}

TEST(GetLocalIP, RaisesError48WhenTheIpHelperLibraryIsMissing) {
  try {
    nb::GetLocalIP(L"netbeacon-no-such-iphlpapi.dll");
    FAIL() << "no error raised";
  } catch (const nb::AppError& e) {
    EXPECT_EQ(e.number, 48);
  }
}

// 127.0.0.1 has a name only when /etc/hosts gives it one (Wine reads the hosts file there).
constexpr char kLoopbackNameNeeded[] =
    "\nThis lookup needs 127.0.0.1 to have a name in /etc/hosts (\"127.0.0.1 localhost\"), "
    "as every installed Debian has.";

struct LookupCase {
  const wchar_t* address;
  const wchar_t* message;  // nullptr: no message box
  bool nameExpected;
};

class HostNameTable : public testing::TestWithParam<LookupCase> {};

// The notices a lookup asks its window to show, as texts.
std::vector<std::wstring> NoticeTexts(const nb::HostNameLookup& lookup) {
  std::vector<std::wstring> texts;
  for (const nb::LookupNotice& notice : lookup.notices) texts.push_back(notice.text);
  return texts;
}

TEST_P(HostNameTable, GivesTheRightNotice) {
  const LookupCase& c = GetParam();
  const nb::HostNameLookup found = nb::GetHostNameByIP(c.address);
  const std::wstring& name = found.name;
  if (c.message) {
    EXPECT_EQ(found.notices, (std::vector<nb::LookupNotice>{{c.message, MB_OK}}));
    EXPECT_EQ(name, L"");
  } else {
    EXPECT_TRUE(found.notices.empty()) << kLoopbackNameNeeded;
  }
  EXPECT_EQ(!name.empty(), c.nameExpected)
      << testing::PrintToString(name) << (c.nameExpected ? kLoopbackNameNeeded : "");
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, HostNameTable,
    testing::Values(
        // Converts to INADDR_NONE, so it is taken for an invalid address.
        LookupCase{L"255.255.255.255", nb::kInvalidIPText, false},
        LookupCase{L"not an address", nb::kInvalidIPText, false},
        LookupCase{L"127.0.0.1", nullptr, true}));  // see kLoopbackNameNeeded

// The name service through a stand-in that answers after a delay: within the bound its answer is
// taken; past the bound the lookup fails as one that found no name, and the caller is free again
// at the bound, not when the name service is done.
struct SlowLookupCase {
  const char* name;
  std::chrono::milliseconds answerAfter;
  std::optional<std::string> answer;
  const wchar_t* shown;    // the looked-up name
  const wchar_t* message;  // nullptr: no message box
};

class SlowLookupTable : public testing::TestWithParam<SlowLookupCase> {};

TEST_P(SlowLookupTable, WaitsAtMostTheBound) {
  using namespace std::chrono_literals;
  using Clock = std::chrono::steady_clock;
  const SlowLookupCase& c = GetParam();
  const auto lookup = [c](std::span<const unsigned char>) {
    Sleep(static_cast<DWORD>(c.answerAfter.count()));
    return c.answer;
  };
  const Clock::time_point start = Clock::now();
  const nb::HostNameLookup found = nb::GetHostNameByIP(L"192.0.2.7", 500ms, lookup);
  EXPECT_EQ(found.name, c.shown);
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 1.5);
  EXPECT_EQ(NoticeTexts(found), c.message ? std::vector<std::wstring>{c.message} : std::vector<std::wstring>{});
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SlowLookupTable,
    testing::Values(SlowLookupCase{"InTime", std::chrono::milliseconds(100), "host.example", L"host.example", nullptr},
                    SlowLookupCase{"NoNameInTime", std::chrono::milliseconds(100), std::nullopt, L"", nb::kLookupFailedText},
                    SlowLookupCase{"PastTheBound", std::chrono::milliseconds(4000), "late.example", L"", nb::kLookupFailedText}),
    [](const testing::TestParamInfo<SlowLookupCase>& info) { return std::string(info.param.name); });

// A lookup that fails on the way (here, as when the sockets library cannot be loaded) is told as one
// that found no name, and leaves the reason on the debug output.
TEST(GetHostNameByIP, AFailingLookupIsToldAndTraced) {
  using namespace std::chrono_literals;
  nbtest::DebugOutputCapture trace;
  const auto lookup = [](std::span<const unsigned char>) -> std::optional<std::string> {
    throw nb::AppError(nb::errnum::kLibraryLoad, L"Error in loading DLL ws2_32.dll");
  };
  const nb::HostNameLookup found = nb::GetHostNameByIP(L"192.0.2.7", 2s, lookup);
  EXPECT_EQ(found.name, L"");
  EXPECT_EQ(NoticeTexts(found), std::vector<std::wstring>{nb::kLookupFailedText});
  EXPECT_EQ(trace.Lines(),
            std::vector<std::wstring>{L"Netbeacon: skipped error 48 (Error in loading DLL ws2_32.dll) in frmMain GetHostNameByIP\n"});
}

// An IPv6 text is looked up by its 16 bytes.
TEST(GetHostNameByIP, LooksUpIPv6Addresses) {
  using namespace std::chrono_literals;
  const auto asked = std::make_shared<std::vector<unsigned char>>();
  const auto lookup = [asked](std::span<const unsigned char> address) -> std::optional<std::string> {
    asked->assign(address.begin(), address.end());
    return "host6.example";
  };
  const nb::HostNameLookup found = nb::GetHostNameByIP(L"2a00:1450::5", 2s, lookup);
  EXPECT_EQ(found.name, L"host6.example");
  EXPECT_TRUE(found.notices.empty());
  EXPECT_EQ(*asked, (std::vector<unsigned char>{0x2a, 0, 0x14, 0x50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}));
}

TEST(Sockets, StartAndCleanupPair) {
  ASSERT_TRUE(nb::SocketsStartup());
  EXPECT_TRUE(nb::SocketsCleanup());
  // A cleanup without a matching start is an error of the sockets library.
  EXPECT_FALSE(nb::SocketsCleanup());
}

}  // namespace
