// Fuzzes the MIME encoders: base64 whole and streamed in pieces, quoted-printable, and header
// text as encoded-words in each of our own charset encoders. The first byte picks the encoder
// and the piece size; the rest is the data (and, read as UTF-8, the text).
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "mail/smtp/charsets.h"
#include "mail/smtp/mime.h"

namespace {

// A stand-in code page: any character below U+3000 or in the CJK block gets two bytes that every
// encoder takes (lead and trail from A1 to FE).
std::string FakeBase(char32_t c) {
  if (c < 0x80 || c > 0x9FFF) return {};
  return {static_cast<char>(0xA1 + (c >> 7) % 0x56), static_cast<char>(0xA1 + c % 0x5E)};
}

void CheckLines(const std::string& text, std::size_t limit) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      NB_FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == '\n');
      length = 0;
      ++i;
      continue;
    }
    NB_FUZZ_CHECK(text[i] != '\n');
    NB_FUZZ_CHECK(++length <= limit);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t control = data[0];
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::string whole = nb::mail::Base64(bytes);
  std::string streamed;
  nb::mail::Base64Lines lines;
  const std::size_t piece = 1 + control % 100;
  for (std::size_t at = 0; at < bytes.size(); at += piece) lines.Feed(std::string_view(bytes).substr(at, piece), streamed);
  lines.Finish(streamed);
  CheckLines(streamed, nb::mail::kBodyLineLimit);
  std::string joined;
  for (char c : streamed) {
    if (c != '\r' && c != '\n') joined += c;
  }
  NB_FUZZ_CHECK(joined == whole);

  CheckLines(nb::mail::QuotedPrintable(bytes), nb::mail::kBodyLineLimit);

  static const nb::mail::OwnEncoding kKinds[] = {
      nb::mail::OwnEncoding::kUtf8, nb::mail::OwnEncoding::kUtf7, nb::mail::OwnEncoding::kGb18030,
      nb::mail::OwnEncoding::kHz, nb::mail::OwnEncoding::kIso2022Jp, nb::mail::OwnEncoding::kEucKr};
  const auto encoder = nb::mail::MakeOwnEncoder(kKinds[control % 6], FakeBase);
  const std::u32string text = nb::mail::FromUtf8(bytes);
  nb::mail::HeaderLine header("Subject");
  nb::mail::AddHeaderText(header, text, *encoder, "x-fuzz", (control & 0x80) != 0);
  const std::string field = header.Finish();
  // A single character may need a word longer than a line only in a pathological charset; ours
  // never do.
  CheckLines(field, nb::mail::kHeaderLineLimit);
  nb::mail::HeaderLine parameter("Content-Disposition");
  parameter.Add("attachment");
  nb::mail::AddParameter(parameter, "filename", bytes);
  CheckLines(parameter.Finish(), nb::mail::kHeaderLineLimit);
  return 0;
}
