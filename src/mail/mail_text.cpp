#include "mail/mail_text.h"

#include "base/text_util.h"

namespace nb {

void fnTrim(std::wstring& strInput, std::wstring_view trimer) {
  strInput = std::wstring(Trim(strInput, TrimEnds::Both, trimer));
}

void fnParseAddr(std::wstring_view strInput, std::wstring& name, std::wstring& addr) {
  const std::size_t open = strInput.find(L'<');
  if (open != std::wstring_view::npos) {
    name = std::wstring(strInput.substr(0, open));
    addr = std::wstring(strInput.substr(open));
  } else {
    name.clear();
    addr = std::wstring(strInput);
  }
  constexpr std::wstring_view kAround = L" ,;<>\"'";
  fnTrim(name, kAround);
  fnTrim(addr, kAround);
}

std::wstring sReplace(std::wstring_view SearchLine, std::wstring_view SearchFor, std::wstring_view ReplaceWith) {
  // Nothing is found in an empty line, not even the empty text.
  const std::size_t at = SearchLine.empty() ? std::wstring_view::npos : SearchLine.find(SearchFor);
  if (at == std::wstring_view::npos) return std::wstring(SearchLine);
  std::wstring result(SearchLine.substr(0, at));
  result += ReplaceWith;
  result += SearchLine.substr(at + SearchFor.size());
  return result;
}

}  // namespace nb
