// Scrambling of the stored mail password: before it is stored every character's code moves up by
// a fixed shift, after it is read back down again. There is no key beyond the shift: the point
// is that the password does not stand in the settings as typed. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <optional>

namespace nb {

// The shift. The stored form holds one byte per character, so a character can be stored only
// when its code plus the shift is at most 255; the smallest shift leaves out only code 255.
inline constexpr int kPasswordShift = 1;

// Character codes as the scrambling sees them: on Windows those of the ANSI code page (a double-
// byte character's two bytes taken together as a signed 16-bit number).
class CharacterCodes {
 public:
  virtual ~CharacterCodes() = default;
  // The code of a character; nothing for a character the code page lacks (which Windows would
  // write as "?": a password that keeps it would come back wrong).
  virtual std::optional<int> CodeOf(wchar_t c) const = 0;
  // The character with the code, or nothing when no character has it.
  virtual std::optional<wchar_t> CharacterOf(int code) const = 0;
};

// Replaces every character of the text, in order, by the character whose code is its own plus
// `by`. A text longer than 32,767 characters, or a code that leaves the signed 16-bit range, raises
// AppError 6 (overflow); a character the code page lacks, or a code that no character has, raises
// AppError 5 (invalid procedure call). The characters before the failing one have then been
// changed already.
void ShiftCodes(wchar_t* text, std::size_t size, const CharacterCodes& codes, int by);

// Ncrypt moves every character of strInput up by the shift, Dcrypt down, and both return the
// result, as ShiftCodes says. Any wide string will do: a password is kept in one that is wiped
// when it goes (base/secret_text.h).
template <typename Text>
Text Ncrypt(Text& strInput, const CharacterCodes& codes) {
  ShiftCodes(strInput.data(), strInput.size(), codes, kPasswordShift);
  return strInput;
}

template <typename Text>
Text Dcrypt(Text& strInput, const CharacterCodes& codes) {
  ShiftCodes(strInput.data(), strInput.size(), codes, -kPasswordShift);
  return strInput;
}

}  // namespace nb
