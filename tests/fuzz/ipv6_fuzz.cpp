// IPv6 address text: the strict reader, the canonical writer and the judging of a service's answer.
// The input is read as text, and its first 16 bytes also as an address.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "detect/ipv6_address.h"
#include "fuzz_support.h"

namespace {

// `text` is the canonical text of `address`: a fixed point of reading and writing, in lower case,
// with no zero group left beside its "::".
void CheckCanonical(const std::wstring& text, const nb::Ipv6Address& address) {
  NB_FUZZ_CHECK(nb::FormatIPv6(address) == text);
  NB_FUZZ_CHECK(nb::ParseIPv6(text) == address);
  NB_FUZZ_CHECK(text.find_first_not_of(L"0123456789abcdef:.") == std::wstring::npos);
  const std::size_t gap = text.find(L"::");
  if (gap == std::wstring::npos) return;
  const std::wstring_view before = std::wstring_view(text).substr(0, gap);
  const std::wstring_view after = std::wstring_view(text).substr(gap + 2);
  NB_FUZZ_CHECK(before != L"0" && !before.ends_with(L":0"));
  NB_FUZZ_CHECK(after.substr(0, after.find(L':')) != L"0");
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
