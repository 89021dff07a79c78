#include "mail/mail_message.h"

#include "mail/mail_text.h"

namespace nb {

std::wstring MailBody(std::wstring_view address) { return L"Here's my new IP:\r\n" + std::wstring(address) + L"\r\n"; }

void PrepareMailer(mail::Mailer& mailer, const MailMessage& message) {
  mailer.SetServer(message.server);
  if (message.signIn) {
    mailer.SetUserName(message.user);
    mailer.SetPassword(message.password.view());
  }
  mailer.SetCharset(message.charset);
  std::wstring senderName;
  std::wstring senderAddress;
  fnParseAddr(message.from, senderName, senderAddress);
  mailer.SetSenderName(senderName);
  mailer.SetSenderAddress(senderAddress);
  mailer.AddRecipients(message.to, mail::kTo);
  mailer.AddRecipients(message.cc, mail::kCc);
  for (const std::wstring& path : message.attachments) mailer.AddAttachment(path);
  mailer.SetSubject(message.subject);
  mailer.SetBody(message.body);
  mailer.SetMailerName(kMailerName);
}

std::wstring MailErrorText(std::wstring_view text) { return sReplace(sReplace(text, L";", L".\r\n"), L";", L"; "); }

std::optional<MissingField> FirstMissingField(const MailMessage& message) {
  if (message.from.empty()) return MissingField::kFrom;
  if (message.to.empty() && message.cc.empty()) return MissingField::kRecipient;
  if (message.server.empty()) return MissingField::kServer;
  if (message.subject.empty()) return MissingField::kSubject;
  return std::nullopt;
}

}  // namespace nb
