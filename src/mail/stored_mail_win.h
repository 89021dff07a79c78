// The mail settings as the mail window stored them when it last closed: what it fills its fields
// with, and what the mail of watch mode is sent with.
#pragma once

#include <optional>
#include <string>

#include "base/secret_text.h"
#include "mail/mail_message.h"

namespace nb {

struct StoredMail {
  std::wstring from;                 // missing values are empty,
  std::wstring to;
  std::wstring cc;
  std::wstring subject;              // but the subject is kDefaultMailSubject
  std::wstring server;
  std::optional<int> signInState;    // the check box's state (0, 1, 2); nothing when not one
  std::wstring user;                 // read only when signInState is 1
  SecretWString password;            // descrambled; only when signInState is 1 and it reads back
};

// Reads the stored values; a value that cannot be read keeps its default. Never fails.
StoredMail ReadStoredMail();

// The message that mails an address with the stored settings, as the mail window would send it
// unchanged: its default charset, no attachment, the stored subject and the body for the address.
MailMessage StoredMailMessage(std::wstring_view address);

}  // namespace nb
