// SmtpMailer: the real mail component (see mailer.h for how the window drives it).
#pragma once

#include <string>
#include <vector>

#include "base/secret_text.h"
#include "base/worker_win.h"
#include "mail/smtp/address_text.h"
#include "mail/smtp/mailer.h"
#include "mail/smtp/smtp_session.h"

namespace nb::mail {

struct SmtpMailerSettings {
  SmtpTimeouts timeouts;
  // The port that speaks TLS from the first byte.
  unsigned implicitTlsPort = kImplicitTlsPort;
  // For tests only: root certificates (DER) trusted besides the system's, and whether a
  // loopback server may get credentials without TLS (it may in the program).
  std::vector<std::string> extraTrustedRoots;
  bool plainAuthToLoopback = true;
};

class SmtpMailer final : public Mailer {
 public:
  // Raises an AppError when the system has no event for Stop to give.
  explicit SmtpMailer(SmtpMailerSettings settings = {});
  ~SmtpMailer() override;

  void SetServer(std::wstring_view server) noexcept override;
  void SetUserName(std::wstring_view user) noexcept override;
  void SetPassword(std::wstring_view password) noexcept override;
  void SetCharset(std::wstring_view charset) noexcept override;
  void SetSenderName(std::wstring_view name) noexcept override;
  void SetSenderAddress(std::wstring_view address) noexcept override;
  int AddRecipients(std::wstring_view list, int kind) noexcept override;
  int AddAttachment(std::wstring_view path) noexcept override;
  void SetSubject(std::wstring_view subject) noexcept override;
  void SetBody(std::wstring_view body) noexcept override;
  void SetMailerName(std::wstring_view name) noexcept override;
  int Send() noexcept override;
  void Stop() noexcept override;
  std::wstring ErrorText() const override;

 private:
  template <typename Fn>
  void Keep(Fn&& fn) noexcept;
  void SendOrThrow();

  SmtpMailerSettings settings_;
  StopSignal stop_;
  std::wstring server_;
  std::wstring user_;
  SecretWString password_;
  std::wstring charset_;
  std::wstring senderName_;
  std::wstring senderAddress_;
  std::vector<MailAddress> to_;
  std::vector<MailAddress> cc_;
  std::vector<std::wstring> attachments_;
  std::wstring subject_;
  std::wstring body_;
  std::wstring mailerName_;
  std::string valueError_;  // the first value refused by a call before Send (UTF-8)
  std::wstring error_;
};

}  // namespace nb::mail
