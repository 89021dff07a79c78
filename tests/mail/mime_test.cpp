#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mail/smtp/charsets.h"
#include "mail/smtp/message_writer.h"
#include "mail/smtp/mime.h"

namespace {

using namespace nb::mail;

// Latin-1 by arithmetic, so that the tables do not need the system's converter.
class Latin1 final : public CharsetEncoder {
 public:
  std::string Encode(std::u32string_view text) const override {
    std::string out;
    for (char32_t c : text) out += c < 0x100 ? static_cast<char>(c) : '?';
    return out;
  }
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

TEST(Base64, EncodesTheStandardVectorsAndStreamsInWholeLines) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}};
  for (const auto& [in, out] : vectors) EXPECT_EQ(Base64(in), out);

  std::string data;
  for (int i = 0; i < 1000; ++i) data += static_cast<char>(i * 7);
  std::string whole;
  for (std::size_t piece : {1u, 2u, 57u, 100u, 1000u}) {
    Base64Lines lines;
    std::string out;
    for (std::size_t at = 0; at < data.size(); at += piece) lines.Feed(std::string_view(data).substr(at, piece), out);
    lines.Finish(out);
    if (whole.empty()) whole = out;
    EXPECT_EQ(out, whole) << "pieces of " << piece;
  }
  std::string joined;
  for (const std::string& line : Lines(whole)) {
    EXPECT_LE(line.size(), 76u);
    joined += line;
  }
  EXPECT_EQ(joined, Base64(data));
}

struct QpCase {
  const char* text;
  const char* encoded;
};

class QuotedPrintableTable : public testing::TestWithParam<QpCase> {};

TEST_P(QuotedPrintableTable, Encodes) { EXPECT_EQ(QuotedPrintable(GetParam().text), GetParam().encoded); }

INSTANTIATE_TEST_SUITE_P(
    Texts, QuotedPrintableTable,
    testing::Values(QpCase{"Caf\xE9 = 1\r\n", "Caf=E9 =3D 1\r\n"}, QpCase{"end \r\nx\t", "end=20\r\nx=09"},
                    QpCase{"a\nb\rc", "a\r\nb\r\nc"}, QpCase{".dot\r\n", ".dot\r\n"},
                    // Soft breaks keep lines within 76 and never split an escape.
                    QpCase{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\xE9\xE9",
                           "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa=\r\n=E9=E9"}));

struct HeaderCase {
  const char* name;
  const char32_t* text;
  bool phrase;
  const char* expected;
};

class HeaderText : public testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderText, IsWrittenAsExpected) {
  const HeaderCase& c = GetParam();
  HeaderLine header(c.name);
  AddHeaderText(header, c.text, Latin1(), "iso-8859-1", c.phrase);
  EXPECT_EQ(header.Finish(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderText,
    testing::Values(
        HeaderCase{"Subject", U"New IP", false, "Subject: New IP\r\n"},
        HeaderCase{"Subject", U"Caf\u00E9 au lait", false, "Subject: =?iso-8859-1?Q?Caf=E9_au_lait?=\r\n"},
        // Blanks that a plain header would lose, and text that looks encoded, are encoded.
        HeaderCase{"Subject", U" ", false, "Subject: =?iso-8859-1?Q?_?=\r\n"},
        HeaderCase{"Subject", U"a  b", false, "Subject: =?iso-8859-1?Q?a__b?=\r\n"},
        HeaderCase{"Subject", U"=?x?Q?y?=", false, "Subject: =?iso-8859-1?B?PT94P1E/eT89?=\r\n"},
        // Line breaks cannot start a header of their own; B is shorter for these.
        HeaderCase{"Subject", U"a\r\nBcc: x", false, "Subject: =?iso-8859-1?B?YQ0KQmNjOiB4?=\r\n"},
        HeaderCase{"From", U"Ann Lee", true, "From: Ann Lee\r\n"},
        HeaderCase{"From", U"Lee, Ann \"A\"", true, "From: \"Lee, Ann \\\"A\\\"\"\r\n"},
        HeaderCase{"From", U"\u00C5sa", true, "From: =?iso-8859-1?B?xXNh?=\r\n"},
        // Mostly non-ASCII: B is shorter.
        HeaderCase{"Subject", U"\u00E9\u00E9\u00E9\u00E9", false, "Subject: =?iso-8859-1?B?6enp6Q==?=\r\n"}));

TEST(HeaderText, LongTextIsFoldedWithinTheLineLimitAndReadsBack) {
  std::u32string ascii;
  for (int i = 0; i < 40; ++i) ascii += U"word" + std::u32string(1, U'a' + i % 26) + U" ";
  ascii.pop_back();
  std::u32string accented;
  for (int i = 0; i < 200; ++i) accented += (i % 3) ? U'\u00E9' : U'x';
  for (const std::u32string& text : {ascii, accented}) {
    HeaderLine header("Subject");
    AddHeaderText(header, text, Latin1(), "iso-8859-1", false);
    const std::vector<std::string> lines = Lines(header.Finish());
    EXPECT_GT(lines.size(), 2u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_LE(lines[i].size(), 78u) << lines[i];
      if (i > 0) {
        EXPECT_EQ(lines[i][0], ' ');
      }
    }
  }
}

// A quoted string cannot be folded: a display name whose quoted form (escapes counted) is longer
// than the line has room for goes as encoded-words instead.
TEST(HeaderText, AQuotedNameTooLongForTheLineIsEncodedInstead) {
  const std::u32string name = U"Lee, Ann \"the admin\" of the \\\\network\\\\ at Example Ltd., Room 404";
  HeaderLine header("From");
  AddHeaderText(header, name, Latin1(), "iso-8859-1", true);
  for (const std::string& line : Lines(header.Finish())) EXPECT_LE(line.size(), 78u) << line;
}

TEST(Parameters, PlainNamesAreQuotedOthersUseRfc2231Pieces) {
  HeaderLine shortName("Content-Disposition");
  shortName.Add("attachment");
  AddParameter(shortName, "filename", "report 1.txt");
  EXPECT_EQ(shortName.Finish(), "Content-Disposition: attachment; filename=\"report 1.txt\"\r\n");

  HeaderLine accented("Content-Disposition");
  accented.Add("attachment");
  AddParameter(accented, "filename", "caf\xC3\xA9.txt");
  EXPECT_EQ(accented.Finish(), "Content-Disposition: attachment; filename*=utf-8''caf%C3%A9.txt\r\n");

  HeaderLine longName("Content-Disposition");
  longName.Add("attachment");
  std::string name;
  for (int i = 0; i < 40; ++i) name += "\xE6\x97\xA5";  // 40 CJK characters
  AddParameter(longName, "filename", name);
  const std::vector<std::string> lines = Lines(longName.Finish());
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Content-Disposition: attachment;");
  EXPECT_EQ(lines[1].rfind(" filename*0*=utf-8''%E6%97%A5", 0), 0u);
  EXPECT_EQ(lines[2].rfind(" filename*1*=%E6", 0), 0u);
  for (const std::string& line : lines) EXPECT_LE(line.size(), 78u);
}

class StringSource final : public ByteSource {
 public:
  explicit StringSource(std::string data) : data_(std::move(data)) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, data_.size() - at_);
    std::copy_n(data_.data() + at_, n, buffer);
    at_ += n;
    return n;
  }

 private:
  std::string data_;
  std::size_t at_ = 0;
};

class StringSink final : public ByteSink {
 public:
  void Write(std::string_view bytes) override { text.append(bytes); }
  std::string text;
};

TEST(MessageWriter, WritesHeadersBodyAndAttachmentsInShortCrLfLines) {
  std::string binary;
  for (int i = 0; i < 100000; ++i) binary += static_cast<char>((i * 131) >> 3);
  StringSource source(binary);
  OutgoingMessage message;
  message.from = {U"Ann", "ann@example.com"};
  message.to = {{U"", "bo@example.com"}};
  message.subject = U"Hello";
  message.body = U".starts with a dot\r\n\u00E9t\u00E9\r\n" + std::u32string(2000, U'x');
  message.mailer = U"Netbeacon Mailer";
  message.date = FormatDate({2026, 12, 8, 2, 9, 5, 7, -150});
  message.messageId = MakeMessageId("abc", "ann@example.com");
  message.boundary = "b0undary";
  message.attachments = {{U"data.bin", &source}};
  StringSink sink;
  WriteMessage(message, Latin1(), "iso-8859-1", sink);
  const std::string& text = sink.text;

  EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_EQ(text[i - 1], '\r') << "bare LF at " << i;
    }
    if (text[i] == '\r') {
      ASSERT_EQ(text[i + 1], '\n') << "bare CR at " << i;
    }
  }
  const std::vector<std::string> lines = Lines(text);
  EXPECT_LE(std::max_element(lines.begin(), lines.end(),
                             [](const auto& a, const auto& b) { return a.size() < b.size(); })->size(), 998u);
  for (const char* header : {"Date: Tue, 08 Dec 2026 09:05:07 -0230", "From: Ann <ann@example.com>",
                             "To: bo@example.com", "Subject: Hello", "Message-ID: <abc@example.com>",
                             "X-Mailer: Netbeacon Mailer", "MIME-Version: 1.0",
                             "Content-Type: multipart/mixed; boundary=\"b0undary\"",
                             "Content-Transfer-Encoding: quoted-printable",
                             "Content-Type: application/octet-stream; name=\"data.bin\"",
                             "Content-Disposition: attachment; filename=\"data.bin\"", "--b0undary--"}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), header), lines.end()) << header;
  }
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "Cc:"), lines.end());
  // The attachment's lines, joined, are its base64.
  const auto first = std::find(lines.begin(), lines.end(), "Content-Disposition: attachment; filename=\"data.bin\"") + 2;
  std::string joined;
  for (auto it = first; it != lines.end() && !it->empty(); ++it) joined += *it;
  EXPECT_EQ(joined, Base64(binary));
}

struct BodyCase {
  const char32_t* body;
  const char* encoding;
};

class BodyEncoding : public testing::TestWithParam<BodyCase> {};

TEST_P(BodyEncoding, SuitsTheText) {
  EXPECT_EQ(EncodeBody(GetParam().body, Latin1()).transferEncoding, GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(Bodies, BodyEncoding,
                         testing::Values(BodyCase{U"Here's my new IP:\r\n192.0.2.1\r\n", "7bit"},
                                         BodyCase{U"Caf\u00E9\r\n", "quoted-printable"},
                                         BodyCase{U"\u00E9\u00E9\u00E9x", "base64"}));

TEST(MessageWriter, LongAsciiLinesAreNotSentAs7bit) {
  const EncodedBody body = EncodeBody(std::u32string(1500, U'a'), Latin1());
  EXPECT_EQ(body.transferEncoding, "quoted-printable");
  for (const std::string& line : Lines(body.lines)) EXPECT_LE(line.size(), 76u);
}

TEST(DotStuffing, DoublesLeadingDotsAndEndsWithTheMark) {
  struct Case {
    std::vector<std::string> writes;
    std::string sent;
  };
  const Case cases[] = {
      {{"a\r\n.b\r\n"}, "a\r\n..b\r\n.\r\n"},
      {{".", "\r\n", "."}, "..\r\n..\r\n.\r\n"},  // split across writes; no final CR LF yet
      {{"x.y\r\n"}, "x.y\r\n.\r\n"},
      {{}, ".\r\n"},
  };
  for (const Case& c : cases) {
    std::string sent;
    DotStuffingSink sink([&](std::string_view bytes) { sent.append(bytes); }, 3);
    for (const std::string& w : c.writes) sink.Write(w);
    sink.Finish();
    EXPECT_EQ(sent, c.sent);
  }
}

}  // namespace
