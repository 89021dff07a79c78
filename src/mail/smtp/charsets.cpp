#include "mail/smtp/charsets.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace nb::mail {
namespace {

// The 28 charsets the mail window offers, by the names it passes.
constexpr CharsetInfo kCharsets[] = {
    // label, code page, own encoder, flags 0 only, stateful, GB2312 only
    {"windows-1256", 1256, OwnEncoding::kNone, false, false, false},
    {"iso-8859-4", 28594, OwnEncoding::kNone, false, false, false},
    {"windows-1257", 1257, OwnEncoding::kNone, false, false, false},
    {"iso-8859-2", 28592, OwnEncoding::kNone, false, false, false},
    {"windows-1250", 1250, OwnEncoding::kNone, false, false, false},
    {"gb18030", 54936, OwnEncoding::kGb18030, true, false, false},
    {"gb2312", 936, OwnEncoding::kNone, false, false, true},
    {"hz-gb-2312", 52936, OwnEncoding::kHz, true, true, false},
    {"big5", 950, OwnEncoding::kNone, false, false, false},
    {"iso-8859-5", 28595, OwnEncoding::kNone, false, false, false},
    {"koi8-r", 20866, OwnEncoding::kNone, false, false, false},
    {"koi8-u", 21866, OwnEncoding::kNone, false, false, false},
    {"windows-1251", 1251, OwnEncoding::kNone, false, false, false},
    {"iso-8859-7", 28597, OwnEncoding::kNone, false, false, false},
    {"windows-1253", 1253, OwnEncoding::kNone, false, false, false},
    {"windows-1255", 1255, OwnEncoding::kNone, false, false, false},
    {"iso-2022-jp", 50220, OwnEncoding::kIso2022Jp, true, true, false},
    {"ks_c_5601-1987", 949, OwnEncoding::kNone, false, false, false},
    {"euc-kr", 51949, OwnEncoding::kEucKr, false, false, false},
    {"iso-8859-15", 28605, OwnEncoding::kNone, false, false, false},
    {"windows-874", 874, OwnEncoding::kNone, false, false, false},
    {"iso-8859-9", 28599, OwnEncoding::kNone, false, false, false},
    {"windows-1254", 1254, OwnEncoding::kNone, false, false, false},
    // UTF-7 and UTF-8 are arithmetic: ours always (ours also keeps header specials out of
    // UTF-7's direct characters).
    {"utf-7", 0, OwnEncoding::kUtf7, false, true, false},
    {"utf-8", 0, OwnEncoding::kUtf8, false, false, false},
    {"windows-1258", 1258, OwnEncoding::kNone, false, false, false},
    {"iso-8859-1", 28591, OwnEncoding::kNone, false, false, false},
    {"windows-1252", 1252, OwnEncoding::kNone, false, false, false},
};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Calls fn with each code point of a wide text (see CodePoints).
template <typename Fn>
void ForEachCodePoint(std::wstring_view text, Fn&& fn) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if constexpr (sizeof(wchar_t) == 2) {
      c &= 0xFFFF;
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
        const char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
        if (low >= 0xDC00 && low <= 0xDFFF) {
          fn(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
          ++i;
          continue;
        }
      }
    }
    fn((IsSurrogate(c) || c > 0x10FFFF) ? char32_t{0xFFFD} : c);
  }
}

template <typename String>
void AppendUtf8(String& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

class Utf8Encoder final : public CharsetEncoder {
 public:
  std::string Encode(std::u32string_view text) const override {
    std::string out;
    for (char32_t c : text) AppendUtf8(out, (IsSurrogate(c) || c > 0x10FFFF) ? U'?' : c);
    return out;
  }
};

// UTF-7 with only the plainly safe characters written directly; every other character, the
// optional direct set of RFC 2152 included, goes into a base64 run that always ends with "-".
class Utf7Encoder final : public CharsetEncoder {
 public:
  std::string Encode(std::u32string_view text) const override {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    bool inRun = false;
    std::uint32_t bits = 0;
    int bitCount = 0;
    auto endRun = [&] {
      if (!inRun) return;
      if (bitCount > 0) out += kAlphabet[(bits << (6 - bitCount)) & 0x3F];
      out += '-';
      inRun = false;
      bits = 0;
      bitCount = 0;
    };
    auto put16 = [&](std::uint32_t unit) {
      bits = (bits << 16) | unit;
      bitCount += 16;
      while (bitCount >= 6) {
        bitCount -= 6;
        out += kAlphabet[(bits >> bitCount) & 0x3F];
      }
      bits &= (1u << bitCount) - 1;
    };
    for (char32_t c : text) {
      if (IsSurrogate(c) || c > 0x10FFFF) c = U'?';
      if (IsDirect(c)) {
        endRun();
        out += static_cast<char>(c);
      } else if (c == U'+' && !inRun) {
        out += "+-";
      } else {
        if (!inRun) {
          out += '+';
          inRun = true;
        }
        if (c >= 0x10000) {
          put16(0xD800 + ((c - 0x10000) >> 10));
          put16(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
          put16(c);
        }
      }
    }
    endRun();
    return out;
  }

 private:
  static bool IsDirect(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9')) return true;
    return std::u32string_view(U"'(),-./:? \t\r\n").find(c) != std::u32string_view::npos;
  }
};

struct Gb18030Range {
  char32_t first;
  char32_t last;
  std::uint32_t linear;
};
constexpr Gb18030Range kGb18030Ranges[] = {
#include "mail/smtp/gb18030_ranges.inc"
};

void AppendFourByte(std::string& out, std::uint32_t linear) {
  char bytes[4];
  bytes[3] = static_cast<char>(0x30 + linear % 10);
  linear /= 10;
  bytes[2] = static_cast<char>(0x81 + linear % 126);
  linear /= 126;
  bytes[1] = static_cast<char>(0x30 + linear % 10);
  linear /= 10;
  bytes[0] = static_cast<char>(0x81 + linear);
  out.append(bytes, 4);
}

class Gb18030Encoder final : public CharsetEncoder {
 public:
  explicit Gb18030Encoder(BaseCodePage base) : base_(std::move(base)) {}
  std::string Encode(std::u32string_view text) const override {
    std::string out;
    for (char32_t c : text) {
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else if (IsSurrogate(c) || c > 0x10FFFF) {
        out += '?';
      } else if (c >= 0x10000) {
        AppendFourByte(out, 189000 + (c - 0x10000));
      } else if (const Gb18030Range* range = FindRange(c)) {
        AppendFourByte(out, range->linear + (c - range->first));
      } else if (c == 0x20AC) {
        out += "\xA2\xE3";  // the euro sign, which code page 936 writes as the single byte 80
      } else {
        const std::string bytes = base_(c);
        const bool twoByte = bytes.size() == 2 && static_cast<unsigned char>(bytes[0]) >= 0x81;
        out += twoByte ? bytes : std::string("?");
      }
    }
    return out;
  }

 private:
  static const Gb18030Range* FindRange(char32_t c) {
    const auto it = std::upper_bound(std::begin(kGb18030Ranges), std::end(kGb18030Ranges), c,
                                     [](char32_t value, const Gb18030Range& r) { return value < r.first; });
    if (it == std::begin(kGb18030Ranges)) return nullptr;
    const Gb18030Range& range = *(it - 1);
    return c <= range.last ? &range : nullptr;
  }
  BaseCodePage base_;
};

bool IsGb2312Pair(unsigned char lead, unsigned char trail) {
  return lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE;
}

class HzEncoder final : public CharsetEncoder {
 public:
  explicit HzEncoder(BaseCodePage base) : base_(std::move(base)) {}
  std::string Encode(std::u32string_view text) const override {
    std::string out;
    bool gb = false;
    auto ascii = [&](char c) {
      if (gb) out += "~}";
      gb = false;
      if (c == '~') out += '~';
      out += c;
    };
    for (char32_t c : text) {
      if (c < 0x80) {
        ascii(static_cast<char>(c));
        continue;
      }
      const std::string bytes = base_(c);
      if (bytes.size() != 2 ||
          !IsGb2312Pair(static_cast<unsigned char>(bytes[0]), static_cast<unsigned char>(bytes[1]))) {
        ascii('?');
        continue;
      }
      if (!gb) out += "~{";
      gb = true;
      out += static_cast<char>(bytes[0] & 0x7F);
      out += static_cast<char>(bytes[1] & 0x7F);
    }
    if (gb) out += "~}";
    return out;
  }

 private:
  BaseCodePage base_;
};

// Half-width katakana (U+FF61 to U+FF9F), which ISO-2022-JP cannot carry, as their full-width
// forms.
constexpr char16_t kFullWidthKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};
static_assert(std::size(kFullWidthKana) == 0xFF9F - 0xFF61 + 1);

class Iso2022JpEncoder final : public CharsetEncoder {
 public:
  explicit Iso2022JpEncoder(BaseCodePage base) : base_(std::move(base)) {}
  std::string Encode(std::u32string_view text) const override {
    std::string out;
    bool jis = false;
    auto ascii = [&](char c) {
      if (jis) out += "\x1B(B";
      jis = false;
      out += c;
    };
    for (char32_t c : text) {
      if (c < 0x80) {
        // The shift characters would confuse a reader of the shifted text.
        ascii((c == 0x1B || c == 0x0E || c == 0x0F) ? '?' : static_cast<char>(c));
        continue;
      }
      if (c >= 0xFF61 && c <= 0xFF9F) c = kFullWidthKana[c - 0xFF61];
      unsigned char j1 = 0, j2 = 0;
      const std::string sjis = base_(c);
      if (sjis.size() != 2 ||
          !ShiftJisToJis(static_cast<unsigned char>(sjis[0]), static_cast<unsigned char>(sjis[1]), j1, j2)) {
        ascii('?');
        continue;
      }
      if (!jis) out += "\x1B$B";
      jis = true;
      out += static_cast<char>(j1);
      out += static_cast<char>(j2);
    }
    if (jis) out += "\x1B(B";
    return out;
  }

  // JIS X 0208 row and cell bytes of a Shift-JIS pair; false for pairs outside its 84 rows or in
  // the vendor rows (13, and everything from lead byte EB on).
  static bool ShiftJisToJis(unsigned char s1, unsigned char s2, unsigned char& j1, unsigned char& j2) {
    if (!((s1 >= 0x81 && s1 <= 0x9F) || (s1 >= 0xE0 && s1 <= 0xEA))) return false;
    if (s2 < 0x40 || s2 > 0xFC || s2 == 0x7F) return false;
    int row = (s1 <= 0x9F ? s1 - 0x71 : s1 - 0xB1) * 2 + 1;
    int cell;
    if (s2 >= 0x9F) {
      ++row;
      cell = s2 - 0x7E;
    } else {
      cell = s2 - 0x1F - (s2 > 0x7F ? 1 : 0);
    }
    if (row < 0x21 || row > 0x74 || row == 0x2D || cell < 0x21 || cell > 0x7E) return false;
    j1 = static_cast<unsigned char>(row);
    j2 = static_cast<unsigned char>(cell);
    return true;
  }

 private:
  BaseCodePage base_;
};

class EucKrEncoder final : public CharsetEncoder {
 public:
  explicit EucKrEncoder(BaseCodePage base) : base_(std::move(base)) {}
  std::string Encode(std::u32string_view text) const override {
    std::string out;
    for (char32_t c : text) {
      if (c < 0x80) {
        out += static_cast<char>(c);
        continue;
      }
      const std::string bytes = base_(c);
      const bool ksx1001 = bytes.size() == 2 && static_cast<unsigned char>(bytes[0]) >= 0xA1 &&
                           static_cast<unsigned char>(bytes[0]) <= 0xFE &&
                           static_cast<unsigned char>(bytes[1]) >= 0xA1 && static_cast<unsigned char>(bytes[1]) <= 0xFE;
      out += ksx1001 ? bytes : std::string("?");
    }
    return out;
  }

 private:
  BaseCodePage base_;
};

}  // namespace

const CharsetInfo* FindCharset(std::string_view name) {
  for (const CharsetInfo& info : kCharsets) {
    if (info.label.size() != name.size()) continue;
    if (std::equal(name.begin(), name.end(), info.label.begin(),
                   [](char a, char b) { return LowerAscii(a) == b; })) {
      return &info;
    }
  }
  return nullptr;
}

std::unique_ptr<CharsetEncoder> MakeOwnEncoder(OwnEncoding kind, BaseCodePage base) {
  switch (kind) {
    case OwnEncoding::kUtf8: return std::make_unique<Utf8Encoder>();
    case OwnEncoding::kUtf7: return std::make_unique<Utf7Encoder>();
    case OwnEncoding::kGb18030: return std::make_unique<Gb18030Encoder>(std::move(base));
    case OwnEncoding::kHz: return std::make_unique<HzEncoder>(std::move(base));
    case OwnEncoding::kIso2022Jp: return std::make_unique<Iso2022JpEncoder>(std::move(base));
    case OwnEncoding::kEucKr: return std::make_unique<EucKrEncoder>(std::move(base));
    case OwnEncoding::kNone: break;
  }
  return nullptr;
}

std::string KeepGb2312(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
    } else if (lead >= 0x81 && lead <= 0xFE && i + 1 < bytes.size()) {
      const auto trail = static_cast<unsigned char>(bytes[++i]);
      if (IsGb2312Pair(lead, trail)) {
        out += static_cast<char>(lead);
        out += static_cast<char>(trail);
      } else {
        out += '?';
      }
    } else {
      out += '?';
    }
  }
  return out;
}

std::u32string CodePoints(std::wstring_view text) {
  std::u32string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&](char32_t c) { out += c; });
  return out;
}

SecretString SecretUtf8(std::wstring_view text) {
  SecretString out;
  ForEachCodePoint(text, [&](char32_t c) { AppendUtf8(out, c); });
  return out;
}

std::string Utf8(std::u32string_view text) { return Utf8Encoder().Encode(text); }

std::u32string FromUtf8(std::string_view bytes) {
  std::u32string out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (b < 0x80) {
      c = b;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1, c = b & 0x1F, minimum = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, c = b & 0x0F, minimum = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, c = b & 0x07, minimum = 0x10000;
    } else {
      out += 0xFFFD;
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < extra; ++k, ++j) {
      if (j >= bytes.size() || (static_cast<unsigned char>(bytes[j]) & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      c = (c << 6) | (static_cast<unsigned char>(bytes[j]) & 0x3F);
    }
    if (!ok || c < minimum || c > 0x10FFFF || IsSurrogate(c)) {
      out += 0xFFFD;
      i = ok ? j : i + 1;
      continue;
    }
    out += c;
    i = j;
  }
  return out;
}

}  // namespace nb::mail
