// The mail servers that the test run starts on loopback (tests/mail/mail_servers.py), as the
// Windows tests see them.
#pragma once

#include <map>
#include <string>

namespace mailtest {

// The servers' sign-in.
inline constexpr char kUser[] = "alice";
inline constexpr char kPassword[] = "Secr3t pass";

// The run's test folder as Wine sees it; empty when the servers are not running.
std::wstring Folder();
// The servers' ports by name ("starttls", "implicit", "plain", ...).
std::map<std::string, unsigned> Ports();
// The test certificate authority's certificate (DER), for the component's extra trusted roots.
std::string TestAuthority();
// What a server saved of the message to <local>@example.com (empty when there is no such file).
std::string Received(const std::string& local, const std::string& file);

}  // namespace mailtest
