// IPv6 address text: the strict reader, the canonical writer and the judging of a service's answer.
// The input is read as text, and its first 16 bytes also as an address.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_util.h"
#include "detect/ipv6_address.h"
#include "fuzz_support.h"

namespace {

// The pieces between single colons, none for an empty text.
std::vector<std::wstring_view> Pieces(std::wstring_view part) {
  if (part.empty()) return {};
  return nb::SplitKeepEmpty(part, L':');
}

std::size_t LongestZeroRun(const std::vector<std::wstring_view>& pieces) {
  std::size_t longest = 0;
  std::size_t run = 0;
  for (const std::wstring_view piece : pieces) {
    run = piece == L"0" ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

bool IsIPv4Mapped(const nb::Ipv6Address& address) {
  return std::all_of(address.bytes.begin(), address.bytes.begin() + 10, [](std::uint8_t b) { return b == 0; }) &&
         address.bytes[10] == 0xff && address.bytes[11] == 0xff;
}

void CheckCanonical(const std::wstring& text, const nb::Ipv6Address& address) {
  // The text of the address, and a fixed point: it reads back as the same address.
  NB_FUZZ_CHECK(nb::FormatIPv6(address) == text);
  NB_FUZZ_CHECK(nb::ParseIPv6(text) == address);
  NB_FUZZ_CHECK(text.find_first_not_of(L"0123456789abcdef:.") == std::wstring::npos);
  NB_FUZZ_CHECK((text.find(L'.') != std::wstring::npos) == IsIPv4Mapped(address));

  const std::size_t gap = text.find(L"::");
  const auto head = Pieces(std::wstring_view(text).substr(0, gap));
  const auto tail = gap == std::wstring::npos ? decltype(head){} : Pieces(std::wstring_view(text).substr(gap + 2));
  std::size_t written = 0;
  for (const auto* part : {&head, &tail}) {
    for (const std::wstring_view piece : *part) {
      const bool quad = piece.find(L'.') != std::wstring_view::npos;
      written += quad ? 2 : 1;
      NB_FUZZ_CHECK(quad || piece.size() == 1 || piece[0] != L'0');  // no leading zero
    }
  }
  if (gap == std::wstring::npos) {
    NB_FUZZ_CHECK(LongestZeroRun(head) < 2);  // a run of zero groups left long
    return;
  }
  // "::" stands for the longest run of two or more zero groups, the first of equal ones, whole.
  const std::size_t shortened = 8 - written;
  NB_FUZZ_CHECK(written <= 6);
  NB_FUZZ_CHECK(LongestZeroRun(head) < shortened && LongestZeroRun(tail) <= shortened);
  NB_FUZZ_CHECK(head.empty() || head.back() != L"0");
  NB_FUZZ_CHECK(tail.empty() || tail.front() != L"0");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = nbfuzz::Widen(nbfuzz::Bytes(data, size));

  if (const auto address = nb::ParseIPv6(text)) CheckCanonical(nb::FormatIPv6(*address), *address);

  if (size >= 16) {
    nb::Ipv6Address address;
    std::copy(data, data + 16, address.bytes.begin());
    CheckCanonical(nb::FormatIPv6(address), address);
  }

  if (const auto answer = nb::PublicIPv6Answer(text)) {
    const auto address = nb::ParseIPv6(*answer);
    NB_FUZZ_CHECK(address && nb::IsGlobalIPv6(*address));
    CheckCanonical(*answer, *address);
  }
  return 0;
}
