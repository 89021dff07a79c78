// Address validation and its number reading over arbitrary text.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_util.h"
#include "detect/isip.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = nbfuzz::Widen(nbfuzz::Bytes(data, size));

  const auto number = nb::ParseNumber(text);
  if (number) {
    NB_FUZZ_CHECK(!std::isnan(*number));
    // Blanks around the text and a minus sign before it change only the sign.
    NB_FUZZ_CHECK(nb::ParseNumber(L" \t" + text + L"\t ") == number);
    const std::size_t first = text.find_first_not_of(L" \t");
    if (text[first] != L'+' && text[first] != L'-') {
      const auto negated = nb::ParseNumber(L"-" + text.substr(first));
      NB_FUZZ_CHECK(negated && *negated == -*number);
    }
  }

  if (nb::IsIP(text)) {
    // Only what numbers and dots are written with.
    NB_FUZZ_CHECK(text.find_first_not_of(L"0123456789.+-eE \t") == std::wstring::npos);
    // Four pieces of one to three characters, each a number from 0 to 255.
    NB_FUZZ_CHECK(std::count(text.begin(), text.end(), L'.') == 3);
    std::size_t begin = 0;
    for (int k = 0; k < 4; ++k) {
      const std::size_t dot = text.find(L'.', begin);  // none after the last piece
      const std::wstring_view piece = std::wstring_view(text).substr(begin, dot - begin);
      NB_FUZZ_CHECK(!piece.empty() && piece.size() <= 3);
      const auto value = nb::ParseNumber(piece);
      NB_FUZZ_CHECK(value && *value >= 0 && *value <= 255);
      begin = dot + 1;
    }
  }
  return 0;
}
