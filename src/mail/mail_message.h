// What one send hands the mail component, whether it comes from the mail window's fields or from
// the stored mail settings (the mail of watch mode), and the stored settings' value names.
// Portable: no Windows header.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/secret_text.h"
#include "mail/smtp/mailer.h"

namespace nb {

// The mail settings, string values under the program key (the password a scrambled binary one).
inline constexpr wchar_t kMailFrom[] = L"MailFrom";
inline constexpr wchar_t kMailTo[] = L"MailTo";
inline constexpr wchar_t kMailCC[] = L"MailCC";
inline constexpr wchar_t kMailSubject[] = L"MailSubject";
inline constexpr wchar_t kMailSMTP[] = L"MailSMTP";
inline constexpr wchar_t kMailSMTPauth[] = L"MailSMTPauth";
inline constexpr wchar_t kMailSMTPauthUser[] = L"MailSMTPauthUser";
inline constexpr wchar_t kMailSMTPauthPW[] = L"MailSMTPauthPW";

inline constexpr wchar_t kDefaultMailSubject[] = L"New IP";
inline constexpr wchar_t kMailerName[] = L"Netbeacon Mailer";

struct MailMessage {
  std::wstring from;       // as typed or stored, spaces around it removed
  std::wstring to;         // the same
  std::wstring cc;         // the same
  std::wstring server;     // the same
  bool signIn = false;     // the server asks for a user name and password
  std::wstring user;       // spaces around it removed
  SecretWString password;  // the same
  std::wstring charset;    // the charset name passed on ("iso-8859-1")
  std::vector<std::wstring> attachments;
  std::wstring subject;    // as typed, not trimmed
  std::wstring body;       // the same
};

// The body the mail window starts with for an address.
std::wstring MailBody(std::wstring_view address);

// Hands the message to the component: server, user name and password (only when signing in),
// charset, sender name and address (fnParseAddr), recipients of both kinds (also when empty),
// attachments, subject, body and the mailer's name, in that order.
void PrepareMailer(mail::Mailer& mailer, const MailMessage& message);

// The component's error text as the user reads it: its first ";" ends a sentence, the next one is
// followed by a blank.
std::wstring MailErrorText(std::wstring_view text);

// Which field a send cannot do without, when one is missing: the sender, a recipient (To or Cc),
// the server, the subject (a subject of blanks is one); nothing when all are there.
enum class MissingField { kFrom, kRecipient, kServer, kSubject };
std::optional<MissingField> FirstMissingField(const MailMessage& message);

}  // namespace nb
