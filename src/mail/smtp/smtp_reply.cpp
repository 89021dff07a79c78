#include "mail/smtp/smtp_reply.h"

#include <algorithm>

namespace nb::mail {
namespace {

constexpr std::size_t kReplyTextShown = 300;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The start of a line shown in an error: printable ASCII, cut short.
std::string Shown(std::string_view line) {
  std::string out;
  for (char c : line.substr(0, 60)) out += (c >= 0x20 && c < 0x7F) ? c : '?';
  if (line.size() > 60) out += "...";
  return out;
}

}  // namespace

std::string SmtpReply::Text() const {
  std::string out = std::to_string(code);
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    out += ' ';
    for (char c : line) out += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  if (out.size() > kReplyTextShown) out = out.substr(0, kReplyTextShown) + "...";
  return out;
}

std::string ReplyReader::ReadLine(std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    const std::size_t end = buffer_.find('\n', pos_);
    if (end != std::string::npos) {
      std::size_t length = end - pos_;
      if (length > 0 && buffer_[end - 1] == '\r') --length;
      if (length > kMaxReplyLineOctets) {
        throw ReplyError("a reply line is longer than " + std::to_string(kMaxReplyLineOctets) + " octets");
      }
      std::string line = buffer_.substr(pos_, length);
      pos_ = end + 1;
      if (pos_ == buffer_.size()) {
        buffer_.clear();
        pos_ = 0;
      }
      return line;
    }
    if (buffer_.size() - pos_ > kMaxReplyLineOctets + 1) {
      throw ReplyError("a reply line is longer than " + std::to_string(kMaxReplyLineOctets) + " octets");
    }
    if (pos_ > 0) {
      buffer_.erase(0, pos_);
      pos_ = 0;
    }
    const auto now = std::chrono::steady_clock::now();
    const auto left = std::max(std::chrono::milliseconds(0),
                               std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
    if (left.count() == 0) throw TransportError(TransportError::Kind::kTimeout, "no reply in time");
    char chunk[4096];
    const std::size_t got = input_.Read(chunk, sizeof chunk, left);
    buffer_.append(chunk, got);
  }
}

SmtpReply ReplyReader::Read(std::chrono::milliseconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  SmtpReply reply;
  for (;;) {
    const std::string line = ReadLine(deadline);
    if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2]) ||
        (line.size() > 3 && line[3] != ' ' && line[3] != '-') || line[0] < '1' || line[0] > '5') {
      throw ReplyError("the reply \"" + Shown(line) + "\" has no reply code");
    }
    const int code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    if (!reply.lines.empty() && code != reply.code) {
      throw ReplyError("the lines of one reply carry different codes (" + std::to_string(reply.code) + " and " +
                       std::to_string(code) + ")");
    }
    reply.code = code;
    reply.lines.push_back(line.size() > 4 ? line.substr(4) : std::string());
    if (line.size() == 3 || line[3] == ' ') return reply;
    if (reply.lines.size() >= kMaxReplyLines) {
      throw ReplyError("a reply has more than " + std::to_string(kMaxReplyLines) + " lines");
    }
  }
}

}  // namespace nb::mail
