#include "mail/smtp/smtp_session.h"

#include <algorithm>
#include <optional>

#include "mail/smtp/mime.h"
#include "mail/smtp/smtp_reply.h"

namespace nb::mail {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kQuitBound{5'000};

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// What the server said it can do in its answer to EHLO.
struct Extensions {
  bool startTls = false;
  bool authOffered = false;
  std::vector<std::string> auth;  // mechanisms, upper case
};

Extensions ReadExtensions(const SmtpReply& reply) {
  Extensions ext;
  for (std::size_t i = 1; i < reply.lines.size(); ++i) {
    std::string line = Upper(reply.lines[i]);
    std::replace(line.begin(), line.end(), '=', ' ');  // the old "AUTH=PLAIN" form
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < line.size()) {
      const std::size_t start = line.find_first_not_of(' ', pos);
      if (start == std::string::npos) break;
      const std::size_t end = std::min(line.find(' ', start), line.size());
      words.push_back(line.substr(start, end - start));
      pos = end;
    }
    if (words.empty()) continue;
    if (words[0] == "STARTTLS") ext.startTls = true;
    if (words[0] == "AUTH") {
      ext.authOffered = true;
      ext.auth.insert(ext.auth.end(), words.begin() + 1, words.end());
    }
  }
  return ext;
}

class Session {
 public:
  Session(SmtpTransport& transport, const SessionPlan& plan) : transport_(transport), plan_(plan), reader_(transport) {}

  void Run() {
    if (plan_.implicitTls) {
      step_ = "While starting TLS on connecting";
      Guard([&] { transport_.StartTls(Bound(plan_.timeouts.reply)); });
    }
    step_ = "While waiting for the server's greeting";
    const SmtpReply greeting = Receive(plan_.timeouts.reply);
    if (greeting.code != 220) Refused("The message was not sent: the mail server refused the connection", greeting);

    Extensions ext = Hello();
    if (ext.startTls && !transport_.Encrypted()) {
      step_ = "While starting TLS (STARTTLS)";
      const SmtpReply reply = Command("STARTTLS");
      if (reply.code != 220) Refused("The message was not sent: the server would not start TLS", reply);
      if (reader_.HasUnreadBytes()) {
        Fail("The message was not sent: the server sent data before TLS began",
             "the connection may have been tampered with");
      }
      Guard([&] { transport_.StartTls(Bound(plan_.timeouts.reply)); });
      ext = Hello();
    }
    if (!plan_.user.empty()) SignIn(ext);

    step_ = "While giving the sender (MAIL FROM)";
    SmtpReply reply = Command("MAIL FROM:<" + plan_.sender + ">");
    if (reply.code != 250) Refused("The message was not sent: the server refused the sender " + plan_.sender, reply);
    for (const std::string& recipient : plan_.recipients) {
      step_ = "While giving the recipient " + recipient + " (RCPT TO)";
      reply = Command("RCPT TO:<" + recipient + ">");
      if (reply.code != 250 && reply.code != 251) {
        Refused("The message was not sent: the server refused the recipient " + recipient, reply);
      }
    }
    step_ = "While starting the message (DATA)";
    reply = Command("DATA");
    if (reply.code != 354) Refused("The message was not sent: the server would not take the message", reply);

    step_ = "While sending the message";
    DotStuffingSink sink([&](std::string_view bytes) { Send(bytes); });
    try {
      plan_.writeMessage(sink);
    } catch (const TransportError&) {
      throw;
    } catch (const SendFailure&) {
      throw;
    } catch (const std::exception& e) {
      // The end mark is never sent: the server drops the incomplete message with the connection.
      Fail("The message was not sent: an attachment could not be read", e.what());
    }
    Guard([&] { sink.Finish(); });
    step_ = "After the end of the message";
    std::optional<SmtpReply> final;
    try {
      final = Receive(plan_.timeouts.finalReply);
    } catch (const SendFailure& failure) {
      // The server had the whole message: say that it may have gone out after all.
      const std::string text = failure.what();
      throw SendFailure(FailureText("The server did not confirm the message: it may or may not be delivered", step_,
                                    stopped_ ? "the send was stopped before the server answered"
                                             : text.substr(text.rfind(';') + 1)));
    }
    if (final->code != 250) Refused("The message was not sent: the server refused it", *final);
    Quit();
  }

 private:
  // Runs a transport operation, turning its failure into the send's failure.
  template <typename Fn>
  void Guard(Fn&& fn) {
    try {
      fn();
    } catch (const TransportError& e) {
      TransportFailed(e);
    }
  }

  // What is left of `own` within the send's bound.
  milliseconds Bound(milliseconds own) const { return plan_.deadline.Clamp(own); }

  [[noreturn]] void TimedOut(const std::string& detail) {
    if (plan_.deadline.Passed()) {
      Fail("The message was not sent: sending took too long",
           "a message of this size may take at most " + BoundText(plan_.deadline.length));
    }
    Fail("The message was not sent: the server stopped answering", detail);
  }

  [[noreturn]] void TransportFailed(const TransportError& e) {
    switch (e.kind) {
      case TransportError::Kind::kTimeout:
        TimedOut(e.what());
      case TransportError::Kind::kStopped:
        stopped_ = true;
        Fail("The message was not sent: the send was stopped", "the connection was closed");
      case TransportError::Kind::kClosed:
        Fail("The message was not sent: the server closed the connection", e.what());
      case TransportError::Kind::kCertificate:
        Fail("The message was not sent: the server's certificate was refused", e.what());
      case TransportError::Kind::kFailed:
        break;
    }
    Fail("The message was not sent: the connection failed", e.what());
  }

  [[noreturn]] void Fail(const std::string& what, const std::string& detail) {
    throw SendFailure(FailureText(what, step_, detail));
  }

  [[noreturn]] void Refused(const std::string& what, const SmtpReply& reply) {
    Quit();
    Fail(what, "the server answered: " + reply.Text());
  }

  void Send(std::string_view bytes) {
    Guard([&] { transport_.Write(bytes, Bound(plan_.timeouts.write)); });
  }

  SmtpReply Receive(milliseconds own) {
    const milliseconds bound = Bound(own);
    try {
      return reader_.Read(bound);
    } catch (const TransportError& e) {
      if (e.kind == TransportError::Kind::kTimeout) TimedOut("no answer within " + BoundText(bound));
      TransportFailed(e);
    } catch (const ReplyError& e) {
      Fail("The message was not sent: the server's answer could not be understood", e.what());
    }
  }

  // The line may carry the password: its copy on the way out is wiped.
  SmtpReply Command(std::string_view line) {
    SecretString wire(line);
    wire += "\r\n";
    Send(wire);
    return Receive(plan_.timeouts.reply);
  }

  Extensions Hello() {
    step_ = "While greeting the server (EHLO)";
    const std::string client = transport_.ClientAddressLiteral();
    SmtpReply reply = Command("EHLO " + client);
    if (reply.code == 250) return ReadExtensions(reply);
    if (reply.code != 500 && reply.code != 501 && reply.code != 502 && reply.code != 504) {
      Refused("The message was not sent: the server refused the greeting", reply);
    }
    step_ = "While greeting the server (HELO)";
    reply = Command("HELO " + client);
    if (reply.code != 250) Refused("The message was not sent: the server refused the greeting", reply);
    return {};
  }

  void SignIn(const Extensions& ext) {
    step_ = "Before signing in";
    if (!transport_.Encrypted() && !(plan_.plainAuthToLoopback && transport_.Loopback())) {
      Quit();
      Fail("The message was not sent: the server offers no encrypted connection (TLS)",
           "the user name and password are never sent without encryption");
    }
    const bool plain = std::find(ext.auth.begin(), ext.auth.end(), "PLAIN") != ext.auth.end();
    const bool login = std::find(ext.auth.begin(), ext.auth.end(), "LOGIN") != ext.auth.end();
    if (!plain && !login) {
      Quit();
      std::string offered;
      for (const std::string& m : ext.auth) offered += (offered.empty() ? "" : " ") + m;
      Fail("The message was not sent: the server offers no sign-in method Netbeacon knows",
           ext.authOffered ? "it offers " + offered + " (Netbeacon uses PLAIN or LOGIN)"
                           : "the server does not offer signing in (AUTH)");
    }
    SmtpReply reply;
    if (plain) {
      step_ = "While signing in (AUTH PLAIN)";
      SecretString clear(1, '\0');
      clear += plan_.user;
      clear += '\0';
      clear += plan_.password;
      const SecretString response = SecretBase64(clear);
      SecretString command("AUTH PLAIN ");
      command += response;
      reply = Command(command);
      if (reply.code == 334) reply = Command(response);
    } else {
      step_ = "While signing in (AUTH LOGIN)";
      reply = Command("AUTH LOGIN");
      if (reply.code == 334) reply = Command(Base64(plan_.user));
      if (reply.code == 334) reply = Command(SecretBase64(plan_.password));
    }
    if (reply.code == 235) return;
    if (reply.code == 535) Refused("The message was not sent: the server did not accept the user name and password", reply);
    Refused("The message was not sent: signing in failed", reply);
  }

  // Says goodbye when the connection still works; the answer is awaited briefly and not needed.
  void Quit() {
    try {
      transport_.Write("QUIT\r\n", Bound(std::min(plan_.timeouts.write, kQuitBound)));
      reader_.Read(Bound(std::min(plan_.timeouts.reply, kQuitBound)));
    } catch (const std::exception&) {
    }
  }

  SmtpTransport& transport_;
  const SessionPlan& plan_;
  ReplyReader reader_;
  std::string step_;
  bool stopped_ = false;
};

}  // namespace

std::string FailureText(const std::string& what, const std::string& step, const std::string& detail) {
  return what + ";" + step + ";" + detail;
}

void RunSmtpSession(SmtpTransport& transport, const SessionPlan& plan) { Session(transport, plan).Run(); }

}  // namespace nb::mail
