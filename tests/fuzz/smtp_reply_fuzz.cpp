// Fuzzes the SMTP reply reader: the input is what a server sends, cut into reads at the bytes
// marked by the first input byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "mail/smtp/smtp_reply.h"

namespace {

class FuzzInput final : public nb::mail::ByteInput {
 public:
  FuzzInput(const uint8_t* data, size_t size, size_t step) : data_(data), size_(size), step_(step) {}
  std::size_t Read(char* buffer, std::size_t size, std::chrono::milliseconds) override {
    if (at_ == size_) throw nb::mail::TransportError(nb::mail::TransportError::Kind::kClosed, "end");
    std::size_t n = std::min({size, step_, size_ - at_});
    for (std::size_t i = 0; i < n; ++i) buffer[i] = static_cast<char>(data_[at_ + i]);
    at_ += n;
    return n;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t step_;
  size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FuzzInput input(data + 1, size - 1, 1 + data[0] % 64);
  nb::mail::ReplyReader reader(input);
  for (int i = 0; i < 1000; ++i) {
    try {
      const nb::mail::SmtpReply reply = reader.Read(std::chrono::seconds(1));
      NB_FUZZ_CHECK(reply.code >= 100 && reply.code <= 599);
      NB_FUZZ_CHECK(!reply.lines.empty() && reply.lines.size() <= nb::mail::kMaxReplyLines);
      for (const std::string& line : reply.lines) NB_FUZZ_CHECK(line.size() <= nb::mail::kMaxReplyLineOctets);
      (void)reply.Text();
    } catch (const nb::mail::ReplyError&) {
      break;
    } catch (const nb::mail::TransportError&) {
      break;
    }
  }
  return 0;
}
