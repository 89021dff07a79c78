#include "detect/answer_head.h"

#include <cwctype>
#include <optional>

#include "base/text_util.h"

namespace nb {
namespace {

bool SameNameIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

// The value of the first Content-Length line, when it is a decimal number; one too large to
// count gives the largest length.
std::optional<std::uint64_t> ContentLength(std::wstring_view head) {
  for (const std::wstring_view line : SplitKeepEmpty(head, L'\n')) {
    const std::size_t colon = line.find(L':');
    if (colon == std::wstring_view::npos) continue;
    if (!SameNameIgnoringCase(Trim(line.substr(0, colon), TrimEnds::Both, L" \t"), L"Content-Length")) continue;
    const std::wstring_view value = Trim(line.substr(colon + 1), TrimEnds::Both, L" \t\r");
    if (value.empty()) return std::nullopt;
    std::uint64_t length = 0;
    for (const wchar_t c : value) {
      if (c < L'0' || c > L'9') return std::nullopt;
      const unsigned digit = static_cast<unsigned>(c - L'0');
      if (length > (UINT64_MAX - digit) / 10) return UINT64_MAX;
      length = length * 10 + digit;
    }
    return length;
  }
  return std::nullopt;
}

}  // namespace

bool AnswerHeadAccepted(unsigned long status, std::wstring_view head, std::uint64_t maxBytes) {
  if (status < 200 || status > 299) return false;
  const std::optional<std::uint64_t> length = ContentLength(head);
  return !length || *length <= maxBytes;
}

}  // namespace nb
