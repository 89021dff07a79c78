#include <gtest/gtest.h>

#include <cstdint>

#include "detect/answer_head.h"

namespace {

struct HeadCase {
  const char* name;
  unsigned long status;
  const wchar_t* head;
  std::uint64_t maxBytes;
  bool accepted;
};

class AnswerHeadTable : public testing::TestWithParam<HeadCase> {};

TEST_P(AnswerHeadTable, AcceptsOnlySuccessWithinTheLimit) {
  const HeadCase& c = GetParam();
  EXPECT_EQ(nb::AnswerHeadAccepted(c.status, c.head, c.maxBytes), c.accepted);
}

constexpr const wchar_t* kLength12 = L"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 12\r\n\r\n";
constexpr const wchar_t* kNoLength = L"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Heads, AnswerHeadTable,
    testing::Values(HeadCase{"Ok", 200, kLength12, 4096, true},
                    HeadCase{"FirstSuccess", 200, kNoLength, 4096, true},
                    HeadCase{"LastSuccess", 299, kNoLength, 4096, true},
                    HeadCase{"Informational", 199, kNoLength, 4096, false},
                    HeadCase{"Redirect", 300, kNoLength, 4096, false},
                    HeadCase{"NotFound", 404, kNoLength, 4096, false},
                    HeadCase{"ServerError", 500, kNoLength, 4096, false},
                    HeadCase{"NoStatus", 0, kNoLength, 4096, false},
                    HeadCase{"LengthAtTheLimit", 200, kLength12, 12, true},
                    HeadCase{"LengthOverTheLimit", 200, kLength12, 11, false},
                    HeadCase{"NameInAnyCase", 200, L"HTTP/1.1 200 OK\r\ncontent-LENGTH:13\r\n\r\n", 12, false},
                    HeadCase{"BlanksAroundTheValue", 200, L"HTTP/1.1 200 OK\r\nContent-Length: \t 13 \r\n\r\n", 12, false},
                    HeadCase{"LengthTooLargeToCount", 200, L"HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n",
                             4096, false},
                    HeadCase{"LengthNotANumber", 200, L"HTTP/1.1 200 OK\r\nContent-Length: 12x\r\n\r\n", 4, true},
                    HeadCase{"OtherFieldEndingInLength", 200, L"HTTP/1.1 200 OK\r\nX-Content-Length: 99999\r\n\r\n", 4,
                             true},
                    HeadCase{"EmptyHead", 200, L"", 4, true}),
    [](const testing::TestParamInfo<HeadCase>& info) { return std::string(info.param.name); });

}  // namespace
