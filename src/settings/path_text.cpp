#include "settings/path_text.h"

namespace nb {

std::wstring AddBackslash(std::wstring_view path) {
  std::wstring result(path);
  if (result.empty() || result.back() != L'\\') result += L'\\';
  return result;
}

std::wstring StripBackslashes(std::wstring_view path) {
  const auto last = path.find_last_not_of(L'\\');
  return std::wstring(path.substr(0, last == std::wstring_view::npos ? 0 : last + 1));
}

}  // namespace nb
