#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "mail/smtp/smtp_session.h"

namespace {

using namespace nb::mail;

// A server that answers each command from a script: by the exact line first, then by the verb.
// It records what it received; "<TLS>" marks the switch to TLS, "<message>" a message ended by
// its final dot.
class ScriptedServer final : public SmtpTransport {
 public:
  std::string greeting = "220 mail.example.com ready\r\n";
  std::map<std::string, std::string> replies;
  std::string finalReply = "250 2.0.0 queued\r\n";
  bool loopback = false;

  std::vector<std::string> received;
  std::string data;
  std::chrono::milliseconds longestWait{0};  // the longest bound it was given; none answers in no time

  std::size_t Read(char* buffer, std::size_t size, std::chrono::milliseconds bound) override {
    Wait(bound);
    if (!greeted_) {
      greeted_ = true;
      output_ += greeting;
    }
    if (output_.empty()) throw TransportError(TransportError::Kind::kTimeout, "silent");
    const std::size_t n = std::min(size, output_.size());
    output_.copy(buffer, n);
    output_.erase(0, n);
    return n;
  }

  void Write(std::string_view bytes, std::chrono::milliseconds bound) override {
    Wait(bound);
    input_.append(bytes);
    for (;;) {
      if (inData_) {
        const std::size_t end = input_.find("\r\n.\r\n");
        if (end == std::string::npos) return;
        data = input_.substr(0, end + 2);
        input_.erase(0, end + 5);
        inData_ = false;
        received.push_back("<message>");
        output_ += finalReply;
        continue;
      }
      const std::size_t end = input_.find("\r\n");
      if (end == std::string::npos) return;
      const std::string line = input_.substr(0, end);
      input_.erase(0, end + 2);
      received.push_back(line);
      const std::string verb = line.substr(0, line.find_first_of(" :"));
      std::string reply;
      if (replies.count(line)) {
        reply = replies[line];
      } else if (replies.count(verb)) {
        reply = replies[verb];
      } else if (verb == "EHLO") {
        reply = "250 mail.example.com\r\n";
      } else if (verb == "STARTTLS") {
        reply = "220 go ahead\r\n";
      } else if (verb == "DATA") {
        reply = "354 go ahead\r\n";
      } else if (verb == "QUIT") {
        reply = "221 bye\r\n";
      } else if (verb == "AUTH") {
        reply = "235 2.7.0 accepted\r\n";
      } else {
        reply = "250 ok\r\n";
      }
      if (verb == "DATA" && reply.rfind("354", 0) == 0) inData_ = true;
      output_ += reply;
    }
  }

  void StartTls(std::chrono::milliseconds) override {
    received.push_back("<TLS>");
    encrypted_ = true;
  }
  bool Encrypted() const override { return encrypted_; }
  bool Loopback() const override { return loopback; }
  std::string ClientAddressLiteral() const override { return "[192.0.2.9]"; }

 private:
  void Wait(std::chrono::milliseconds bound) {
    longestWait = std::max(longestWait, bound);
    if (bound.count() == 0) throw TransportError(TransportError::Kind::kTimeout, "no time");
  }

  bool greeted_ = false;
  bool encrypted_ = false;
  bool inData_ = false;
  std::string input_;
  std::string output_;
};

struct SessionCase {
  const char* name;
  std::map<std::string, std::string> replies;
  std::string user;
  bool loopback;
  bool implicitTls;
  std::vector<std::string> received;  // what the server must have received, in order
  const char* error;                  // nullptr: sent; otherwise a part of the error text
};

const char* const kTlsEhlo = "250-mail.example.com\r\n250-STARTTLS\r\n250 AUTH LOGIN PLAIN\r\n";
const char* const kPlainAuthEhlo = "250-mail.example.com\r\n250 AUTH PLAIN LOGIN\r\n";
// "\0alice\0secret" in base64.
const char* const kPlainResponse = "AUTH PLAIN AGFsaWNlAHNlY3JldA==";

class Dialogue : public testing::TestWithParam<SessionCase> {};

TEST_P(Dialogue, FollowsTheServer) {
  const SessionCase& c = GetParam();
  ScriptedServer server;
  server.replies = c.replies;
  server.loopback = c.loopback;
  SessionPlan plan;
  plan.implicitTls = c.implicitTls;
  plan.user = c.user;
  plan.password = "secret";
  plan.sender = "ann@example.com";
  plan.recipients = {"bo@example.com", "cy@example.org"};
  plan.writeMessage = [](ByteSink& sink) { sink.Write("Subject: x\r\n\r\n.hidden dot\r\n"); };
  if (c.error == nullptr) {
    EXPECT_NO_THROW(RunSmtpSession(server, plan));
  } else {
    try {
      RunSmtpSession(server, plan);
      ADD_FAILURE() << "reported as sent";
    } catch (const SendFailure& failure) {
      EXPECT_NE(std::string(failure.what()).find(c.error), std::string::npos) << failure.what();
      EXPECT_EQ(std::count(failure.what(), failure.what() + std::strlen(failure.what()), ';'), 2) << failure.what();
    }
  }
  EXPECT_EQ(server.received, c.received);
  for (const std::string& line : server.received) EXPECT_EQ(line.find("secret"), std::string::npos);
}

const std::vector<std::string> kEnvelope = {"MAIL FROM:<ann@example.com>", "RCPT TO:<bo@example.com>",
                                            "RCPT TO:<cy@example.org>", "DATA", "<message>", "QUIT"};

std::vector<std::string> Then(std::vector<std::string> first, const std::vector<std::string>& rest = kEnvelope) {
  first.insert(first.end(), rest.begin(), rest.end());
  return first;
}

INSTANTIATE_TEST_SUITE_P(
    Servers, Dialogue,
    testing::Values(
        SessionCase{"plain", {}, "", false, false, Then({"EHLO [192.0.2.9]"}), nullptr},
        SessionCase{"helo_when_ehlo_is_unknown", {{"EHLO", "502 5.5.1 what?\r\n"}}, "", false, false,
                    Then({"EHLO [192.0.2.9]", "HELO [192.0.2.9]"}), nullptr},
        SessionCase{"starttls_whenever_offered", {{"EHLO", kTlsEhlo}}, "", false, false,
                    Then({"EHLO [192.0.2.9]", "STARTTLS", "<TLS>", "EHLO [192.0.2.9]"}), nullptr},
        SessionCase{"auth_plain_after_tls", {{"EHLO", kTlsEhlo}}, "alice", false, false,
                    Then({"EHLO [192.0.2.9]", "STARTTLS", "<TLS>", "EHLO [192.0.2.9]", kPlainResponse}), nullptr},
        SessionCase{"implicit_tls", {{"EHLO", kPlainAuthEhlo}}, "alice", false, true,
                    Then({"<TLS>", "EHLO [192.0.2.9]", kPlainResponse}), nullptr},
        SessionCase{"auth_login",
                    {{"EHLO", "250-x\r\n250-STARTTLS\r\n250 AUTH=LOGIN\r\n"},
                     {"AUTH LOGIN", "334 VXNlcm5hbWU6\r\n"},
                     {"YWxpY2U=", "334 UGFzc3dvcmQ6\r\n"},
                     {"c2VjcmV0", "235 ok\r\n"}},
                    "alice", false, false,
                    Then({"EHLO [192.0.2.9]", "STARTTLS", "<TLS>", "EHLO [192.0.2.9]", "AUTH LOGIN", "YWxpY2U=",
                          "c2VjcmV0"}),
                    nullptr},
        // Credentials stay home when the server offers no TLS, unless it is on this machine.
        SessionCase{"no_tls_no_credentials", {{"EHLO", kPlainAuthEhlo}}, "alice", false, false,
                    {"EHLO [192.0.2.9]", "QUIT"}, "no encrypted connection"},
        SessionCase{"loopback_may_sign_in_plain", {{"EHLO", kPlainAuthEhlo}}, "alice", true, false,
                    Then({"EHLO [192.0.2.9]", kPlainResponse}), nullptr},
        SessionCase{"wrong_password",
                    {{"EHLO", kTlsEhlo}, {"AUTH", "535 5.7.8 Authentication credentials invalid\r\n"}},
                    "alice", false, false,
                    {"EHLO [192.0.2.9]", "STARTTLS", "<TLS>", "EHLO [192.0.2.9]", kPlainResponse, "QUIT"},
                    "535 5.7.8 Authentication credentials invalid"},
        SessionCase{"unknown_auth_methods", {{"EHLO", "250-x\r\n250-STARTTLS\r\n250 AUTH CRAM-MD5\r\n"}}, "alice",
                    false, false, {"EHLO [192.0.2.9]", "STARTTLS", "<TLS>", "EHLO [192.0.2.9]", "QUIT"},
                    "offers CRAM-MD5"},
        SessionCase{"recipient_refused", {{"RCPT TO:<cy@example.org>", "550 5.1.1 no such user\r\n"}}, "", false,
                    false,
                    {"EHLO [192.0.2.9]", "MAIL FROM:<ann@example.com>", "RCPT TO:<bo@example.com>",
                     "RCPT TO:<cy@example.org>", "QUIT"},
                    "cy@example.org"},
        SessionCase{"data_refused", {{"DATA", "554 5.7.1 no\r\n"}}, "", false, false,
                    {"EHLO [192.0.2.9]", "MAIL FROM:<ann@example.com>", "RCPT TO:<bo@example.com>",
                     "RCPT TO:<cy@example.org>", "DATA", "QUIT"},
                    "554 5.7.1 no"},
        // Plain text queued behind the go-ahead for TLS would be read as if it came encrypted.
        SessionCase{"bytes_before_tls", {{"EHLO", kTlsEhlo}, {"STARTTLS", "220 go\r\n250 injected\r\n"}}, "", false,
                    false, {"EHLO [192.0.2.9]", "STARTTLS"}, "before TLS began"}),
    [](const testing::TestParamInfo<SessionCase>& info) { return info.param.name; });

SessionPlan SimplePlan() {
  SessionPlan plan;
  plan.sender = "ann@example.com";
  plan.recipients = {"bo@example.com"};
  plan.writeMessage = [](ByteSink& sink) { sink.Write("Subject: x\r\n\r\n.hidden dot\r\n"); };
  return plan;
}

TEST(Dialogue, SendsTheMessageDotStuffed) {
  ScriptedServer server;
  RunSmtpSession(server, SimplePlan());
  EXPECT_EQ(server.data, "Subject: x\r\n\r\n..hidden dot\r\n");
}

TEST(Dialogue, RefusedGreetingShowsTheServersWords) {
  ScriptedServer server;
  server.greeting = "554 5.3.2 not now\r\n";
  try {
    RunSmtpSession(server, SimplePlan());
    FAIL();
  } catch (const SendFailure& failure) {
    EXPECT_NE(std::string(failure.what()).find("554 5.3.2 not now"), std::string::npos);
  }
}

TEST(Dialogue, UnconfirmedMessageIsNotReportedAsSent) {
  ScriptedServer server;
  server.finalReply = "";
  try {
    RunSmtpSession(server, SimplePlan());
    FAIL();
  } catch (const SendFailure& failure) {
    EXPECT_NE(std::string(failure.what()).find("may or may not"), std::string::npos) << failure.what();
  }
}

TEST(Dialogue, NoWaitOutlastsTheSendsBound) {
  ScriptedServer server;
  SessionPlan plan = SimplePlan();
  plan.deadline = SendDeadline::From(std::chrono::milliseconds{0});
  try {
    RunSmtpSession(server, plan);
    FAIL() << "sent";
  } catch (const SendFailure& failure) {
    EXPECT_NE(std::string(failure.what()).find("took too long;While waiting for the server's greeting;"),
              std::string::npos) << failure.what();
  }
  EXPECT_EQ(server.longestWait.count(), 0);
}

TEST(Dialogue, UnreadableAttachmentNeverGetsTheEndMark) {
  ScriptedServer server;
  SessionPlan plan = SimplePlan();
  plan.writeMessage = [](ByteSink& sink) {
    sink.Write("Subject: x\r\n\r\nbeginning\r\n");
    throw std::runtime_error("C:\\x.bin could not be read");
  };
  try {
    RunSmtpSession(server, plan);
    FAIL();
  } catch (const SendFailure& failure) {
    EXPECT_NE(std::string(failure.what()).find("C:\\x.bin could not be read"), std::string::npos);
  }
  EXPECT_EQ(server.received.back(), "DATA");
}

}  // namespace
