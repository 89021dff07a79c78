// Bounded network waits of the public-address services: the URL download into a file and the
// connectivity probe. The system's libraries for them are loaded at first use; a library that
// cannot be loaded raises run-time error 48. Each runs on a thread of its own while the caller (a
// worker itself) waits for at most the given bound, or until its stop signal is set.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace nb {

class StopSignal;

inline constexpr std::uint64_t kNoSizeLimit = ~std::uint64_t{0};

// How long an aborted download may take to wind down before its worker is left to itself.
inline constexpr std::chrono::milliseconds kAbortGrace{1000};

// Downloads the URL through the system's URL download (no flags; the internet cache is used as
// the system sees fit) into the file at `path`, replacing it. True when the download reports
// success within `bound`, the answer's HTTP status is a success (2xx) and the body is at most
// `maxBytes` long. A download that gets no answer is aborted when the bound has passed; an answer
// whose head shows a failure status or a longer body is refused when the head arrives, and a
// body found longer on the way as soon as that is seen. A failed download leaves no file at
// `path`. Each download starts on a connection of its own: none that an earlier download left
// open for reuse is taken.
//
// The body arrives in a scratch file of its own beside `path` and is copied to `path` only here,
// after the download has ended: a download that outlives its bound removes its own scratch file
// when it ends, and never touches `path`. A failure to write `path` raises the file error. A stop
// (when a signal is given) ends the wait as the bound does.
bool DownloadFile(const std::wstring& url, const std::wstring& path, std::chrono::milliseconds bound,
                  std::uint64_t maxBytes = kNoSizeLimit, std::chrono::milliseconds abortGrace = kAbortGrace,
                  const StopSignal* stop = nullptr);

// The pattern of the scratch files DownloadFile writes beside `path`, for finding those that a
// program killed during a download left behind.
std::wstring ScratchPatternFor(const std::wstring& path);

// The connectivity probe: forces a connection to the URL's host. True when it connects within
// `bound`. A probe that has not finished by then counts as failed; it is left to end by itself.
// At most one such probe runs at a time: while it does, a new probe waits for it to end (within
// its own bound) before it tries, and fails without trying when it does not end. A stop ends the
// wait as the bound does.
bool ProbeConnection(const std::wstring& url, std::chrono::milliseconds bound, const StopSignal* stop = nullptr);

// Removes the internet cache's entry for the URL, so that the next download cannot be served
// from it; there may be no entry.
void DeleteCacheEntry(const std::wstring& url);

}  // namespace nb
