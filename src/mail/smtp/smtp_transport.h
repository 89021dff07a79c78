// The byte connection under the SMTP dialogue: a plain socket that can switch to TLS. The
// Windows layer implements it over Winsock and SChannel; tests script it. Portable.
#pragma once

#include <chrono>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace nb::mail {

// A failure of the connection. `text` says what happened, in words for the user. kStopped: the
// send was stopped (Mailer::Stop) during a wait.
struct TransportError : std::runtime_error {
  enum class Kind { kTimeout, kClosed, kFailed, kCertificate, kStopped };
  TransportError(Kind kind, const std::string& text) : std::runtime_error(text), kind(kind) {}
  Kind kind;
};

// A bound as the user reads it: "60 s", or "1500 ms" when it is not whole seconds.
inline std::string BoundText(std::chrono::milliseconds bound) {
  const auto ms = bound.count();
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

class ByteInput {
 public:
  virtual ~ByteInput() = default;
  // Waits at most `bound` for bytes and returns how many were put into `buffer` (at least 1).
  // Throws TransportError: kTimeout when nothing came in time, kClosed when the peer closed,
  // kStopped when the send was stopped.
  virtual std::size_t Read(char* buffer, std::size_t size, std::chrono::milliseconds bound) = 0;
};

class SmtpTransport : public ByteInput {
 public:
  // Sends all of `bytes`, waiting at most `bound` for the connection to take them.
  virtual void Write(std::string_view bytes, std::chrono::milliseconds bound) = 0;
  // TLS handshake (each wait within `bound`) and the check of the server's certificate.
  virtual void StartTls(std::chrono::milliseconds bound) = 0;
  virtual bool Encrypted() const = 0;
  // The server is on this machine (127.0.0.0/8 or ::1).
  virtual bool Loopback() const = 0;
  // This end's address as an SMTP address literal ("[192.0.2.2]", "[IPv6:::1]"), for EHLO.
  virtual std::string ClientAddressLiteral() const = 0;
};

}  // namespace nb::mail
