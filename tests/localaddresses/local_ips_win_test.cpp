// Reading the system's address table: through a stand-in table call, and for real.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "localaddresses/local_ips_win.h"
#include "base/app_error.h"

namespace {

// Behaves as the system's call for a table of `rows` addresses 10.0.0.1, 10.0.0.2, ...: a buffer
// that is too small gets error 122 and the size needed.
struct StandInTable {
  unsigned rows;
  int calls = 0;
  bool askedSorted = true;

  unsigned long operator()(void* table, unsigned long* size, bool sorted) {
    ++calls;
    askedSorted = askedSorted && sorted;
    const unsigned long needed = 4 + 24 * rows;
    if (*size < needed) {
      *size = needed;
      return ERROR_INSUFFICIENT_BUFFER;
    }
    auto* bytes = static_cast<unsigned char*>(table);
    std::memcpy(bytes, &rows, 4);
    for (unsigned i = 0; i < rows; ++i) {
      const unsigned char address[4] = {10, 0, 0, static_cast<unsigned char>(i + 1)};
      std::memcpy(bytes + 4 + 24 * i, address, 4);
    }
    return NO_ERROR;
  }
};

TEST(GetLocalIPs, ListsEveryAddressOfALargeTable) {
  StandInTable table{30};
  const std::vector<std::wstring> addresses = nb::GetLocalIPs(std::ref(table));
  ASSERT_EQ(addresses.size(), 30u);
  EXPECT_EQ(addresses.front(), L"10.0.0.1");
  EXPECT_EQ(addresses[21], L"10.0.0.22");
  EXPECT_EQ(addresses.back(), L"10.0.0.30");
  EXPECT_TRUE(table.askedSorted);
}

struct FailingCase {
  unsigned long code;
  bool keepsGrowing;
};

TEST(GetLocalIPs, AFailingCallRaisesTheProgramsError) {
  for (const FailingCase c : {FailingCase{5, false}, FailingCase{50, false}, FailingCase{122, true}}) {
    unsigned long asked = 100;
    const auto call = [&](void*, unsigned long* size, bool) -> unsigned long {
      if (c.keepsGrowing) *size = asked *= 2;  // a table that outgrows every buffer
      return c.code;
    };
    try {
      nb::GetLocalIPs(call);
      ADD_FAILURE() << "no error for " << c.code;
    } catch (const nb::AppError& e) {
      EXPECT_EQ(e.number, -2147221504L);
      EXPECT_EQ(e.description, L"GetIpAddrTable failed with return value " + std::to_wstring(c.code));
    }
  }
}

TEST(GetLocalIPs, TheSystemsTableHoldsTheLoopbackAddress) {
  const std::vector<std::wstring> addresses = nb::GetLocalIPs();
  EXPECT_NE(std::find(addresses.begin(), addresses.end(), L"127.0.0.1"), addresses.end())
      << testing::PrintToString(addresses.size());
}

}  // namespace
