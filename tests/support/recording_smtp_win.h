// A small plain SMTP server on 127.0.0.1 that runs inside a test program and keeps every message
// it is given: no TLS, no sign-in; HELO or EHLO, MAIL, RCPT, DATA, QUIT, one connection at a time.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nbtest {

class RecordingSmtpServer {
 public:
  RecordingSmtpServer();
  ~RecordingSmtpServer();
  RecordingSmtpServer(const RecordingSmtpServer&) = delete;
  RecordingSmtpServer& operator=(const RecordingSmtpServer&) = delete;

  // "127.0.0.1:<port>", as the mail settings name a server.
  std::wstring Address() const;
  // The messages taken so far, each as DATA carried it (head and body, dots unstuffed).
  std::vector<std::string> Messages() const;

 private:
  void Run();
  void Serve(std::uintptr_t connection);

  std::uintptr_t listener_;
  unsigned short port_ = 0;
  mutable std::mutex mutex_;
  bool stopping_ = false;
  std::vector<std::string> messages_;
  std::thread thread_;
};

}  // namespace nbtest
