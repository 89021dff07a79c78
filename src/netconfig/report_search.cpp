#include "netconfig/report_search.h"

#include "base/text_util.h"

namespace nb {

std::wstring SearchTextOf(std::wstring_view searchBox) { return std::wstring(Trim(searchBox)); }

std::optional<std::size_t> FindFrom(std::wstring_view report, std::wstring_view searchText, std::size_t start) {
  if (report.empty() || start == 0 || start > report.size()) return std::nullopt;
  const std::size_t at = report.find(searchText, start - 1);
  if (at == std::wstring_view::npos) return std::nullopt;
  return at + 1;
}

std::wstring NotFoundText(std::wstring_view searchText) {
  return L"\"" + std::wstring(searchText) + L"\" not found.";
}

SearchOutcome ReportSearch::Search(std::wstring_view report, std::wstring_view searchBox, std::size_t start) {
  SearchOutcome outcome;
  outcome.searchText = SearchTextOf(searchBox);
  if (const auto position = FindFrom(report, outcome.searchText, start)) {
    lastMatch_ = *position;
    outcome.found = true;
    outcome.selectionStart = *position - 1;
    outcome.selectionLength = outcome.searchText.size();
  }
  return outcome;
}

ReportSearch& ViewerSearch() {
  static ReportSearch search;
  return search;
}

}  // namespace nb
