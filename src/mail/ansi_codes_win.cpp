#include "mail/ansi_codes_win.h"

#include <windows.h>

#include <cstdint>

namespace nb {
namespace {

bool DoubleByteCodePage() {
  CPINFO info{};
  return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2;
}

std::optional<wchar_t> Decode(const char* bytes, int count, DWORD flags) {
  wchar_t c[2] = {};
  return MultiByteToWideChar(CP_ACP, flags, bytes, count, c, 2) == 1 ? std::optional<wchar_t>(c[0]) : std::nullopt;
}

}  // namespace

std::optional<int> AnsiCharacterCodes::CodeOf(wchar_t c) const {
  // No best fit: a character the code page lacks has no code, rather than a look-alike's.
  const bool utf8 = GetACP() == CP_UTF8;
  char bytes[4] = {};
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, &c, 1, bytes, sizeof bytes, nullptr,
                                    utf8 ? nullptr : &usedDefault);
  if (usedDefault || n < 1 || n > 2 || (n == 2 && !DoubleByteCodePage())) return std::nullopt;
  if (n == 1) return static_cast<unsigned char>(bytes[0]);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((static_cast<unsigned char>(bytes[0]) << 8) |
                                                              static_cast<unsigned char>(bytes[1])));
}

std::optional<wchar_t> AnsiCharacterCodes::CharacterOf(int code) const {
  if (code >= 0 && code <= 0xFF) {
    const char byte = static_cast<char>(code);
    // A lead byte alone is no character.
    if (IsDBCSLeadByte(static_cast<BYTE>(byte))) return std::nullopt;
    return Decode(&byte, 1, 0);
  }
  if (!DoubleByteCodePage()) return std::nullopt;
  const auto pair = static_cast<std::uint16_t>(code);
  const char bytes[2] = {static_cast<char>(pair >> 8), static_cast<char>(pair & 0xFF)};
  if (!IsDBCSLeadByte(static_cast<BYTE>(bytes[0]))) return std::nullopt;
  return Decode(bytes, 2, MB_ERR_INVALID_CHARS);
}

}  // namespace nb
