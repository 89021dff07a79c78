#include "about/about_text.h"

namespace nb {
namespace {

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    wchar_t c = text[i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::wstring VersionLine(const std::optional<FileVersionWords>& version) {
  if (!version) return kUnknownVersionLine;
  const auto high = [](std::uint32_t word) { return std::to_wstring(word >> 16); };
  const auto low = [](std::uint32_t word) { return std::to_wstring(word & 0xFFFFu); };
  return L"Version " + high(version->ms) + L"." + low(version->ms) + L"." + high(version->ls);
}

std::wstring LinkCaption(std::wstring_view url) {
  for (const std::wstring_view scheme : {std::wstring_view(L"http://"), std::wstring_view(L"https://")}) {
    if (StartsWithNoCase(url, scheme)) {
      url.remove_prefix(scheme.size());
      break;
    }
  }
  if (!url.empty() && url.back() == L'/') url.remove_suffix(1);
  return std::wstring(url);
}

}  // namespace nb
