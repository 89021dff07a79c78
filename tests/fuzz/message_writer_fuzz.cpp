// Fuzzes the message writer and the DATA phase's dot-stuffing: whatever the subject, names, body
// and attachment, every line ends in CR LF, none is longer than 998 octets, and the only line
// that is a lone "." is the end mark.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "mail/smtp/charsets.h"
#include "mail/smtp/message_writer.h"

namespace {

class Source final : public nb::mail::ByteSource {
 public:
  explicit Source(std::string data) : data_(std::move(data)) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, data_.size() - at_);
    data_.copy(buffer, n, at_);
    at_ += n;
    return n;
  }

 private:
  std::string data_;
  std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Four pieces separated by 0xFF bytes: subject, display name, body, attachment.
  std::string pieces[4];
  int n = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && n < 3) {
      ++n;
      continue;
    }
    pieces[n] += static_cast<char>(data[i]);
  }
  Source attachment(pieces[3]);
  nb::mail::OutgoingMessage message;
  message.from = {nb::mail::FromUtf8(pieces[1]), "ann@example.com"};
  message.to = {{nb::mail::FromUtf8(pieces[1]), "bo@example.com"}, {U"", "cy@example.com"}};
  message.subject = nb::mail::FromUtf8(pieces[0]);
  message.body = nb::mail::FromUtf8(pieces[2]);
  message.mailer = U"Netbeacon Mailer";
  message.date = "Tue, 08 Dec 2026 09:05:07 +0000";
  message.messageId = "x@example.com";
  message.boundary = "=_b";
  if (!pieces[3].empty()) message.attachments = {{nb::mail::FromUtf8(pieces[0]), &attachment}};
  const auto encoder = nb::mail::MakeOwnEncoder(nb::mail::OwnEncoding::kUtf8, nullptr);

  std::string sent;
  nb::mail::DotStuffingSink sink([&](std::string_view bytes) { sent.append(bytes); }, 1 + size % 50);
  nb::mail::WriteMessage(message, *encoder, "utf-8", sink);
  sink.Finish();

  std::size_t start = 0;
  while (start < sent.size()) {
    const std::size_t end = sent.find("\r\n", start);
    NB_FUZZ_CHECK(end != std::string::npos);
    const std::string_view line(sent.data() + start, end - start);
    NB_FUZZ_CHECK(line.size() <= 998 && line.find_first_of("\r\n") == std::string_view::npos);
    NB_FUZZ_CHECK(line != "." || end + 2 == sent.size());
    start = end + 2;
  }
  return 0;
}
