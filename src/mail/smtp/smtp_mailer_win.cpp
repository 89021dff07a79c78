#include "mail/smtp/smtp_mailer_win.h"

#include "mail/smtp/api_win.h"

#include <cstdint>
#include <mutex>
#include <random>
#include <utility>
#include <stdexcept>

#include "base/unique_any_win.h"
#include "mail/smtp/address_text.h"
#include "mail/smtp/charsets_win.h"
#include "mail/smtp/smtp_transport_win.h"

namespace nb::mail {
namespace {

// An attachment read from its file while the message is written.
class FileSource final : public ByteSource {
 public:
  explicit FileSource(const std::wstring& path) : path_(path) {
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_) {
      throw std::runtime_error(FailureText("The message was not sent: an attachment could not be opened",
                                           WideToUtf8(path), ReasonText(GetLastError())));
    }
  }

  std::uint64_t Size() const {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file_.get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  }

  std::size_t Read(char* buffer, std::size_t size) override {
    DWORD got = 0;
    if (!ReadFile(file_.get(), buffer, static_cast<DWORD>(std::min<std::size_t>(size, 1 << 24)), &got, nullptr)) {
      throw std::runtime_error(WideToUtf8(path_) + " could not be read: " + ReasonText(GetLastError()));
    }
    return got;
  }

 private:
  std::wstring path_;
  unique_file file_;
};

LocalTime Now() {
  SYSTEMTIME utc;
  SYSTEMTIME local;
  GetSystemTime(&utc);
  SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
  FILETIME utcFile;
  FILETIME localFile;
  SystemTimeToFileTime(&utc, &utcFile);
  SystemTimeToFileTime(&local, &localFile);
  auto ticks = [](const FILETIME& f) { return (static_cast<long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
  const long long offsetMinutes = (ticks(localFile) - ticks(utcFile)) / (10'000'000LL * 60);
  return {local.wYear,   local.wMonth,  local.wDay,    local.wDayOfWeek,
          local.wHour,   local.wMinute, local.wSecond, static_cast<int>(offsetMinutes)};
}

std::string RandomHex(std::size_t bytes) {
  static std::mutex mutex;
  static std::random_device device;
  std::lock_guard<std::mutex> lock(mutex);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < bytes; ++i) {
    const unsigned v = device() & 0xFF;
    out += kHex[v >> 4];
    out += kHex[v & 15];
  }
  return out;
}

std::u32string FileName(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return CodePoints(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

// Winsock for the length of one send.
class WinsockUse {
 public:
  WinsockUse() {
    WSADATA data;
    const int result = Sockets().WSAStartup(MAKEWORD(2, 2), &data);
    if (result != 0) {
      throw std::runtime_error(FailureText("The message was not sent: the network is not available",
                                           "Starting Windows Sockets", ReasonText(static_cast<DWORD>(result))));
    }
  }
  ~WinsockUse() { Sockets().WSACleanup(); }
  WinsockUse(const WinsockUse&) = delete;
  WinsockUse& operator=(const WinsockUse&) = delete;
};

// The server text read, or the reason it cannot be used.
ServerAddress CheckedServer(const std::wstring& text) {
  const std::optional<ServerAddress> server = ParseServerText(text);
  if (!server) {
    throw std::runtime_error(
        text.empty() ? "The message was not sent: no mail server is given"
                     : "The message was not sent: the mail server is not written as Netbeacon expects;" +
                           WideToUtf8(text) + ";write it as name, name:port or [IPv6 address]:port");
  }
  return *server;
}

// The connection to the server, or the reason there is none. Windows Sockets must be started.
std::unique_ptr<SmtpTransport> Connect(const ServerAddress& server, const SmtpMailerSettings& settings,
                                       const SendDeadline& deadline, const StopSignal& stop) {
  const std::string step = "Connecting to " + server.host + " port " + std::to_string(server.port);
  try {
    return ConnectSmtp(server, deadline.Clamp(settings.timeouts.connect), settings.extraTrustedRoots, stop);
  } catch (const TransportError& e) {
    if (e.kind == TransportError::Kind::kStopped) {
      throw std::runtime_error(FailureText("The message was not sent: the send was stopped", step, e.what()));
    }
    throw std::runtime_error(
        FailureText("The message was not sent: Netbeacon could not connect to the mail server", step, e.what()));
  }
}

std::mutex factoryMutex;
MailerFactory& Factory() {
  static MailerFactory factory;
  return factory;
}

}  // namespace

SmtpMailer::SmtpMailer(SmtpMailerSettings settings) : settings_(std::move(settings)) {}

SmtpMailer::~SmtpMailer() = default;

template <typename Fn>
void SmtpMailer::Keep(Fn&& fn) noexcept {
  try {
    fn();
  } catch (...) {
    if (valueError_.empty()) valueError_ = "The message was not sent: Netbeacon ran out of memory";
  }
}

void SmtpMailer::SetServer(std::wstring_view server) noexcept { Keep([&] { server_ = server; }); }
void SmtpMailer::SetUserName(std::wstring_view user) noexcept { Keep([&] { user_ = user; }); }
void SmtpMailer::SetPassword(std::wstring_view password) noexcept {
  Keep([&] { password_.assign(password.data(), password.size()); });
}
void SmtpMailer::SetCharset(std::wstring_view charset) noexcept { Keep([&] { charset_ = charset; }); }
void SmtpMailer::SetSenderName(std::wstring_view name) noexcept { Keep([&] { senderName_ = name; }); }
void SmtpMailer::SetSenderAddress(std::wstring_view address) noexcept { Keep([&] { senderAddress_ = address; }); }
void SmtpMailer::SetSubject(std::wstring_view subject) noexcept { Keep([&] { subject_ = subject; }); }
void SmtpMailer::SetBody(std::wstring_view body) noexcept { Keep([&] { body_ = body; }); }
void SmtpMailer::SetMailerName(std::wstring_view name) noexcept { Keep([&] { mailerName_ = name; }); }

int SmtpMailer::AddRecipients(std::wstring_view list, int kind) noexcept {
  int result = 1;
  Keep([&] {
    RecipientList parsed = ParseRecipients(list);
    std::vector<MailAddress>& target = kind == kCc ? cc_ : to_;
    target.insert(target.end(), parsed.entries.begin(), parsed.entries.end());
    if (kind != kTo && kind != kCc) {
      if (valueError_.empty()) valueError_ = "The message was not sent: a recipient list is of an unknown kind";
      return;
    }
    if (!parsed.invalid.empty()) {
      if (valueError_.empty()) {
        valueError_ = "The message was not sent: a recipient is not a mail address;" + WideToUtf8(parsed.invalid) +
                      ";write each one as name@example.com or Name <name@example.com>, separated by commas";
      }
      return;
    }
    result = 0;
  });
  return result;
}

int SmtpMailer::AddAttachment(std::wstring_view path) noexcept {
  int result = 1;
  Keep([&] {
    attachments_.emplace_back(path);
    // Looked at now so that the caller learns early; opened again, and checked again, at sending.
    const DWORD attributes = GetFileAttributesW(attachments_.back().c_str());
    result = (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) ? 0 : 1;
  });
  return result;
}

int SmtpMailer::Send() noexcept {
  try {
    SendOrThrow();
    error_.clear();
    return 0;
  } catch (const AppError& e) {
    // A library of the system that a send loads when it first needs it (error 48).
    try {
      error_ = Utf8ToWide(FailureText("The message was not sent: a part of Windows that sending needs is missing",
                                      "Loading the network and security libraries", WideToUtf8(e.description)));
    } catch (...) {
      error_.clear();
    }
  } catch (const std::exception& e) {
    try {
      error_ = Utf8ToWide(e.what());
    } catch (...) {
      error_.clear();
    }
  } catch (...) {
    error_.clear();
  }
  if (error_.empty()) error_ = L"The message was not sent: an unexpected error occurred";
  return 1;
}

std::wstring SmtpMailer::ErrorText() const { return error_; }

void SmtpMailer::Stop() noexcept { stop_.Request(); }

void SmtpMailer::SendOrThrow() {
  if (!valueError_.empty()) throw std::runtime_error(valueError_);
  const ServerAddress server = CheckedServer(server_);
  const CharsetInfo* charset = FindCharset(WideToUtf8(charset_.empty() ? L"utf-8" : charset_));
  if (!charset) throw std::runtime_error("The message was not sent: the charset is not known;" + WideToUtf8(charset_));
  const std::u32string senderAddress = CodePoints(senderAddress_);
  if (!IsMailboxAddress(senderAddress)) {
    throw std::runtime_error("The message was not sent: the sender is not a mail address;" +
                             WideToUtf8(senderAddress_) + ";write it as name@example.com or Name <name@example.com>");
  }
  if (to_.empty() && cc_.empty()) {
    throw std::runtime_error("The message was not sent: it has no recipient;Enter at least one address in To or Cc");
  }
  std::vector<std::unique_ptr<FileSource>> files;
  OutgoingMessage message;
  std::uint64_t size = (subject_.size() + body_.size()) * sizeof(wchar_t);
  for (const std::wstring& path : attachments_) {
    files.push_back(std::make_unique<FileSource>(path));
    message.attachments.push_back({FileName(path), files.back().get()});
    size += files.back()->Size();
  }
  std::unique_ptr<CharsetEncoder> encoder;
  try {
    encoder = MakeCharsetEncoder(*charset);
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(std::string("The message was not sent: the charset cannot be written;") + e.what());
  }
  message.from = {CodePoints(senderName_), Utf8(senderAddress)};
  message.to = to_;
  message.cc = cc_;
  message.subject = CodePoints(subject_);
  message.body = CodePoints(body_);
  message.mailer = CodePoints(mailerName_);
  message.date = FormatDate(Now());
  message.messageId = MakeMessageId(RandomHex(16), message.from.address);
  message.boundary = "=_nb_" + RandomHex(12);

  SessionPlan plan;
  plan.implicitTls = server.port == settings_.implicitTlsPort;
  plan.user = WideToUtf8(user_);
  plan.password = SecretUtf8(password_.view());
  plan.plainAuthToLoopback = settings_.plainAuthToLoopback;
  plan.sender = message.from.address;
  for (const auto* list : {&to_, &cc_}) {
    for (const MailAddress& a : *list) plan.recipients.push_back(a.address);
  }
  plan.timeouts = settings_.timeouts;
  plan.deadline = SendDeadline::From(SendBound(size));
  plan.writeMessage = [&](ByteSink& sink) { WriteMessage(message, *encoder, charset->label, sink); };

  WinsockUse winsock;
  RunSmtpSession(*Connect(server, settings_, plan.deadline, stop_), plan);
}

std::unique_ptr<Mailer> CreateMailer() noexcept {
  try {
    MailerFactory factory;
    {
      std::lock_guard<std::mutex> lock(factoryMutex);
      factory = Factory();
    }
    return factory ? factory() : std::make_unique<SmtpMailer>();
  } catch (...) {
    return nullptr;
  }
}

MailerFactory SetMailerFactory(MailerFactory factory) {
  std::lock_guard<std::mutex> lock(factoryMutex);
  return std::exchange(Factory(), std::move(factory));
}

}  // namespace nb::mail
