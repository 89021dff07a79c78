// MIME encodings for outgoing mail: base64, quoted-printable, RFC 2047 encoded-words and folded
// header fields, RFC 2231 parameters. Every line they make ends in CR LF. Portable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "mail/smtp/charsets.h"

namespace nb::mail {

inline constexpr std::size_t kBodyLineLimit = 76;    // encoded body lines, without CR LF
inline constexpr std::size_t kHeaderLineLimit = 78;  // header lines, without CR LF

// Base64 without line breaks.
std::string Base64(std::string_view bytes);
SecretString SecretBase64(std::string_view bytes);  // of a secret

// Base64 in lines of 76 characters, fed piece by piece: a file is encoded as it is read.
class Base64Lines {
 public:
  // Appends the lines completed by `bytes` to `out`.
  void Feed(std::string_view bytes, std::string& out);
  // Appends the rest, with padding, and a last CR LF when a line was begun.
  void Finish(std::string& out);

 private:
  void Put(char c, std::string& out);
  unsigned char pending_[3] = {};
  std::size_t pendingCount_ = 0;
  std::size_t column_ = 0;
};

// Quoted-printable of text whose lines end in CR LF (other line ends are taken as CR LF too);
// soft line breaks keep every line within 76 characters. The result ends with CR LF when the
// text does.
std::string QuotedPrintable(std::string_view text);

// A header field "Name: value" folded into lines of at most 78 characters, each line ending in
// CR LF. Pieces are added one by one; a piece is never split, and a new line (CR LF and a blank)
// is started before a piece that would not fit on the current one.
class HeaderLine {
 public:
  explicit HeaderLine(std::string_view name);
  // Adds `piece`, separated from the previous one by a blank (or a line break).
  void Add(std::string_view piece);
  // Adds `piece` right after the previous one, on the same line.
  void Append(std::string_view piece);
  std::string Finish() const { return text_ + "\r\n"; }
  // Characters a piece may have to stay on the current line.
  std::size_t Room() const {
    return lineLength_ + 3 > kHeaderLineLimit ? 0 : kHeaderLineLimit - 2 - lineLength_;
  }

 private:
  std::string text_;
  std::size_t lineLength_ = 0;
  bool empty_ = true;
};

// Adds unstructured text (a subject, a display name) to a header: as plain words folded at its
// blanks when it is short printable ASCII that reads back the same; otherwise as RFC 2047
// encoded-words in the charset (B or Q, whichever is shorter), whole characters in each word,
// each word within 75 characters. `phrase` marks a display name, where ASCII with special
// characters goes in a quoted string.
void AddHeaderText(HeaderLine& header, std::u32string_view text, const CharsetEncoder& encoder,
                   std::string_view charsetLabel, bool phrase);

// The parameter `name` with `value` (UTF-8) for a Content-Type or Content-Disposition field:
// name="value" when it is short printable ASCII, otherwise RFC 2231 in UTF-8, split into
// numbered continuations so that no line grows past 78 characters. Each piece is added to
// `header` preceded by "; ".
void AddParameter(HeaderLine& header, std::string_view name, std::string_view value);

}  // namespace nb::mail
