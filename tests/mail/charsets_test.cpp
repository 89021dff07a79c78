#include <gtest/gtest.h>

#include <map>
#include <string>

#include "mail/smtp/charsets.h"

namespace {

using nb::mail::OwnEncoding;

// A few characters of the code pages the encoders build on (the real ones come from the
// system's converter on Windows).
std::string FakeBase(char32_t c) {
  static const std::map<char32_t, std::string> kBytes = {
      {U'\u3042', "\x82\xA0"},  // HIRAGANA A in 932
      {U'\u6F22', "\x8A\xBF"},  // a kanji in 932
      {U'\u3000', "\x81\x40"},  // ideographic space, first cell of the first row
      {U'\u30A2', "\x83\x41"},  // KATAKANA A in 932
      {U'\u2460', "\x87\x40"},  // CIRCLED ONE: 932's vendor row 13, not JIS X 0208
      {U'\u4E2D', "\xD6\xD0"},  // in 936 and GB2312
      {U'\u6587', "\xCE\xC4"},
      {U'\u4E42', "\x81\x40"},  // in 936 but outside GB2312
      {U'\uD55C', "\xC7\xD1"},  // in 949, KS X 1001
      {U'\uB620', "\x8C\x63"},  // in 949 only (its extension)
  };
  const auto it = kBytes.find(c);
  return it == kBytes.end() ? std::string() : it->second;
}

struct EncodeCase {
  OwnEncoding kind;
  const char32_t* text;
  const char* bytes;
};

class OwnEncoders : public testing::TestWithParam<EncodeCase> {};

TEST_P(OwnEncoders, MakeTheCharsetsBytes) {
  const EncodeCase& c = GetParam();
  EXPECT_EQ(nb::mail::MakeOwnEncoder(c.kind, FakeBase)->Encode(c.text), std::string(c.bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Charsets, OwnEncoders,
    testing::Values(
        // ISO-2022-JP: Shift-JIS rows and cells turned into JIS, shifted in and back to ASCII.
        EncodeCase{OwnEncoding::kIso2022Jp, U"a\u3042\u6F22b", "a\x1B$B$\"4A\x1B(Bb"},
        EncodeCase{OwnEncoding::kIso2022Jp, U"\u3000", "\x1B$B!!\x1B(B"},
        // Half-width katakana goes full width; the vendor row and unknown characters become "?".
        EncodeCase{OwnEncoding::kIso2022Jp, U"\uFF71", "\x1B$B%\"\x1B(B"},
        EncodeCase{OwnEncoding::kIso2022Jp, U"\u2460\u00E9", "??"},
        EncodeCase{OwnEncoding::kIso2022Jp, U"\x1B", "?"},
        // HZ: GB2312 with the high bits cleared between ~{ and ~}; "~" doubled.
        EncodeCase{OwnEncoding::kHz, U"\u4E2D\u6587~x", "~{VPND~}~~x"},
        EncodeCase{OwnEncoding::kHz, U"\u4E42\u4E2D", "?~{VP~}"},
        // EUC-KR: code page 949 limited to KS X 1001.
        EncodeCase{OwnEncoding::kEucKr, U"\uD55C\uB620a", "\xC7\xD1?a"},
        // GB18030: two bytes from 936, four bytes by the ranges and for the other planes, the euro.
        EncodeCase{OwnEncoding::kGb18030, U"\u4E2D\u00A9\u20AC", "\xD6\xD0\x81\x30\x84\x38\xA2\xE3"},
        EncodeCase{OwnEncoding::kGb18030, U"\U0001F600\u0080\uFFFF", "\x94\x39\xFC\x36\x81\x30\x81\x30\x84\x31\xA4\x39"},
        EncodeCase{OwnEncoding::kGb18030, U"\u4E42", "\x81\x40"},
        // UTF-7: only plain characters direct, runs always closed with "-", "+" as "+-".
        EncodeCase{OwnEncoding::kUtf7, U"Hi Mom -\u263A-!", "Hi Mom -+Jjo--+ACE-"},
        EncodeCase{OwnEncoding::kUtf7, U"A\u2262\u0391.", "A+ImIDkQ-."},
        EncodeCase{OwnEncoding::kUtf7, U"1+1\U0001F600", "1+-1+2D3eAA-"},
        EncodeCase{OwnEncoding::kUtf8, U"\u00E9\U0001F600", "\xC3\xA9\xF0\x9F\x98\x80"}));

TEST(Charsets, NamesAreFoundWhateverTheirCase) {
  for (const char* name : {"GB18030", "Windows-1252", "ks_c_5601-1987", "HZ-GB-2312", "UTF-7", "iso-8859-1"}) {
    EXPECT_NE(nb::mail::FindCharset(name), nullptr) << name;
  }
  EXPECT_EQ(nb::mail::FindCharset("latin-1"), nullptr);
  EXPECT_EQ(nb::mail::FindCharset(""), nullptr);
}

TEST(Charsets, Gb2312KeepsItsOwnPairsOnly) {
  EXPECT_EQ(nb::mail::KeepGb2312("a\xD6\xD0\x81\x40\x80\xA1\xA1"), "a\xD6\xD0??\xA1\xA1");
}

TEST(Charsets, WideTextBecomesCodePoints) {
  std::wstring text = L"a\u00E9";
  text += static_cast<wchar_t>(0xD83D);  // a pair on 16-bit wchar_t; two lone halves otherwise
  text += static_cast<wchar_t>(0xDE00);
  const std::u32string points = nb::mail::CodePoints(text);
  if constexpr (sizeof(wchar_t) == 2) {
    EXPECT_EQ(points, U"a\u00E9\U0001F600");
  } else {
    EXPECT_EQ(points, U"a\u00E9\uFFFD\uFFFD");
  }
  EXPECT_EQ(nb::mail::SecretUtf8(text).view(), nb::mail::Utf8(points));  // a password's way
  EXPECT_EQ(nb::mail::FromUtf8("\xC3\xA9\xFF\xE2\x82"), U"\u00E9\uFFFD\uFFFD\uFFFD");
}

}  // namespace
