// The mail charsets: the names the mail window passes, how each one is produced, and the
// encoders of our own for the charsets that the system's converter may lack. Portable: the
// system's code pages reach these encoders through a BaseCodePage function.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/secret_text.h"

namespace nb::mail {

// How a charset's bytes are made when the system's converter does not have its code page.
enum class OwnEncoding {
  kNone,       // the system's code page always exists (the single-byte sets, 936, 949, 950)
  kUtf8,       // by arithmetic, always (as UTF-7)
  kUtf7,       // RFC 2152, by arithmetic, always
  kGb18030,    // two-byte part from code page 936, four-byte part by arithmetic
  kHz,         // GB2312 from code page 936, wrapped in HZ's ~{ ~} shifts
  kIso2022Jp,  // JIS X 0208 from code page 932 (Shift-JIS) by arithmetic, with ESC shifts
  kEucKr,      // KS X 1001 from code page 949
};

struct CharsetInfo {
  std::string_view label;   // the MIME name written in the message
  unsigned codePage;        // the system's code page for it (0: none)
  OwnEncoding own;          // the encoder of our own used when the code page is missing
  bool systemNeedsNoFlags;  // the system converts it only when called without flags
  bool stateful;            // shifts in and out of ASCII (text must end each line in ASCII)
  bool gb2312Only;          // bytes outside GB2312 become "?" (the system's 936 is wider)
};

// The charset with this name (letter case ignored), or nullptr.
const CharsetInfo* FindCharset(std::string_view name);

// Turns text into a charset's bytes. The bytes of one call start and end in the charset's ASCII
// state, so that every call's result stands alone. A character the charset cannot carry
// becomes "?".
class CharsetEncoder {
 public:
  virtual ~CharsetEncoder() = default;
  virtual std::string Encode(std::u32string_view text) const = 0;
};

// The bytes of one character in a system code page; empty when the code page lacks it.
using BaseCodePage = std::function<std::string(char32_t)>;

// The encoder of our own for `kind`, with `base` giving the code page it is built on (936 for
// GB18030 and HZ, 932 for ISO-2022-JP, 949 for EUC-KR; unused for UTF-7 and UTF-8).
std::unique_ptr<CharsetEncoder> MakeOwnEncoder(OwnEncoding kind, BaseCodePage base);

// Replaces every character of code-page-936 bytes that lies outside GB2312 by "?".
std::string KeepGb2312(std::string_view cp936Bytes);

// Code points of a wide text (UTF-16 pairs joined where wchar_t is 16 bits; a lone surrogate
// becomes U+FFFD).
std::u32string CodePoints(std::wstring_view text);
std::string Utf8(std::u32string_view text);
// A secret wide text (a password) in UTF-8, without an ordinary copy on the way.
SecretString SecretUtf8(std::wstring_view text);
std::u32string FromUtf8(std::string_view bytes);  // invalid bytes become U+FFFD

}  // namespace nb::mail
