#include "mail/scramble.h"

#include <cstdint>
#include <limits>

#include "base/app_error.h"

namespace nb {
namespace {

[[noreturn]] void Overflow() { throw AppError(errnum::kOverflow, L"Overflow"); }

[[noreturn]] void InvalidCall() { throw AppError(errnum::kInvalidCall, L"Invalid procedure call or argument"); }

}  // namespace

void ShiftCodes(wchar_t* text, std::size_t size, const CharacterCodes& codes, int by) {
  if (size > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) Overflow();
  for (wchar_t* c = text; c != text + size; ++c) {
    const std::optional<int> code = codes.CodeOf(*c);
    if (!code) InvalidCall();
    const int moved = *code + by;
    if (moved < std::numeric_limits<std::int16_t>::min() || moved > std::numeric_limits<std::int16_t>::max()) Overflow();
    const std::optional<wchar_t> shifted = codes.CharacterOf(moved);
    if (!shifted) InvalidCall();
    *c = *shifted;
  }
}

}  // namespace nb
