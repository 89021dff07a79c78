#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "mail/smtp/smtp_reply.h"

namespace {

using namespace nb::mail;

// Hands out the scripted pieces one per read; after the last one the server is silent.
class ScriptedInput final : public ByteInput {
 public:
  explicit ScriptedInput(std::vector<std::string> pieces) : pieces_(pieces.begin(), pieces.end()) {}
  std::size_t Read(char* buffer, std::size_t size, std::chrono::milliseconds) override {
    if (pieces_.empty()) throw TransportError(TransportError::Kind::kTimeout, "silent");
    std::string& piece = pieces_.front();
    const std::size_t n = std::min(size, piece.size());
    piece.copy(buffer, n);
    piece.erase(0, n);
    if (piece.empty()) pieces_.pop_front();
    return n;
  }

 private:
  std::deque<std::string> pieces_;
};

struct ReplyCase {
  const char* name;
  std::vector<std::string> pieces;
  int code;  // 0: a ReplyError is expected; -1: the wait runs out
  std::vector<std::string> lines;
};

class Replies : public testing::TestWithParam<ReplyCase> {};

TEST_P(Replies, AreReadOrRefused) {
  const ReplyCase& c = GetParam();
  ScriptedInput input(c.pieces);
  ReplyReader reader(input);
  if (c.code > 0) {
    const SmtpReply reply = reader.Read(std::chrono::seconds(1));
    EXPECT_EQ(reply.code, c.code);
    EXPECT_EQ(reply.lines, c.lines);
  } else if (c.code == 0) {
    EXPECT_THROW(reader.Read(std::chrono::seconds(1)), ReplyError);
  } else {
    EXPECT_THROW(reader.Read(std::chrono::seconds(1)), TransportError);
  }
}

std::string Repeat(const std::string& line, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += line;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Script, Replies,
    testing::Values(
        ReplyCase{"one_line", {"220 mail.example.com ready\r\n"}, 220, {"mail.example.com ready"}},
        ReplyCase{"code_only", {"250\r\n"}, 250, {""}},
        ReplyCase{"bare_lf", {"250 ok\n"}, 250, {"ok"}},
        ReplyCase{"multi_line_in_pieces", {"250-mail", ".example.com\r\n250-STARTTLS\r", "\n250 AUTH PLAIN\r\n"},
                  250, {"mail.example.com", "STARTTLS", "AUTH PLAIN"}},
        ReplyCase{"longest_line", {"250 " + std::string(1996, 'x') + "\r\n"}, 250, {std::string(1996, 'x')}},
        ReplyCase{"hundred_lines", {Repeat("250-x\r\n", 99) + "250 y\r\n"}, 250,
                  [] { std::vector<std::string> v(99, "x"); v.push_back("y"); return v; }()},
        ReplyCase{"line_too_long", {"250 " + std::string(1997, 'x') + "\r\n"}, 0, {}},
        ReplyCase{"endless_line", {std::string(3000, 'x')}, 0, {}},
        ReplyCase{"too_many_lines", {Repeat("250-x\r\n", 100) + "250 y\r\n"}, 0, {}},
        ReplyCase{"no_code", {"Hello there\r\n"}, 0, {}},
        ReplyCase{"garbage", {"\x16\x03\x01\x02\x7F\r\n"}, 0, {}},
        ReplyCase{"code_without_blank", {"250ok\r\n"}, 0, {}},
        ReplyCase{"codes_differ", {"250-a\r\n251 b\r\n"}, 0, {}},
        ReplyCase{"silent_mid_reply", {"250-a\r\n"}, -1, {}}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return info.param.name; });

TEST(Replies, TextShowsCodeAndPrintableWords) {
  SmtpReply reply{535, {"5.7.8 Authentication", "credentials \x01invalid"}};
  EXPECT_EQ(reply.Text(), "535 5.7.8 Authentication credentials ?invalid");
}

}  // namespace
