#include <winsock2.h>

#include "support/recording_smtp_win.h"

#include "support/loopback_socket_win.h"

#include <cctype>
#include <optional>

namespace nbtest {
namespace {

// One connection's input, a line at a time; nothing when the client went or said nothing for 5 s.
class LineReader {
 public:
  explicit LineReader(SOCKET s) : s_(s) {}
  std::optional<std::string> Next() {
    std::size_t end;
    while ((end = buffer_.find("\r\n")) == std::string::npos) {
      char chunk[4096];
      const int got = recv(s_, chunk, sizeof chunk, 0);
      if (got <= 0) return std::nullopt;
      buffer_.append(chunk, static_cast<std::size_t>(got));
    }
    std::string line = buffer_.substr(0, end);
    buffer_.erase(0, end + 2);
    return line;
  }

 private:
  SOCKET s_;
  std::string buffer_;
};

void Reply(SOCKET s, const char* line) { send(s, line, static_cast<int>(std::char_traits<char>::length(line)), 0); }

std::string Verb(const std::string& line) {
  std::string verb = line.substr(0, 4);
  for (char& c : verb) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return verb;
}

}  // namespace

RecordingSmtpServer::RecordingSmtpServer() {
  listener_ = LoopbackSocket(port_, false, 4);
  thread_ = std::thread([this] { Run(); });
}

RecordingSmtpServer::~RecordingSmtpServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  thread_.join();
  closesocket(static_cast<SOCKET>(listener_));
}

std::wstring RecordingSmtpServer::Address() const { return L"127.0.0.1:" + std::to_wstring(port_); }

std::vector<std::string> RecordingSmtpServer::Messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

void RecordingSmtpServer::Run() {
  const auto stopping = [this] {
    std::lock_guard lock(mutex_);
    return stopping_;
  };
  while (const std::optional<std::uintptr_t> connection = NextConnection(listener_, stopping)) {
    Serve(*connection);
    closesocket(static_cast<SOCKET>(*connection));
  }
}

void RecordingSmtpServer::Serve(std::uintptr_t handle) {
  const SOCKET s = static_cast<SOCKET>(handle);
  const DWORD timeoutMs = 5000;
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
  LineReader reader(s);
  Reply(s, "220 127.0.0.1 ready\r\n");
  while (const std::optional<std::string> line = reader.Next()) {
    const std::string verb = Verb(*line);
    if (verb == "QUIT") {
      Reply(s, "221 bye\r\n");
      return;
    }
    if (verb != "DATA") {
      const bool known = verb == "EHLO" || verb == "HELO" || verb == "MAIL" || verb == "RCPT" || verb == "RSET";
      Reply(s, known ? "250 OK\r\n" : "502 not here\r\n");
      continue;
    }
    Reply(s, "354 go on\r\n");
    std::string message;
    std::optional<std::string> data;
    while ((data = reader.Next()) && *data != ".") message += (data->starts_with(".") ? data->substr(1) : *data) + "\r\n";
    if (!data) return;
    {
      std::lock_guard lock(mutex_);
      messages_.push_back(std::move(message));
    }
    Reply(s, "250 taken\r\n");
  }
}

}  // namespace nbtest
