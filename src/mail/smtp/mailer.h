// The mail component the mail window sends through. Portable declaration.
//
// How the window uses it, for each send (Send on a worker thread, the rest before it on the
// window's, Stop from any thread; nothing here touches a window):
//
//   std::unique_ptr<nb::mail::Mailer> mailer = nb::mail::CreateMailer();   // nullptr: not sent
//   mailer->SetServer(L"smtp.example.com:587");  // "host", "host:port", "[IPv6]:port"; 25 by default,
//                                                 // 465 is TLS from the first byte
//   mailer->SetUserName(L"me"); mailer->SetPassword(L"...");  // only when the server needs it
//   mailer->SetCharset(L"iso-8859-1");           // one of the 28 names of the window's charset list
//   mailer->SetSenderName(L"Me"); mailer->SetSenderAddress(L"me@example.com");
//   mailer->AddRecipients(L"a@example.com, Bo <b@example.com>", nb::mail::kTo);  // "" is no one
//   mailer->AddRecipients(L"", nb::mail::kCc);
//   mailer->AddAttachment(L"C:\\path\\file.txt");  // once per file
//   mailer->SetSubject(L"New IP"); mailer->SetBody(L"...");
//   mailer->SetMailerName(L"Netbeacon Mailer");
//   if (mailer->Send() != 0) show(mailer->ErrorText());
//   mailer->Stop();                               // from another thread: Send ends at once
//
// No call throws. Send returns 0 only when the server answered 250 to the end of the message;
// anything else (a refused or missing value, a failure while connecting, TLS, signing in or
// sending) returns non-zero and ErrorText says what happened in parts separated by ";": what went
// wrong; the step; the server's own code and words, or the system's reason. Nothing is sent when a
// value is wrong (no recipient, an address that is not one, an attachment that cannot be read, an
// unknown charset): Send fails before connecting.
//
// AddRecipients and AddAttachment return 0 when the value was taken and non-zero when not; the
// window may ignore that, since Send then fails with the reason.
//
// Stop, from any thread while Send runs on another, ends whatever wait the send is in (the name
// lookup, connecting, TLS, a read or a write) at once and closes the connection: Send returns
// non-zero and ErrorText says the send was stopped. A message whose final dot had not yet gone to
// the server is not delivered; once it had, the text says it may or may not be. Called before
// Send, Send stops at its first wait; after Send, it does nothing.
//
// Every network wait is bounded: connecting 15 s in all, each of the server's addresses an equal
// share of what is left; each reply 60 s, the reply to the end of the message 5 minutes, each
// write 60 s. The send as a whole is bounded too: 10 minutes, and 1 minute more for each MiB of
// body and attachments (20 minutes with a 10 MiB attachment). Each wait takes the smaller of its
// own bound and what is left of the whole; when the whole has passed, Send fails with a text that
// says the send took too long. So Send always returns, and a caller that waits for it needs no
// bound of its own.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace nb::mail {

inline constexpr int kTo = 0;
inline constexpr int kCc = 1;

class Mailer {
 public:
  virtual ~Mailer() = default;
  virtual void SetServer(std::wstring_view server) noexcept = 0;
  virtual void SetUserName(std::wstring_view user) noexcept = 0;
  virtual void SetPassword(std::wstring_view password) noexcept = 0;
  virtual void SetCharset(std::wstring_view charset) noexcept = 0;
  virtual void SetSenderName(std::wstring_view name) noexcept = 0;
  virtual void SetSenderAddress(std::wstring_view address) noexcept = 0;
  virtual int AddRecipients(std::wstring_view list, int kind) noexcept = 0;
  virtual int AddAttachment(std::wstring_view path) noexcept = 0;
  virtual void SetSubject(std::wstring_view subject) noexcept = 0;
  virtual void SetBody(std::wstring_view body) noexcept = 0;
  virtual void SetMailerName(std::wstring_view name) noexcept = 0;
  virtual int Send() noexcept = 0;
  virtual void Stop() noexcept = 0;
  virtual std::wstring ErrorText() const = 0;
};

using MailerFactory = std::function<std::unique_ptr<Mailer>()>;

// A new component for one send: the real SmtpMailer, or what the factory set by
// SetMailerFactory makes. nullptr when it cannot be created (the send then counts as failed).
std::unique_ptr<Mailer> CreateMailer() noexcept;

// Replaces the factory (tests put a recording stand-in here); an empty one restores the real
// component. Returns the factory that was in place. Not for use while a send runs.
MailerFactory SetMailerFactory(MailerFactory factory);

}  // namespace nb::mail
