#include "mail/smtp/charsets_win.h"

#include <windows.h>

#include <stdexcept>

#include "base/system_error_win.h"
#include "base/text_util.h"
#include "base/text_win.h"

namespace nb::mail {
namespace {

std::wstring Utf16(std::u32string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c >= 0x10000) {
      out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<wchar_t>(c);
    }
  }
  return out;
}

// The system's conversion into the code page. Code pages that take no flags get none (and then
// no default character either: the converter puts its own "?"); the others are asked not to
// substitute look-alikes, so that a character the charset lacks becomes "?".
std::string Convert(unsigned codePage, bool noFlags, std::wstring_view text, bool* lossy = nullptr) {
  if (text.empty()) return {};
  const DWORD flags = noFlags ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  const char* defaultChar = noFlags ? nullptr : "?";
  BOOL* used = noFlags ? nullptr : &usedDefault;
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, defaultChar, used);
  if (size <= 0) return {};
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), length, out.data(), size, defaultChar, used);
  if (lossy) *lossy = usedDefault != FALSE;
  return out;
}

bool SystemHas(unsigned codePage, bool noFlags) {
  return codePage != 0 && IsValidCodePage(codePage) && !Convert(codePage, noFlags, L"A").empty();
}

class SystemEncoder final : public CharsetEncoder {
 public:
  SystemEncoder(unsigned codePage, bool noFlags, bool gb2312Only)
      : codePage_(codePage), noFlags_(noFlags), gb2312Only_(gb2312Only) {}
  std::string Encode(std::u32string_view text) const override {
    const std::string bytes = Convert(codePage_, noFlags_, Utf16(text));
    return gb2312Only_ ? KeepGb2312(bytes) : bytes;
  }

 private:
  unsigned codePage_;
  bool noFlags_;
  bool gb2312Only_;
};

unsigned BaseCodePageOf(OwnEncoding kind) {
  switch (kind) {
    case OwnEncoding::kGb18030:
    case OwnEncoding::kHz: return 936;
    case OwnEncoding::kIso2022Jp: return 932;
    case OwnEncoding::kEucKr: return 949;
    default: return 0;
  }
}

}  // namespace

std::unique_ptr<CharsetEncoder> MakeCharsetEncoder(const CharsetInfo& charset) {
  if (charset.own == OwnEncoding::kUtf8 || charset.own == OwnEncoding::kUtf7) {
    return MakeOwnEncoder(charset.own, nullptr);
  }
  if (SystemHas(charset.codePage, charset.systemNeedsNoFlags)) {
    return std::make_unique<SystemEncoder>(charset.codePage, charset.systemNeedsNoFlags, charset.gb2312Only);
  }
  const unsigned base = BaseCodePageOf(charset.own);
  if (base != 0 && SystemHas(base, false)) {
    return MakeOwnEncoder(charset.own, [base](char32_t c) {
      bool lossy = false;
      const std::string bytes = Convert(base, false, Utf16(std::u32string_view(&c, 1)), &lossy);
      return lossy ? std::string() : bytes;
    });
  }
  throw std::runtime_error("this computer cannot write the charset " + std::string(charset.label));
}

std::string WideToUtf8(std::wstring_view text) { return ToCodePage(text, CP_UTF8); }

std::wstring Utf8ToWide(std::string_view text) { return FromCodePage(text, CP_UTF8); }

std::string ReasonText(unsigned long code) {
  // The system's sentence without its full stop, since the code follows it.
  return WideToUtf8(Trim(SystemErrorText(code), TrimEnds::Trailing, L". ")) + " (" + std::to_string(code) + ")";
}

}  // namespace nb::mail
