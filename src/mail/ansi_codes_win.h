// The character codes of the system's ANSI code page, for the password scrambling.
#pragma once

#include "mail/scramble.h"

namespace nb {

class AnsiCharacterCodes final : public CharacterCodes {
 public:
  std::optional<int> CodeOf(wchar_t c) const override;
  std::optional<wchar_t> CharacterOf(int code) const override;
};

}  // namespace nb
