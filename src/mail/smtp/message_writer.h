// Writing an outgoing message: RFC 5322 headers, a text body in the chosen charset, attachments
// streamed from their sources as base64 parts of a multipart/mixed message; CR LF everywhere and
// no line over 998 octets. Also the dot-stuffing of the DATA phase. Portable.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "mail/smtp/address_text.h"
#include "mail/smtp/charsets.h"

namespace nb::mail {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Write(std::string_view bytes) = 0;
};

// The bytes of an attachment, read piece by piece. Read returns 0 at the end and throws
// (std::runtime_error with a text for the user) when the bytes cannot be read.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

struct OutgoingAttachment {
  std::u32string name;       // file name shown to the reader (no folder)
  ByteSource* source = nullptr;
};

struct OutgoingMessage {
  MailAddress from;
  std::vector<MailAddress> to;
  std::vector<MailAddress> cc;  // no Bcc: every recipient is in To or Cc
  std::u32string subject;
  std::u32string body;
  std::u32string mailer;        // X-Mailer; none when empty
  std::string date;             // FormatDate
  std::string messageId;        // without angle brackets
  std::string boundary;         // for multipart messages; must not occur in any part
  std::vector<OutgoingAttachment> attachments;
};

struct LocalTime {
  int year, month, day;  // month 1 to 12
  int weekday;           // 0 Sunday to 6 Saturday
  int hour, minute, second;
  int offsetMinutes;     // local time minus UTC
};

// "Tue, 08 Dec 2026 12:11:48 +0100": English names, numeric zone.
std::string FormatDate(const LocalTime& time);

// "<unique>@<domain of the sender>", or "@netbeacon.invalid" when the sender has no domain.
std::string MakeMessageId(std::string_view unique, std::string_view senderAddress);

// The content type for a file name's extension; application/octet-stream when unknown.
std::string_view ContentTypeFor(std::u32string_view fileName);

// The body's text in the charset (lines ending in CR LF), and the transfer encoding it is
// written with: 7bit when it is short-lined ASCII (ISO-2022-JP, HZ and UTF-7 always are),
// otherwise quoted-printable when at most a quarter of the bytes need escaping, else base64.
struct EncodedBody {
  std::string transferEncoding;
  std::string lines;
};
EncodedBody EncodeBody(std::u32string_view body, const CharsetEncoder& encoder);

// Writes the whole message to `out`.
void WriteMessage(const OutgoingMessage& message, const CharsetEncoder& encoder, std::string_view charsetLabel,
                  ByteSink& out);

// The DATA phase's view of the message: a line that starts with "." gets another one in front,
// bytes are passed on in blocks of `blockSize`, and Finish adds the end mark "." on a line of
// its own.
class DotStuffingSink final : public ByteSink {
 public:
  explicit DotStuffingSink(std::function<void(std::string_view)> send, std::size_t blockSize = 64 * 1024);
  void Write(std::string_view bytes) override;
  void Finish();

 private:
  std::function<void(std::string_view)> send_;
  std::size_t blockSize_;
  std::string block_;
  bool lineStart_ = true;
  char last_ = '\n';
  char beforeLast_ = '\r';
};

}  // namespace nb::mail
