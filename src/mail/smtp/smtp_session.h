// The SMTP dialogue, from the greeting to QUIT, over any SmtpTransport. Portable.
//
// Greeting; EHLO (HELO when the server does not know EHLO); STARTTLS whenever the server offers
// it and the connection is not yet encrypted, then EHLO again; AUTH PLAIN or LOGIN when a user
// name is given (never over an unencrypted connection to another machine); MAIL FROM, one RCPT
// TO per recipient, DATA with the message; QUIT. Every reply and write is awaited for a bounded
// time, and never beyond the end of the send's own bound.
#pragma once

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/secret_text.h"
#include "mail/smtp/message_writer.h"
#include "mail/smtp/send_bounds.h"
#include "mail/smtp/smtp_transport.h"

namespace nb::mail {

struct SmtpTimeouts {
  std::chrono::milliseconds connect{15'000};
  std::chrono::milliseconds reply{60'000};
  std::chrono::milliseconds finalReply{300'000};  // the reply to the message's final dot
  std::chrono::milliseconds write{60'000};
};

struct SessionPlan {
  bool implicitTls = false;     // TLS from the first byte (port 465)
  std::string user;             // UTF-8; no authentication when empty
  SecretString password;        // UTF-8
  bool plainAuthToLoopback = true;  // a loopback server may get credentials without TLS
  std::string sender;
  std::vector<std::string> recipients;
  SmtpTimeouts timeouts;
  SendDeadline deadline;  // each wait takes the smaller of its timeout and what is left of this
  // Writes the message; called once, during DATA.
  std::function<void(ByteSink&)> writeMessage;
};

// Why a send failed, in three parts separated by ";": what went wrong, at which step, and the
// server's answer or the system's reason.
struct SendFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Text of a failure with its parts joined by ";".
std::string FailureText(const std::string& what, const std::string& step, const std::string& detail);

// Runs the dialogue. Returns when the server accepted the message (250 after the data);
// throws SendFailure otherwise.
void RunSmtpSession(SmtpTransport& transport, const SessionPlan& plan);

}  // namespace nb::mail
