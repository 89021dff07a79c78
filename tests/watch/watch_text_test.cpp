#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "watch/watch_text.h"

namespace {

using nb::AddressKind;

TEST(WatchToolTip, ShowsTheAddressesAndTheLastCheckWithinTheLimit) {
  const struct {
    std::vector<nb::TipLine> lines;
    std::wstring lastCheck, tip;
  } cases[] = {
      {{{L"Public", std::nullopt}, {L"LAN", L"192.168.1.20"}}, L"14:05",
       L"No internet connection\nLAN: 192.168.1.20\nLast check: 14:05"},
      // Exactly 127 characters with three lines: the fourth is left out.
      {{{L"Public", L"203.0.113.254"}, {L"LAN", L"192.168.100.200"},
        {L"Public IPv6", L"2001:0db8:85a3:0000:0000:8a2e:0370:7334"}, {L"LAN IPv6", L"fe80::1"}},
       L"2024-05-01 14:05:33",
       L"Public: 203.0.113.254\nLAN: 192.168.100.200\nPublic IPv6: 2001:0db8:85a3:0000:0000:8a2e:0370:7334\n"
       L"Last check: 2024-05-01 14:05:33"},
      {{{L"LAN", L"192.168.1.20"}}, std::wstring(200, L'9'), L"Last check: " + std::wstring(115, L'9')},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::WatchToolTip(c.lines, c.lastCheck), c.tip);
}

TEST(AddressChanges, OnlyFromOneAddressToAnother) {
  const nb::WatchResult before{L"198.51.100.7", L"192.168.1.20"};
  const struct {
    nb::WatchResult last, now;
    std::vector<nb::AddressChange> changes;
  } cases[] = {
      {before, {L"203.0.113.9", L"10.0.0.5"},
       {{AddressKind::Public, L"198.51.100.7", L"203.0.113.9"}, {AddressKind::Lan, L"192.168.1.20", L"10.0.0.5"}}},
      {before, before, {}},
      {{L"Access error", L"---.---.---.---"}, before, {}},
      {before, {L"Access error", L""}, {}},
      // The IPv6 addresses too; one that comes or goes (no IPv6 on one side) is no change.
      {{L"198.51.100.7", L"192.168.1.20", L"2a00:1450::5", L"2a00:1450::6"},
       {L"198.51.100.7", L"192.168.1.20", L"2a00:1450::9", L"Access error"},
       {{AddressKind::PublicIPv6, L"2a00:1450::5", L"2a00:1450::9"}}},
      {before, {L"198.51.100.7", L"192.168.1.20", L"2a00:1450::9", L"2a00:1450::6"}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::AddressChanges(c.last, c.now), c.changes);
}

// A check that failed in between keeps the address before it: the change across it is told.
TEST(LastSeen, KeepsWhatAFailedCheckCouldNotSee) {
  const nb::WatchResult seen{L"198.51.100.7", L"192.168.1.20", L"2a00:1450::5", L""};
  const nb::WatchResult failed{L"Access error", L"", L"Access error", L"2a00:1450::6"};
  const nb::WatchResult last = nb::LastSeen(seen, failed);
  EXPECT_EQ(last, (nb::WatchResult{L"198.51.100.7", L"192.168.1.20", L"2a00:1450::5", L"2a00:1450::6"}));
  EXPECT_EQ(nb::AddressChanges(last, {L"203.0.113.9", L"192.168.1.20", L"2a00:1450::5", L"2a00:1450::6"}),
            (std::vector<nb::AddressChange>{{AddressKind::Public, L"198.51.100.7", L"203.0.113.9"}}));
}

TEST(ChangeNotice, NamesTheOldAndTheNewAddressWithinTheLimit) {
  const auto notice = nb::ChangeNotice({AddressKind::Lan, L"192.168.1.20", L"10.0.0.5"});
  EXPECT_EQ(notice.title, L"LAN address changed");
  EXPECT_EQ(notice.text, L"The LAN address is now 10.0.0.5 (it was 192.168.1.20).");
  EXPECT_EQ(nb::ChangeNotice({AddressKind::Public, std::wstring(300, L'1'), L"1.2.3.4"}).text.size(), 255u);
  EXPECT_EQ(nb::ChangeNotice({AddressKind::PublicIPv6, L"2a00::5", L"2a00::9"}).title, L"Public IPv6 address changed");
}

TEST(WatchCommandLine, PutsInOnlyAddressCharacters) {
  const nb::CommandAddresses addresses{L"203.0.113.9", L"192.168.1.20", L"2001:DB8::1", L""};
  const struct {
    std::wstring command;
    nb::CommandAddresses addresses;
    std::wstring line;
  } cases[] = {
      {L"a.cmd %1 %2 \"%3\" [%4] %1%2", addresses, L"a.cmd 203.0.113.9 192.168.1.20 \"2001:DB8::1\" [] "
                                                   L"203.0.113.9192.168.1.20"},
      {L"echo 100%% %%1 %5 %PATH% %", addresses, L"echo 100% %1 %5 %PATH% %"},
      {L"a.cmd %1 %2 %3", {L"1.2.3.4&bad", L"10.0.0.1\"", L"::1 ", L""}, L"a.cmd   "},
  };
  for (const auto& c : cases) EXPECT_EQ(nb::WatchCommandLine(c.command, c.addresses), c.line);
}

}  // namespace
