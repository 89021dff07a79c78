// The SMTP connection on Windows: Winsock with bounded waits, TLS through SChannel, and the
// server certificate checked by the program itself.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "base/worker_win.h"
#include "mail/smtp/address_text.h"
#include "mail/smtp/smtp_transport.h"

namespace nb::mail {

// Certificates (DER) that a test trusts as roots in addition to the system's. Empty in the
// program.
using ExtraRoots = std::vector<std::string>;

// Connects to the server, trying each of its addresses in turn until one answers, within `bound`
// in all and each within its share of what is left (ConnectShare). Throws TransportError
// (kTimeout, kFailed, kStopped). WSAStartup must have been called. Every wait of the lookup, the
// connection and the transport ends at once when `stop` is requested; `stop` must outlive the
// transport.
std::unique_ptr<SmtpTransport> ConnectSmtp(const ServerAddress& server, std::chrono::milliseconds bound,
                                           ExtraRoots extraRoots, const StopSignal& stop);

}  // namespace nb::mail
