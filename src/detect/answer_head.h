// Judging the head of an HTTP answer before its body is read. Portable: no Windows header.
#pragma once

#include <cstdint>
#include <string_view>

namespace nb {

// Whether an answer is worth reading, judged from its status code and its head (the status line
// and header lines, as received): the status must be a success (2xx), and a body whose length
// the head gives (Content-Length) must be at most `maxBytes`. A head that gives no length, or an
// unreadable one, leaves the length to be judged while the body arrives.
bool AnswerHeadAccepted(unsigned long status, std::wstring_view head, std::uint64_t maxBytes);

}  // namespace nb
