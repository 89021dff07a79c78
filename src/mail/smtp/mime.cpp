#include "mail/smtp/mime.h"

#include <algorithm>
#include <vector>

namespace nb::mail {
namespace {

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHex[] = "0123456789ABCDEF";

constexpr std::size_t kEncodedWordLimit = 75;

void AppendHexByte(std::string& out, unsigned char b) {
  out += '=';
  out += kHex[b >> 4];
  out += kHex[b & 15];
}

bool IsAlnum(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9'); }

// Characters that stand for themselves in a Q-encoded word anywhere in a header.
bool IsQSafe(unsigned char c) { return IsAlnum(c) || c == '!' || c == '*' || c == '+' || c == '-' || c == '/'; }

std::size_t QLength(std::string_view bytes) {
  std::size_t n = 0;
  for (char c : bytes) n += (IsQSafe(static_cast<unsigned char>(c)) || c == ' ') ? 1 : 3;
  return n;
}

std::string QEncode(std::string_view bytes) {
  std::string out;
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == ' ') {
      out += '_';
    } else if (IsQSafe(c)) {
      out += ch;
    } else {
      AppendHexByte(out, c);
    }
  }
  return out;
}

// RFC 5322 atext: what a display name may hold without quotes (besides blanks between words).
bool IsAtext(char32_t c) {
  return IsAlnum(c) || std::u32string_view(U"!#$%&'*+-/=?^_`{|}~").find(c) != std::u32string_view::npos;
}

// Whether the text can go into a header as it is: printable ASCII words separated by single
// blanks, none of them looking like an encoded-word or too long for a line of its own.
bool IsPlainHeaderText(std::u32string_view text) {
  if (text.empty()) return true;
  if (text.front() == U' ' || text.back() == U' ') return false;
  std::size_t wordLength = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (c < 0x20 || c > 0x7E) return false;
    if (c == U' ') {
      if (text[i - 1] == U' ') return false;
      wordLength = 0;
      continue;
    }
    if (c == U'=' && i + 1 < text.size() && text[i + 1] == U'?') return false;
    if (++wordLength > kHeaderLineLimit - 10) return false;
  }
  return true;
}

std::string Ascii(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) out += static_cast<char>(c);
  return out;
}

template <typename String>
String Base64Of(std::string_view bytes) {
  String out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += kBase64Alphabet[v >> 18];
    out += kBase64Alphabet[(v >> 12) & 63];
    out += kBase64Alphabet[(v >> 6) & 63];
    out += kBase64Alphabet[v & 63];
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kBase64Alphabet[v >> 18];
    out += kBase64Alphabet[(v >> 12) & 63];
    out += (i + 1 < bytes.size()) ? kBase64Alphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

}  // namespace

std::string Base64(std::string_view bytes) { return Base64Of<std::string>(bytes); }
SecretString SecretBase64(std::string_view bytes) { return Base64Of<SecretString>(bytes); }

void Base64Lines::Put(char c, std::string& out) {
  out += c;
  if (++column_ == kBodyLineLimit) {
    out += "\r\n";
    column_ = 0;
  }
}

void Base64Lines::Feed(std::string_view bytes, std::string& out) {
  std::size_t i = 0;
  while (pendingCount_ > 0 && pendingCount_ < 3 && i < bytes.size()) {
    pending_[pendingCount_++] = static_cast<unsigned char>(bytes[i++]);
  }
  auto emit = [&](unsigned v) {
    Put(kBase64Alphabet[v >> 18], out);
    Put(kBase64Alphabet[(v >> 12) & 63], out);
    Put(kBase64Alphabet[(v >> 6) & 63], out);
    Put(kBase64Alphabet[v & 63], out);
  };
  if (pendingCount_ == 3) {
    emit((pending_[0] << 16) | (pending_[1] << 8) | pending_[2]);
    pendingCount_ = 0;
  }
  out.reserve(out.size() + (bytes.size() - i) / 3 * 4 + (bytes.size() - i) / 57 * 2 + 8);
  for (; i + 3 <= bytes.size(); i += 3) {
    emit((static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
         static_cast<unsigned char>(bytes[i + 2]));
  }
  for (; i < bytes.size(); ++i) pending_[pendingCount_++] = static_cast<unsigned char>(bytes[i]);
}

void Base64Lines::Finish(std::string& out) {
  if (pendingCount_ > 0) {
    const std::string tail = Base64(std::string_view(reinterpret_cast<const char*>(pending_), pendingCount_));
    for (char c : tail) Put(c, out);
    pendingCount_ = 0;
  }
  if (column_ > 0) {
    out += "\r\n";
    column_ = 0;
  }
}

std::string QuotedPrintable(std::string_view text) {
  std::string out;
  std::size_t column = 0;
  auto put = [&](std::string_view token) {
    if (column + token.size() > kBodyLineLimit - 1) {
      out += "=\r\n";
      column = 0;
    }
    out += token;
    column += token.size();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
      column = 0;
      continue;
    }
    const bool lineEnds = i + 1 == text.size() || text[i + 1] == '\r' || text[i + 1] == '\n';
    if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !lineEnds)) {
      const char ch = static_cast<char>(c);
      put(std::string_view(&ch, 1));
    } else {
      std::string hex;
      AppendHexByte(hex, c);
      put(hex);
    }
  }
  return out;
}

HeaderLine::HeaderLine(std::string_view name) : text_(std::string(name) + ":"), lineLength_(text_.size()) {}

void HeaderLine::Add(std::string_view piece) {
  // One column is kept free for a separator appended after the piece.
  if (!empty_ && lineLength_ + 1 + piece.size() > kHeaderLineLimit - 1) {
    text_ += "\r\n";
    lineLength_ = 0;
  }
  text_ += ' ';
  text_ += piece;
  lineLength_ += 1 + piece.size();
  empty_ = false;
}

void HeaderLine::Append(std::string_view piece) {
  text_ += piece;
  lineLength_ += piece.size();
}

void AddHeaderText(HeaderLine& header, std::u32string_view text, const CharsetEncoder& encoder,
                   std::string_view charsetLabel, bool phrase) {
  if (IsPlainHeaderText(text)) {
    const bool needsQuotes =
        phrase && std::any_of(text.begin(), text.end(), [](char32_t c) { return c != U' ' && !IsAtext(c); });
    if (!needsQuotes) {
      std::size_t start = 0;
      while (start < text.size()) {
        std::size_t end = text.find(U' ', start);
        if (end == std::u32string_view::npos) end = text.size();
        header.Add(Ascii(text.substr(start, end - start)));
        start = end + 1;
      }
      return;
    }
    std::string quoted = "\"";
    for (char32_t c : text) {
      if (c == U'"' || c == U'\\') quoted += '\\';
      quoted += static_cast<char>(c);
    }
    quoted += '"';
    // A quoted string is not folded: it is used only when it fits on the line as it stands (its
    // escapes counted); a longer one goes as encoded-words, which can be split.
    if (quoted.size() <= header.Room()) {
      header.Add(quoted);
      return;
    }
  }
  const std::string all = encoder.Encode(text);
  // Q for mostly-ASCII text; B when it is shorter, and always for a charset that shifts with ESC.
  const bool useQ = all.find('\x1B') == std::string::npos && QLength(all) <= (all.size() + 2) / 3 * 4;
  const std::string prefix = "=?" + std::string(charsetLabel) + (useQ ? "?Q?" : "?B?");
  auto wordLength = [&](std::string_view bytes) {
    return prefix.size() + (useQ ? QLength(bytes) : (bytes.size() + 2) / 3 * 4) + 2;
  };
  std::size_t start = 0;
  // The first word fits on the line already begun when there is fair room on it.
  std::size_t limit = header.Room() >= prefix.size() + 10 ? std::min(kEncodedWordLimit, header.Room())
                                                           : kEncodedWordLimit;
  while (start < text.size()) {
    std::size_t count = 1;
    std::string bytes = encoder.Encode(text.substr(start, 1));
    while (start + count < text.size()) {
      std::string longer = encoder.Encode(text.substr(start, count + 1));
      if (wordLength(longer) > limit) break;
      bytes = std::move(longer);
      ++count;
    }
    header.Add(prefix + (useQ ? QEncode(bytes) : Base64(bytes)) + "?=");
    start += count;
    limit = kEncodedWordLimit;
  }
}

void AddParameter(HeaderLine& header, std::string_view name, std::string_view value) {
  const bool plain =
      std::all_of(value.begin(), value.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; });
  header.Append(";");
  if (plain && name.size() + value.size() + 3 <= kHeaderLineLimit - 10) {
    header.Add(std::string(name) + "=\"" + std::string(value) + "\"");
    return;
  }
  // RFC 2231: percent-encoded UTF-8, in numbered pieces of at most this many characters.
  constexpr std::size_t kPieceLimit = 60;
  std::vector<std::string> pieces(1, "utf-8''");
  // Whole characters in each piece: a UTF-8 sequence (at most four bytes) is never split.
  for (std::size_t i = 0; i < value.size();) {
    std::string token;
    do {
      const auto c = static_cast<unsigned char>(value[i++]);
      if (IsAlnum(c) || std::string_view("!#$&+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos) {
        token += static_cast<char>(c);
      } else {
        token += {'%', kHex[c >> 4], kHex[c & 15]};
      }
    } while (i < value.size() && (static_cast<unsigned char>(value[i]) & 0xC0) == 0x80 && token.size() < 12);
    if (pieces.back().size() + token.size() > kPieceLimit) pieces.emplace_back();
    pieces.back() += token;
  }
  if (pieces.size() == 1) {
    header.Add(std::string(name) + "*=" + pieces.front());
    return;
  }
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) header.Append(";");
    header.Add(std::string(name) + "*" + std::to_string(i) + "*=" + pieces[i]);
  }
}

}  // namespace nb::mail
