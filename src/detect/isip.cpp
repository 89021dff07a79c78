#include "detect/isip.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "base/text_util.h"

namespace nb {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

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

bool IsIP(std::wstring_view ip) {
  const auto pieces = SplitKeepEmpty(ip, L'.');
  if (pieces.size() != 4) return false;
  std::array<double, 4> values{};
  for (size_t k = 0; k < 4; ++k) {
    const auto value = ParseNumber(pieces[k]);
    if (!value) return false;
    values[k] = *value;
  }
  for (const auto piece : pieces) {
    if (piece.size() > 3) return false;
  }
  for (const double value : values) {
    if (value > 255) return false;
  }
  for (const double value : values) {
    if (value < 0) return false;
  }
  return true;
}

}  // namespace nb
