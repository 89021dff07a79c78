// The registry key-path splitter over arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "settings/key_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring path = nbfuzz::Widen(nbfuzz::Bytes(data, size));
  const auto parts = nb::SplitKeyPath(path);
  if (parts) {
    // The parts join back to the path, split at its first backslash.
    NB_FUZZ_CHECK(parts->root.rfind(L"HKEY_", 0) == 0);
    NB_FUZZ_CHECK(parts->root.find(L'\\') == std::wstring::npos);
    NB_FUZZ_CHECK((parts->subKey.empty() ? parts->root : parts->root + L'\\' + parts->subKey) == path);
  } else {
    // Refused only when it does not begin with HKEY_ or ends with a backslash.
    NB_FUZZ_CHECK(path.rfind(L"HKEY_", 0) != 0 || path.back() == L'\\');
  }
  return 0;
}
