#include "mail/stored_mail_win.h"

#include "base/skip_trap_win.h"
#include "base/text_util.h"
#include "mail/ansi_codes_win.h"
#include "mail/charset_table.h"
#include "mail/scramble.h"
#include "settings/registry_win.h"
#include "settings/stored_values.h"

namespace nb {
namespace {

constexpr wchar_t kLabel[] = L"frmSendmail - Form_Load";

std::wstring StoredOr(const wchar_t* valueName, const wchar_t* missing) {
  return ReadString(kProgramKey, valueName).value_or(missing);
}

}  // namespace

StoredMail ReadStoredMail() {
  StoredMail mail;
  mail.from = StoredOr(kMailFrom, L"");
  mail.to = StoredOr(kMailTo, L"");
  mail.cc = StoredOr(kMailCC, L"");
  mail.subject = StoredOr(kMailSubject, kDefaultMailSubject);
  mail.server = StoredOr(kMailSMTP, L"");
  mail.signInState = StoredCheckState(StoredOr(kMailSMTPauth, L"0"));
  if (mail.signInState != 1) return mail;
  mail.user = StoredOr(kMailSMTPauthUser, L"");
  // A stored password that cannot be descrambled leaves the password empty.
  SkipTrap(kLabel, [&] {
    const std::optional<std::wstring> stored = ReadBinary(kProgramKey, kMailSMTPauthPW);
    if (!stored) return;
    SecretWString password(stored->begin(), stored->end());
    Dcrypt(password, AnsiCharacterCodes());
    mail.password = std::move(password);
  });
  return mail;
}

MailMessage StoredMailMessage(std::wstring_view address) {
  StoredMail stored = ReadStoredMail();
  MailMessage message;
  message.from = Trim(stored.from);
  message.to = Trim(stored.to);
  message.cc = Trim(stored.cc);
  message.server = Trim(stored.server);
  message.signIn = stored.signInState == 1;
  message.user = Trim(stored.user);
  message.password = SecretWString(Trim(stored.password.view()));
  message.charset = kCharsetTable[kDefaultCharsetIndex].charsetName;
  message.subject = stored.subject;
  message.body = MailBody(address);
  return message;
}

}  // namespace nb
