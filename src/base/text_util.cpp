#include "base/text_util.h"

namespace nb {

std::wstring StripNull(std::wstring_view text) { return std::wstring(text.substr(0, text.find(L'\0'))); }

std::string StripNull(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

namespace {
template <typename View>
View TrimView(View text, TrimEnds ends, View characters) {
  if (ends != TrimEnds::Trailing) {
    const auto first = text.find_first_not_of(characters);
    text.remove_prefix(first == View::npos ? text.size() : first);
  }
  if (ends != TrimEnds::Leading) {
    const auto last = text.find_last_not_of(characters);
    text.remove_suffix(last == View::npos ? text.size() : text.size() - last - 1);
  }
  return text;
}
}  // namespace

std::wstring_view Trim(std::wstring_view text, TrimEnds ends, std::wstring_view characters) {
  return TrimView(text, ends, characters);
}

std::u32string_view Trim(std::u32string_view text, TrimEnds ends, std::u32string_view characters) {
  return TrimView(text, ends, characters);
}

std::vector<std::wstring_view> SplitKeepEmpty(std::wstring_view text, wchar_t separator) {
  std::vector<std::wstring_view> pieces;
  for (;;) {
    const auto at = text.find(separator);
    pieces.push_back(text.substr(0, at));
    if (at == std::wstring_view::npos) return pieces;
    text.remove_prefix(at + 1);
  }
}

}  // namespace nb
