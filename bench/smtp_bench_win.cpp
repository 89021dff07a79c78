// Sends one message with a 10 MB attachment through the loopback STARTTLS test server (started by
// bench/run.sh) with SmtpMailer, and prints the time of each send and how much the process's peak
// working set grew: from the start, and from after a first send without attachment that loaded
// the libraries (the attachment is streamed, so the growth should stay well below its size).
// Usage: smtp_bench <starttls port> <CA certificate (DER)> <attachment> <rounds>
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "mail/smtp/smtp_mailer_win.h"
#include "mail/smtp/charsets_win.h"

namespace {

std::size_t WorkingSet(bool peak) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

std::string ReadAll(const wchar_t* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: smtp_bench <port> <ca.der> <attachment> <rounds>\n");
    return 2;
  }
  const std::wstring server = L"localhost:" + std::wstring(argv[1]);
  nb::mail::SmtpMailerSettings settings;
  settings.extraTrustedRoots = {ReadAll(argv[2])};
  const int rounds = _wtoi(argv[4]);
  const std::size_t before = WorkingSet(false);
  std::size_t afterWarmUp = 0;
  // Round 0 sends without the attachment: it loads the libraries of Winsock, TLS and the charsets.
  for (int i = 0; i <= rounds; ++i) {
    nb::mail::SmtpMailer mailer(settings);
    mailer.SetServer(server);
    mailer.SetUserName(L"alice");
    mailer.SetPassword(L"Secr3t pass");
    mailer.SetCharset(L"iso-8859-1");
    mailer.SetSenderName(L"Bench");
    mailer.SetSenderAddress(L"bench@example.com");
    mailer.AddRecipients(L"bench@example.com", nb::mail::kTo);
    mailer.AddRecipients(L"", nb::mail::kCc);
    if (i > 0) mailer.AddAttachment(argv[3]);
    mailer.SetSubject(L"Benchmark");
    mailer.SetBody(L"Here's my new IP:\r\n192.0.2.1\r\n");
    mailer.SetMailerName(L"Netbeacon Mailer");
    const auto start = std::chrono::steady_clock::now();
    const int result = mailer.Send();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (result != 0) {
      std::fprintf(stderr, "send failed: %s\n", nb::mail::WideToUtf8(mailer.ErrorText()).c_str());
      return 1;
    }
    if (i == 0) {
      afterWarmUp = WorkingSet(false);
    } else {
      std::printf("send %.3f\n", seconds);
    }
  }
  std::printf("peak_growth %zu\n", WorkingSet(true) - before);
  std::printf("peak_growth_after_warm_up %zu\n", WorkingSet(true) - afterWarmUp);
  return 0;
}
