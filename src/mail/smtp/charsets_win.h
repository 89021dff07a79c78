// The charsets on Windows: the system's converter where it has the code page, our own encoders
// (built on the code pages it has) where it does not. Also UTF-8 conversions of wide text and
// the system's error texts.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "mail/smtp/charsets.h"

namespace nb::mail {

// The encoder for the charset. Throws std::runtime_error when neither the system nor an encoder
// of our own can write it.
std::unique_ptr<CharsetEncoder> MakeCharsetEncoder(const CharsetInfo& charset);

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);

// The system's description of an error code, in UTF-8, with the code: "Access is denied (5)".
std::string ReasonText(unsigned long code);

}  // namespace nb::mail
