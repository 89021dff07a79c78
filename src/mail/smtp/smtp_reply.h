// Reading SMTP replies: one or more lines "ddd-text" ending with "ddd text" (or "ddd").
// Portable.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "mail/smtp/smtp_transport.h"

namespace nb::mail {

inline constexpr std::size_t kMaxReplyLineOctets = 2000;
inline constexpr std::size_t kMaxReplyLines = 100;

struct SmtpReply {
  int code = 0;
  std::vector<std::string> lines;  // the text after each line's code and separator

  int Class() const { return code / 100; }
  // The code and the lines' texts joined by blanks, printable ASCII only (others become "?"),
  // cut to a readable length.
  std::string Text() const;
};

// A reply that breaks the rules: no code, codes that differ between lines, a line too long, too
// many lines. `text` describes it.
struct ReplyError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class ReplyReader {
 public:
  explicit ReplyReader(ByteInput& input) : input_(input) {}

  // Reads one whole reply, waiting at most `bound` for all of it. Throws TransportError (time
  // out, connection closed) or ReplyError.
  SmtpReply Read(std::chrono::milliseconds bound);

  // Bytes received but not yet read as a reply (a server must send nothing unasked).
  bool HasUnreadBytes() const { return pos_ < buffer_.size(); }

 private:
  std::string ReadLine(std::chrono::steady_clock::time_point deadline);

  ByteInput& input_;
  std::string buffer_;
  std::size_t pos_ = 0;
};

}  // namespace nb::mail
