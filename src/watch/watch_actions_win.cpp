#include "watch/watch_actions_win.h"

#include <windows.h>

#include <memory>

#include "base/interpreter_win.h"
#include "base/unique_any_win.h"
#include "base/worker_win.h"
#include "mail/mail_message.h"
#include "mail/smtp/mailer.h"
#include "mail/stored_mail_win.h"

namespace nb {

std::optional<std::wstring> RunWatchCommand(const std::wstring& commandLine, std::chrono::milliseconds bound,
                                            const StopSignal* stop) {
  StartedProcess started;
  try {
    // /s /c "...": the line is taken as it stands between the outer quotes.
    started = StartInterpreterHidden(L"/s /c \"" + commandLine + L"\"");
  } catch (const AppError& error) {
    return L"The command could not be started: " + error.description;
  }
  if (WaitFor(started.process.get(), stop, bound) != WaitEnd::kSignalled) return std::nullopt;
  DWORD code = 0;
  if (GetExitCodeProcess(started.process.get(), &code) && code != 0) {
    return L"The command ended with exit code " + std::to_wstring(code) + L".";
  }
  return std::nullopt;
}

std::optional<std::wstring> SendWatchMail(const std::wstring& address, const StopSignal* stop) {
  const MailMessage message = StoredMailMessage(address);
  if (const std::optional<MissingField> missing = FirstMissingField(message)) {
    static constexpr const wchar_t* kMissing[] = {L"sender", L"recipient", L"mail server", L"subject"};
    return L"The mail settings have no " + std::wstring(kMissing[static_cast<int>(*missing)]) +
           L": set them in the mail window.";
  }
  const std::shared_ptr<mail::Mailer> mailer = mail::CreateMailer();
  if (!mailer) return std::wstring(L"The mail component could not be started.");
  PrepareMailer(*mailer, message);
  // The stop (the program ends) closes the connection: a thread of its own waits for it while the
  // send runs here, and ends with the send, which the component bounds.
  struct StopWatch {
    std::shared_ptr<mail::Mailer> mailer;
    HANDLE stop;
    unique_handle sent{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    void Run() noexcept {
      const HANDLE handles[] = {stop, sent.get()};
      if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0) mailer->Stop();
    }
  };
  std::shared_ptr<StopWatch> watch;
  if (stop) {
    watch = std::make_shared<StopWatch>(StopWatch{mailer, stop->Event()});
    if (watch->sent) StartWorker(watch);
  }
  const int result = mailer->Send();
  if (watch && watch->sent) SetEvent(watch->sent.get());
  if (result == 0) return std::nullopt;
  return MailErrorText(mailer->ErrorText());
}

}  // namespace nb
