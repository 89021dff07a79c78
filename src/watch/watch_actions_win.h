// What watch mode does when an address changes, besides telling the user: the mail with the mail
// window's stored settings, and the command the user set, run hidden through the command
// interpreter. Both run on a worker.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace nb {

class StopSignal;

// How long a command is waited for: one that is still running then goes on by itself and counts
// as having run.
inline constexpr std::chrono::milliseconds kCommandBound{30000};

// Runs the command line (WatchCommandLine's result) hidden, as "cmd.exe /d /s /c <line>" from
// the system folder, and waits at most `bound` (or until the stop) for it to end. Nothing when it
// ran (or still runs); otherwise why it failed: it could not be started, or it ended with an exit
// code other than 0.
std::optional<std::wstring> RunWatchCommand(const std::wstring& commandLine, std::chrono::milliseconds bound,
                                            const StopSignal* stop);

// Mails the public address with the settings the mail window stored, as it would send it: its
// subject, the body for the address, its default charset. Nothing when the server took it;
// otherwise why not, in words for a notification. A stop closes the connection.
std::optional<std::wstring> SendWatchMail(const std::wstring& address, const StopSignal* stop);

}  // namespace nb
