#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "netconfig/report_search.h"

namespace {

// One report: 40,077 characters, its last two lines well past character 32767.
const std::wstring& Report() {
  static const std::wstring report = L"Host Name . . . : nb\r\nDNS Servers . . : 192.0.2.53\r\nDNS aaaa\r\n" +
                                     std::wstring(40000, L'.') + L"deep match\r\nend";
  return report;
}

enum class Press { Find, FindNext };

struct Step {
  Press press;
  const wchar_t* searchBox;
  std::size_t found;  // 1-based position of the selection; 0: not found
  std::size_t selected;
};

// Presses in this order on the viewer's one search state, which outlives each opening.
const Step kSteps[] = {
    {Press::Find, L"Host", 1, 4},
    {Press::Find, L"host", 0, 0},          // exact case
    {Press::FindNext, L"  DNS  ", 23, 3},  // on from the last match (1), spaces ignored
    {Press::FindNext, L"DNS", 53, 3},
    {Press::FindNext, L"DNS", 0, 0},       // no wrap-around ...
    {Press::FindNext, L"DNS", 0, 0},       // ... however often
    {Press::Find, L"DNS", 23, 3},          // Find starts over
    {Press::Find, L"\tDNS", 0, 0},         // only spaces are ignored
    {Press::FindNext, L"aa", 57, 2},       // overlapping matches one after another
    {Press::FindNext, L"aa", 58, 2},
    {Press::FindNext, L"aa", 59, 2},
    {Press::FindNext, L"aa", 0, 0},
    {Press::Find, L"deep match", 40063, 10},  // past character 32767
    {Press::Find, L"", 1, 0},                 // empty: the caret at the start ...
    {Press::FindNext, L"   ", 2, 0},          // ... one character on with each Find next
    {Press::Find, L"end", 40075, 3},
    {Press::FindNext, L"", 40076, 0},
    {Press::FindNext, L"", 40077, 0},
    {Press::FindNext, L"", 0, 0},  // past the end
    {Press::FindNext, L"ep", 0, 0},
    {Press::Find, L"ep", 40065, 2},
};

TEST(ReportSearch, FindAndFindNextOverOneReport) {
  nb::ReportSearch& search = nb::ViewerSearch();
  std::size_t last = search.LastMatch();
  int step = 0;
  for (const Step& s : kSteps) {
    SCOPED_TRACE(testing::Message() << "step " << ++step);
    const std::size_t start = s.press == Press::Find ? 1 : search.LastMatch() + 1;
    const nb::SearchOutcome outcome = search.Search(Report(), s.searchBox, start);
    EXPECT_EQ(outcome.found, s.found != 0);
    if (s.found) {
      EXPECT_EQ(outcome.selectionStart, s.found - 1);
      EXPECT_EQ(outcome.selectionLength, s.selected);
      last = s.found;
    }
    EXPECT_EQ(search.LastMatch(), last) << "a search that finds nothing keeps the last match";
    EXPECT_EQ(&nb::ViewerSearch(), &search);
  }
}

TEST(ReportSearch, NotFoundMessageQuotesTheTrimmedSearchText) {
  nb::ReportSearch search;
  const nb::SearchOutcome outcome = search.Search(L"Host Name", L"  dns  ", 1);
  EXPECT_FALSE(outcome.found);
  EXPECT_EQ(nb::NotFoundText(outcome.searchText), L"\"dns\" not found.");
  EXPECT_FALSE(search.Search(L"", L"", 1).found) << "nothing is found in an empty report";
}

}  // namespace
