#include "mail/scramble.h"

#include <cstdint>
#include <limits>

#include "base/app_error.h"

namespace nb {
namespace {

[[noreturn]] void Overflow() { throw AppError(errnum::kOverflow, L"Overflow"); }

std::wstring Shift(std::wstring& text, const CharacterCodes& codes, int by) {
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) Overflow();
  for (wchar_t& c : text) {
    const int code = codes.CodeOf(c) + by;
    if (code < std::numeric_limits<std::int16_t>::min() || code > std::numeric_limits<std::int16_t>::max()) Overflow();
    const std::optional<wchar_t> shifted = codes.CharacterOf(code);
    if (!shifted) throw AppError(errnum::kInvalidCall, L"Invalid procedure call or argument");
    c = *shifted;
  }
  return text;
}

}  // namespace

std::wstring Ncrypt(std::wstring& strInput, const CharacterCodes& codes) { return Shift(strInput, codes, kPasswordShift); }

std::wstring Dcrypt(std::wstring& strInput, const CharacterCodes& codes) { return Shift(strInput, codes, -kPasswordShift); }

}  // namespace nb
