// A mail component that sends nothing: Send gives the result and ErrorText the text it is made with.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "mail/smtp/mailer.h"

namespace nbtest {

class StubMailer final : public nb::mail::Mailer {
 public:
  StubMailer(int sendResult, std::wstring errorText) : sendResult_(sendResult), errorText_(std::move(errorText)) {}
  void SetServer(std::wstring_view) noexcept override {}
  void SetUserName(std::wstring_view) noexcept override {}
  void SetPassword(std::wstring_view) noexcept override {}
  void SetCharset(std::wstring_view) noexcept override {}
  void SetSenderName(std::wstring_view) noexcept override {}
  void SetSenderAddress(std::wstring_view) noexcept override {}
  int AddRecipients(std::wstring_view, int) noexcept override { return 0; }
  int AddAttachment(std::wstring_view) noexcept override { return 0; }
  void SetSubject(std::wstring_view) noexcept override {}
  void SetBody(std::wstring_view) noexcept override {}
  void SetMailerName(std::wstring_view) noexcept override {}
  int Send() noexcept override { return sendResult_; }
  void Stop() noexcept override {}
  std::wstring ErrorText() const override { return errorText_; }

 private:
  int sendResult_;
  std::wstring errorText_;
};

}  // namespace nbtest
