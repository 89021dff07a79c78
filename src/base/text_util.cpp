#include "base/text_util.h"

#include <charconv>
#include <cmath>

namespace nb {

std::wstring StripNull(std::wstring_view text) { return std::wstring(text.substr(0, text.find(L'\0'))); }

std::string StripNull(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

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

std::optional<double> ParseNumber(std::wstring_view text) {
  text = Trim(text, TrimEnds::Both, L" \t");

  bool negative = false;
  if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
    negative = text.front() == L'-';
    text.remove_prefix(1);
  }
  // Check the form, copying it as plain ASCII for the conversion.
  std::string ascii;
  size_t i = 0;
  size_t mantissaDigits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) ascii += static_cast<char>(text[i]);
  if (i < text.size() && text[i] == L'.') {
    ascii += '.';
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) ascii += static_cast<char>(text[i]);
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
    ascii += 'e';
    ++i;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ascii += static_cast<char>(text[i++]);
    size_t exponentDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits) ascii += static_cast<char>(text[i]);
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;

  double value = 0;
  const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too large or too small for a double: the sign of the exponent tells which.
    const bool tiny = ascii.find("e-") != std::string::npos;
    value = tiny ? 0.0 : HUGE_VAL;
  } else if (error != std::errc() || end != ascii.data() + ascii.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

}  // namespace nb
