// The SMTP connection on Windows: Winsock with bounded waits, TLS through SChannel, and the
// server certificate checked by the program itself.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "mail/smtp/address_text.h"
#include "mail/smtp/smtp_transport.h"

namespace nb::mail {

// Certificates (DER) that a test trusts as roots in addition to the system's. Empty in the
// program.
using ExtraRoots = std::vector<std::string>;

// Connects to the server, trying each of its addresses until one answers, within `bound` in all.
// Throws TransportError (kTimeout, kFailed). WSAStartup must have been called.
std::unique_ptr<SmtpTransport> ConnectSmtp(const ServerAddress& server, std::chrono::milliseconds bound,
                                           ExtraRoots extraRoots);

}  // namespace nb::mail
