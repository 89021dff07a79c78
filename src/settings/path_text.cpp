#include "settings/path_text.h"

#include "base/text_util.h"

namespace nb {

std::wstring AddBackslash(std::wstring_view path) {
  std::wstring result(path);
  if (result.empty() || result.back() != L'\\') result += L'\\';
  return result;
}

std::wstring StripBackslashes(std::wstring_view path) { return std::wstring(Trim(path, TrimEnds::Trailing, L"\\")); }

}  // namespace nb
