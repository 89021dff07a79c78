// Searching the configuration report (the viewer's Find and Find next). Portable: no Windows
// header. Positions are 1-based character positions held as full-size integers, so a match
// anywhere in a report of any length is found.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace nb {

// The search box's text as searched for: leading and trailing spaces (the space character
// only) removed.
std::wstring SearchTextOf(std::wstring_view searchBox);

// The position of the first occurrence of `searchText` in `report` that begins at or after the
// 1-based position `start` (exact case), or nothing. An empty search text is found at `start`
// itself while `start` lies within a non-empty report.
std::optional<std::size_t> FindFrom(std::wstring_view report, std::wstring_view searchText, std::size_t start);

// The message of a search that found nothing: the search text in double quotation marks,
// then " not found.".
std::wstring NotFoundText(std::wstring_view searchText);

// What one press of Find or Find next comes to.
struct SearchOutcome {
  std::wstring searchText;          // what was searched for
  bool found = false;
  std::size_t selectionStart = 0;   // 0-based offset of the match in the report
  std::size_t selectionLength = 0;  // the search text's length (0 for an empty one)
};

// The search of the report with the last match position kept between searches. The viewer keeps
// one for the whole run of the program (ViewerSearch), so Find next goes on from the previous
// opening's match.
class ReportSearch {
 public:
  // Searches from the 1-based position `start` (Find searches from 1, Find next from one character
  // after the start of the last match, so overlapping matches are found one after another). A
  // match becomes the last match; finding nothing keeps it.
  SearchOutcome Search(std::wstring_view report, std::wstring_view searchBox, std::size_t start);
  // 1-based; 0 before the first match.
  std::size_t LastMatch() const noexcept { return lastMatch_; }

 private:
  std::size_t lastMatch_ = 0;
};

// The configuration viewer's search state: one for the whole run of the program, outliving
// every opening of the window.
ReportSearch& ViewerSearch();

}  // namespace nb
