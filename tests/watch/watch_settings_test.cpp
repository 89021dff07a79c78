#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "watch/watch_settings.h"

namespace {

using Stored = std::map<std::wstring, std::wstring, std::less<>>;

nb::WatchSettings Read(const Stored& stored) {
  return nb::ReadWatchSettings([&](std::wstring_view name) -> std::optional<std::wstring> {
    const auto value = stored.find(name);
    return value == stored.end() ? std::nullopt : std::optional(value->second);
  });
}

TEST(WatchSettings, ABadValueKeepsItsDefaultAndNoOtherIsLost) {
  const struct {
    Stored stored;
    nb::WatchSettings read;
  } cases[] = {
      {{}, {false, 15, false, L""}},
      {{{L"Watch", L"1"}, {L"WatchMinutes", L" 60 "}, {L"WatchMail", L"1"}, {L"WatchCommand", L"a.cmd %1"}},
       {true, 60, true, L"a.cmd %1"}},
      {{{L"Watch", L"2"}, {L"WatchMinutes", L"1440"}, {L"WatchMail", L"yes"}}, {false, 1440, false, L""}},
      {{{L"Watch", L"1"}, {L"WatchMinutes", L"1"}, {L"WatchMail", L""}}, {true, 1, false, L""}},
      {{{L"WatchMinutes", L""}, {L"WatchMail", L"1"}}, {false, 15, true, L""}},
      {{{L"WatchMinutes", L"0"}}, {}}, {{{L"WatchMinutes", L"-5"}}, {}}, {{{L"WatchMinutes", L"7.5"}}, {}},
      {{{L"WatchMinutes", L"1441"}}, {}}, {{{L"WatchMinutes", L"1e30"}}, {}}, {{{L"WatchMinutes", L"ten"}}, {}},
  };
  for (const auto& c : cases) {
    const auto settings = Read(c.stored);
    EXPECT_EQ(settings, c.read) << testing::PrintToString(c.stored);
    Stored written;  // what is stored back reads back the same
    for (const auto& [name, text] : nb::WatchSettingsTexts(settings)) written[name] = text;
    EXPECT_EQ(Read(written), settings);
  }
}

}  // namespace
