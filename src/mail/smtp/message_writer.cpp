#include "mail/smtp/message_writer.h"

#include <algorithm>
#include <cstdio>

#include "mail/smtp/mime.h"

namespace nb::mail {
namespace {

constexpr std::size_t kMaxLineOctets = 998;
constexpr std::size_t kReadBlock = 57 * 1024;  // whole base64 lines

char32_t LowerAscii(char32_t c) { return (c >= U'A' && c <= U'Z') ? c - U'A' + U'a' : c; }

// The body's lines in the charset, each encoded by itself so that a charset with shifts is back
// in ASCII at every line end; lone CR and LF count as line ends.
std::string EncodeLines(std::u32string_view body, const CharsetEncoder& encoder) {
  std::string out;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= body.size(); ++i) {
    if (i < body.size() && body[i] != U'\r' && body[i] != U'\n') continue;
    out += encoder.Encode(body.substr(start, i - start));
    if (i == body.size()) break;
    out += "\r\n";
    if (body[i] == U'\r' && i + 1 < body.size() && body[i + 1] == U'\n') ++i;
    start = i + 1;
  }
  return out;
}

void WriteAddressList(std::string& out, std::string_view name, const std::vector<MailAddress>& list,
                      const CharsetEncoder& encoder, std::string_view label) {
  if (list.empty()) return;
  HeaderLine header(name);
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (!list[i].name.empty()) AddHeaderText(header, list[i].name, encoder, label, true);
    header.Add(list[i].name.empty() ? list[i].address : "<" + list[i].address + ">");
    if (i + 1 < list.size()) header.Append(",");
  }
  out += header.Finish();
}

void WriteText(std::string& out, std::string_view name, std::u32string_view text, const CharsetEncoder& encoder,
               std::string_view label) {
  HeaderLine header(name);
  AddHeaderText(header, text, encoder, label, false);
  out += header.Finish();
}

std::string TextPartHeaders(std::string_view label, const EncodedBody& body) {
  return "Content-Type: text/plain; charset=\"" + std::string(label) + "\"\r\nContent-Transfer-Encoding: " +
         body.transferEncoding + "\r\n";
}

}  // namespace

std::string FormatDate(const LocalTime& t) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const int offset = t.offsetMinutes < 0 ? -t.offsetMinutes : t.offsetMinutes;
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d", kDays[((t.weekday % 7) + 7) % 7],
                t.day, kMonths[std::clamp(t.month, 1, 12) - 1], t.year, t.hour, t.minute, t.second,
                t.offsetMinutes < 0 ? '-' : '+', (offset / 60) % 100, offset % 60);
  return text;
}

std::string MakeMessageId(std::string_view unique, std::string_view senderAddress) {
  const std::size_t at = senderAddress.rfind('@');
  const std::string_view domain = at == std::string_view::npos ? std::string_view() : senderAddress.substr(at + 1);
  return std::string(unique) + "@" + std::string(domain.empty() ? "netbeacon.invalid" : domain);
}

std::string_view ContentTypeFor(std::u32string_view fileName) {
  static constexpr struct {
    std::u32string_view extension;
    std::string_view type;
  } kTypes[] = {
      {U"txt", "text/plain"},       {U"log", "text/plain"},          {U"csv", "text/csv"},
      {U"htm", "text/html"},        {U"html", "text/html"},          {U"xml", "application/xml"},
      {U"json", "application/json"}, {U"pdf", "application/pdf"},    {U"rtf", "application/rtf"},
      {U"zip", "application/zip"},  {U"gz", "application/gzip"},     {U"7z", "application/x-7z-compressed"},
      {U"png", "image/png"},        {U"jpg", "image/jpeg"},          {U"jpeg", "image/jpeg"},
      {U"gif", "image/gif"},        {U"bmp", "image/bmp"},           {U"tif", "image/tiff"},
      {U"tiff", "image/tiff"},      {U"ico", "image/x-icon"},        {U"svg", "image/svg+xml"},
      {U"webp", "image/webp"},      {U"mp3", "audio/mpeg"},          {U"wav", "audio/wav"},
      {U"mp4", "video/mp4"},        {U"avi", "video/x-msvideo"},     {U"doc", "application/msword"},
      {U"xls", "application/vnd.ms-excel"}, {U"ppt", "application/vnd.ms-powerpoint"},
      {U"docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
      {U"xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
      {U"pptx", "application/vnd.openxmlformats-officedocument.presentationml.presentation"},
  };
  const std::size_t dot = fileName.rfind(U'.');
  if (dot == std::u32string_view::npos) return "application/octet-stream";
  std::u32string extension(fileName.substr(dot + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(), LowerAscii);
  for (const auto& entry : kTypes) {
    if (entry.extension == extension) return entry.type;
  }
  return "application/octet-stream";
}

EncodedBody EncodeBody(std::u32string_view body, const CharsetEncoder& encoder) {
  const std::string bytes = EncodeLines(body, encoder);
  std::size_t high = 0;
  std::size_t longest = 0;
  std::size_t lineLength = 0;
  bool controls = false;
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') {
      lineLength = 0;
      continue;
    }
    longest = std::max(longest, ++lineLength);
    if (c >= 0x80) ++high;
    if (c == 0) controls = true;
  }
  if (high == 0 && !controls && longest <= kMaxLineOctets) return {"7bit", bytes};
  if (high * 4 <= bytes.size()) return {"quoted-printable", QuotedPrintable(bytes)};
  std::string lines;
  Base64Lines encoder64;
  encoder64.Feed(bytes, lines);
  encoder64.Finish(lines);
  return {"base64", lines};
}

void WriteMessage(const OutgoingMessage& message, const CharsetEncoder& encoder, std::string_view label,
                  ByteSink& out) {
  std::string head = "Date: " + message.date + "\r\n";
  WriteAddressList(head, "From", {message.from}, encoder, label);
  WriteAddressList(head, "To", message.to, encoder, label);
  WriteAddressList(head, "Cc", message.cc, encoder, label);
  WriteText(head, "Subject", message.subject, encoder, label);
  head += "Message-ID: <" + message.messageId + ">\r\n";
  if (!message.mailer.empty()) WriteText(head, "X-Mailer", message.mailer, encoder, label);
  head += "MIME-Version: 1.0\r\n";
  const EncodedBody body = EncodeBody(message.body, encoder);
  if (message.attachments.empty()) {
    head += TextPartHeaders(label, body) + "\r\n";
    out.Write(head);
    out.Write(body.lines);
    return;
  }
  const std::string delimiter = "--" + message.boundary;
  head += "Content-Type: multipart/mixed; boundary=\"" + message.boundary + "\"\r\n\r\n";
  head += "This is a multi-part message in MIME format.\r\n\r\n" + delimiter + "\r\n";
  head += TextPartHeaders(label, body) + "\r\n";
  out.Write(head);
  out.Write(body.lines);
  std::string block;
  std::string read(kReadBlock, '\0');
  for (const OutgoingAttachment& attachment : message.attachments) {
    const std::string name = Utf8(attachment.name);
    HeaderLine type("Content-Type");
    type.Add(ContentTypeFor(attachment.name));
    AddParameter(type, "name", name);
    HeaderLine disposition("Content-Disposition");
    disposition.Add("attachment");
    AddParameter(disposition, "filename", name);
    out.Write("\r\n" + delimiter + "\r\n" + type.Finish() + "Content-Transfer-Encoding: base64\r\n" +
              disposition.Finish() + "\r\n");
    Base64Lines lines;
    for (;;) {
      const std::size_t got = attachment.source->Read(read.data(), read.size());
      if (got == 0) break;
      block.clear();
      lines.Feed(std::string_view(read.data(), got), block);
      out.Write(block);
    }
    block.clear();
    lines.Finish(block);
    out.Write(block);
  }
  out.Write("\r\n" + delimiter + "--\r\n");
}

DotStuffingSink::DotStuffingSink(std::function<void(std::string_view)> send, std::size_t blockSize)
    : send_(std::move(send)), blockSize_(blockSize) {
  block_.reserve(blockSize_ + 1);
}

void DotStuffingSink::Write(std::string_view bytes) {
  for (char c : bytes) {
    if (lineStart_ && c == '.') block_ += '.';
    block_ += c;
    lineStart_ = c == '\n';
    beforeLast_ = last_;
    last_ = c;
    if (block_.size() >= blockSize_) {
      send_(block_);
      block_.clear();
    }
  }
}

void DotStuffingSink::Finish() {
  if (!(beforeLast_ == '\r' && last_ == '\n')) block_ += "\r\n";
  block_ += ".\r\n";
  send_(block_);
  block_.clear();
}

}  // namespace nb::mail
