#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "localaddresses/address_list.h"
#include "base/app_error.h"
#include "ui/error_report_text.h"

namespace {

using Texts = std::vector<std::wstring>;

// A system address table: the count, then 24-byte rows starting with the address bytes.
std::vector<unsigned char> Table(unsigned count, const std::vector<std::array<unsigned char, 4>>& rows) {
  std::vector<unsigned char> bytes = {static_cast<unsigned char>(count), static_cast<unsigned char>(count >> 8),
                                      static_cast<unsigned char>(count >> 16), static_cast<unsigned char>(count >> 24)};
  for (const auto& address : rows) {
    std::vector<unsigned char> row(24, 0xEE);  // the rest of a row is not read
    std::copy(address.begin(), address.end(), row.begin());
    bytes.insert(bytes.end(), row.begin(), row.end());
  }
  return bytes;
}

struct TableCase {
  const char* name;
  std::vector<unsigned char> table;
  Texts addresses;
};

class AddressTables : public testing::TestWithParam<TableCase> {};

TEST_P(AddressTables, GiveDottedTextsInRowOrder) { EXPECT_EQ(nb::AddressTableTexts(GetParam().table), GetParam().addresses); }

INSTANTIATE_TEST_SUITE_P(
    Tables, AddressTables,
    testing::Values(TableCase{"Empty", Table(0, {}), {}},
                    TableCase{"Loopback", Table(1, {{127, 0, 0, 1}}), {L"127.0.0.1"}},
                    TableCase{"ByteOrder", Table(2, {{192, 0, 2, 2}, {10, 255, 0, 100}}), {L"192.0.2.2", L"10.255.0.100"}},
                    TableCase{"DuplicateRowsKept", Table(2, {{10, 0, 0, 1}, {10, 0, 0, 1}}), {L"10.0.0.1", L"10.0.0.1"}},
                    // Bytes after the counted rows are not rows.
                    TableCase{"SpareBytes", Table(1, {{1, 2, 3, 4}, {5, 6, 7, 8}}), {L"1.2.3.4"}}),
    [](const testing::TestParamInfo<TableCase>& info) { return std::string(info.param.name); });

TEST(AddressTables, ACountBeyondTheBytesIsOutOfRange) {
  for (const auto& table : {Table(2, {{1, 2, 3, 4}}), Table(0x01000001u, {{1, 2, 3, 4}}), std::vector<unsigned char>{1, 0}}) {
    try {
      nb::AddressTableTexts(table);
      ADD_FAILURE() << "no error for a table of " << table.size() << " bytes";
    } catch (const nb::AppError& e) {
      EXPECT_EQ(e.number, 9);
    }
  }
}

struct ListCase {
  const char* name;
  Texts table;
  const wchar_t* publicEntry;
  Texts list;
};

class AddressLists : public testing::TestWithParam<ListCase> {};

TEST_P(AddressLists, EndWithThePublicAddressUnlessItIsThere) {
  const ListCase& c = GetParam();
  Texts list = c.table;
  nb::AddUnique(list, c.publicEntry);
  EXPECT_EQ(list, c.list);
  EXPECT_EQ(nb::AddressCountLine(list.size()), L"Nr of IP addresses: " + std::to_wstring(c.list.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, AddressLists,
    testing::Values(
        ListCase{"LoopbackOnly", {L"127.0.0.1"}, L"203.0.113.7", {L"127.0.0.1", L"203.0.113.7"}},
        ListCase{"PublicEqualsARow", {L"127.0.0.1", L"203.0.113.7"}, L"203.0.113.7", {L"127.0.0.1", L"203.0.113.7"}},
        ListCase{"DuplicateRows",
                 {L"10.0.0.1", L"10.0.0.1"},
                 L"203.0.113.7",
                 {L"10.0.0.1", L"10.0.0.1", L"203.0.113.7"}},
        ListCase{"AccessError", {L"127.0.0.1"}, L"Access error", {L"127.0.0.1", L"Access error"}},
        ListCase{"EmptyPublicText", {L"127.0.0.1"}, L"", {L"127.0.0.1"}},
        // Exact comparison: another spelling is another entry.
        ListCase{"ExactComparison", {L"access error"}, L"Access error", {L"access error", L"Access error"}},
        ListCase{"EmptyTable", {}, L"203.0.113.7", {L"203.0.113.7"}}),
    [](const testing::TestParamInfo<ListCase>& info) { return std::string(info.param.name); });

TEST(CopiedAddressText, SelectedEntriesInListOrderEachWithCrLf) {
  const Texts entries = {L"10.0.0.1", L"10.0.0.2", L"10.0.0.3", L"10.0.0.4", L"203.0.113.7"};
  EXPECT_EQ(nb::CopiedAddressText(entries, {true, false, true, false, true}),
            L"10.0.0.1\r\n10.0.0.3\r\n203.0.113.7\r\n");
  EXPECT_EQ(nb::CopiedAddressText(entries, {false, true}), L"10.0.0.2\r\n");
  EXPECT_EQ(nb::CopiedAddressText(entries, {}), L"");
}

TEST(AllIPsLoadErrorHint, TellsOfWindows95OnlyWhenTheLibraryIsMissing) {
  EXPECT_EQ(nb::AllIPsLoadErrorHint(48), L"This option is not functional under Windows 95. Sorry for that.");
  for (const long number : {-2147221504L, 9L, 53L}) EXPECT_EQ(nb::AllIPsLoadErrorHint(number), nb::kReportToMakerHint);
}

}  // namespace
