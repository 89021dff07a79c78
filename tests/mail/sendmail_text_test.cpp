// The mail window's portable procedures: trimming, the sender field, replacing, the password
// scrambling and the charset list.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/app_error.h"
#include "mail/charset_table.h"
#include "mail/mail_text.h"
#include "mail/scramble.h"
#include "mail/smtp/charsets.h"

namespace {

// ----- fnTrim -----

struct TrimCase {
  const wchar_t* text;
  const wchar_t* trimer;
  const wchar_t* trimmed;
};

class FnTrim : public testing::TestWithParam<TrimCase> {};

TEST_P(FnTrim, StripsTheSetFromBothEndsInPlace) {
  std::wstring text = GetParam().text;
  nb::fnTrim(text, GetParam().trimer);
  EXPECT_EQ(text, GetParam().trimmed);
}

INSTANTIATE_TEST_SUITE_P(Cases, FnTrim,
                         testing::Values(TrimCase{L"  word, ", L" ,", L"word"},
                                         TrimCase{L",, ,", L" ,", L""},
                                         TrimCase{L"", L" ,", L""},
                                         TrimCase{L" a, b ", L" ,", L"a, b"},  // inside stays
                                         TrimCase{L" a ", L"", L" a "},
                                         TrimCase{L"Aa", L"a", L"A"}));  // letter case counts

// ----- fnParseAddr -----

struct ParseCase {
  const wchar_t* input;
  const wchar_t* name;
  const wchar_t* addr;
};

class FnParseAddr : public testing::TestWithParam<ParseCase> {};

TEST_P(FnParseAddr, SplitsNameAndAddress) {
  std::wstring name = L"left over";
  std::wstring addr = L"left over";
  nb::fnParseAddr(GetParam().input, name, addr);
  EXPECT_EQ(name, GetParam().name);
  EXPECT_EQ(addr, GetParam().addr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FnParseAddr,
    testing::Values(ParseCase{L"\"Ann Smith\" <ann@example.com>", L"Ann Smith", L"ann@example.com"},
                    ParseCase{L"ann@example.com", L"", L"ann@example.com"},
                    ParseCase{L"ann@example.com, ", L"", L"ann@example.com"},
                    ParseCase{L" 'ann@example.com';", L"", L"ann@example.com"},
                    ParseCase{L"<ann@example.com>", L"", L"ann@example.com"},
                    ParseCase{L"Ann <ann@example.com> at home", L"Ann", L"ann@example.com> at home"},
                    ParseCase{L"Ann <ann@example.com> <ann@example.org>", L"Ann", L"ann@example.com> <ann@example.org"},
                    ParseCase{L"", L"", L""}));

// ----- sReplace -----

struct ReplaceCase {
  const wchar_t* line;
  const wchar_t* searchFor;
  const wchar_t* replaceWith;
  const wchar_t* result;
};

class SReplace : public testing::TestWithParam<ReplaceCase> {};

TEST_P(SReplace, ReplacesTheFirstOccurrenceOnly) {
  const ReplaceCase& c = GetParam();
  EXPECT_EQ(nb::sReplace(c.line, c.searchFor, c.replaceWith), c.result);
}

INSTANTIATE_TEST_SUITE_P(Cases, SReplace,
                         testing::Values(ReplaceCase{L"a;b;c", L";", L".\r\n", L"a.\r\nb;c"},
                                         ReplaceCase{L";abc", L";", L"--", L"--abc"},
                                         ReplaceCase{L"abc;", L";", L"--", L"abc--"},
                                         ReplaceCase{L"abc", L"abc", L"x", L"x"},
                                         ReplaceCase{L"abc", L";", L"--", L"abc"},
                                         ReplaceCase{L"abc", L"", L"x", L"xabc"},
                                         ReplaceCase{L"", L"", L"x", L""},
                                         ReplaceCase{L"aXbX", L"x", L"-", L"aXbX"},
                                         ReplaceCase{L"aaa", L"aa", L"b", L"ba"}));

// ----- Ncrypt and Dcrypt -----

// A single-byte code page in which character n has code n (it lacks the characters above 255).
class OneByteCodes : public nb::CharacterCodes {
 public:
  std::optional<int> CodeOf(wchar_t c) const override {
    if (c > 0xFF) return std::nullopt;
    return c;
  }
  std::optional<wchar_t> CharacterOf(int code) const override {
    if (code < 0 || code > 0xFF) return std::nullopt;
    return static_cast<wchar_t>(code);
  }
};

// Every 16-bit code is a character, so that only the 16-bit range limits the shift.
class SixteenBitCodes : public nb::CharacterCodes {
 public:
  std::optional<int> CodeOf(wchar_t c) const override { return static_cast<short>(c); }
  std::optional<wchar_t> CharacterOf(int code) const override { return static_cast<wchar_t>(code); }
};

std::wstring AllCodes(int from, int to) {
  std::wstring text;
  for (int code = from; code <= to; ++code) text += static_cast<wchar_t>(code);
  return text;
}

TEST(Scrambling, EveryTextOfCodesUpTo255LessTheShiftComesBack) {
  const OneByteCodes codes;
  for (const std::wstring& text : {std::wstring(), AllCodes(0, 255 - nb::kPasswordShift), std::wstring(L"aaa")}) {
    std::wstring scrambled = text;
    const std::wstring returned = nb::Ncrypt(scrambled, codes);
    EXPECT_EQ(returned, scrambled) << "the caller's text changes too";
    EXPECT_EQ(scrambled.size(), text.size());
    if (!text.empty()) {
      EXPECT_NE(scrambled, text);
    }
    for (wchar_t c : scrambled) EXPECT_LE(c, 0xFF) << "every scrambled code fits in a byte";
    std::wstring back = scrambled;
    EXPECT_EQ(nb::Dcrypt(back, codes), text);
  }
  std::wstring same = L"aaa";
  nb::Ncrypt(same, codes);
  EXPECT_EQ(same, std::wstring(3, same[0])) << "equal characters give equal results";
}

struct ScrambleFailure {
  const char* name;
  bool scramble;  // Ncrypt, else Dcrypt
  bool sixteenBit;
  std::wstring text;
  long number;
  std::wstring textAfter;  // the caller's text after the failure
};

class ScrambleFailures : public testing::TestWithParam<ScrambleFailure> {};

TEST_P(ScrambleFailures, StopAtTheFailingCharacter) {
  const ScrambleFailure& c = GetParam();
  const OneByteCodes oneByte;
  const SixteenBitCodes sixteenBit;
  const nb::CharacterCodes& codes = c.sixteenBit ? static_cast<const nb::CharacterCodes&>(sixteenBit) : oneByte;
  std::wstring text = c.text;
  try {
    c.scramble ? nb::Ncrypt(text, codes) : nb::Dcrypt(text, codes);
    ADD_FAILURE() << "no error";
  } catch (const nb::AppError& e) {
    EXPECT_EQ(e.number, c.number);
  }
  EXPECT_EQ(text, c.textAfter);
}

// The characters whose codes leave the range, built from the shift rather than spelled out.
const wchar_t kTooHigh = static_cast<wchar_t>(256 - nb::kPasswordShift);
const wchar_t kBelowShift = static_cast<wchar_t>(nb::kPasswordShift - 1);
const wchar_t kB = static_cast<wchar_t>(L'b' + nb::kPasswordShift);

INSTANTIATE_TEST_SUITE_P(
    Cases, ScrambleFailures,
    testing::Values(
        // The first character is changed already when the second fails.
        ScrambleFailure{"CodeAbove255LessTheShift", true, false, {L'b', kTooHigh, L'c'}, 5, {kB, kTooHigh, L'c'}},
        ScrambleFailure{"StoredByteBelowTheShift", false, false, {kB, kBelowShift}, 5, {L'b', kBelowShift}},
        ScrambleFailure{"SixteenBitOverflowUp", true, true, {L'\x7FFF'}, 6, {L'\x7FFF'}},
        ScrambleFailure{"SixteenBitOverflowDown", false, true, {L'\x8000'}, 6, {L'\x8000'}},
        ScrambleFailure{"LongerThan32767", true, false, std::wstring(32768, L'a'), 6, std::wstring(32768, L'a')}),
    [](const testing::TestParamInfo<ScrambleFailure>& info) { return std::string(info.param.name); });

// ----- The charset list -----

TEST(CharsetTable, EveryCharsetIsOneTheMailComponentWrites) {
  for (const nb::CharsetRow& row : nb::kCharsetTable) {
    std::string name;
    for (const wchar_t* p = row.charsetName; *p; ++p) name += static_cast<char>(*p);
    EXPECT_NE(nb::mail::FindCharset(name), nullptr) << name;
  }
}

}  // namespace
