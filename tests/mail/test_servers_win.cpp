#include "mail/test_servers_win.h"

#include <cstdlib>
#include <sstream>

#include "mail/smtp/charsets_win.h"
#include "support/scripted_ui_win.h"

namespace mailtest {

std::wstring Folder() {
  const char* unixPath = std::getenv("NB_MAILTEST_DIR");
  if (!unixPath) return {};
  std::wstring path = L"Z:" + nb::mail::Utf8ToWide(unixPath);
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
  return path;
}

std::map<std::string, unsigned> Ports() {
  std::map<std::string, unsigned> ports;
  std::istringstream lines(nbtest::ReadFileBytes(Folder() + L"\\servers.txt"));
  std::string name;
  unsigned port;
  while (lines >> name >> port) ports[name] = port;
  return ports;
}

std::string TestAuthority() { return nbtest::ReadFileBytes(Folder() + L"\\certs\\ca.der"); }

std::string Received(const std::string& local, const std::string& file) {
  return nbtest::ReadFileBytes(Folder() + L"\\received\\" + nb::mail::Utf8ToWide(local) + L"\\" +
                               nb::mail::Utf8ToWide(file));
}

}  // namespace mailtest
