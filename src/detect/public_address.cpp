#include <windows.h>
#include <wininet.h>

#include <optional>
#include <string>

#include "detect/download.h"
#include "detect/public_address.h"
#include "settings/appdata.h"
#include "settings/registry.h"
#include "ui/app_error.h"
#include "ui/error_report.h"
#include "ui/unique_any.h"
#include "ui/win_text.h"

namespace nb {
namespace {

[[noreturn]] void RaiseFileError(DWORD code) {
  if (code == ERROR_FILE_NOT_FOUND) throw AppError(errnum::kFileNotFound, L"File not found");
  if (code == ERROR_PATH_NOT_FOUND) throw AppError(errnum::kPathNotFound, L"Path not found");
  throw AppError(errnum::kPathFileAccess, L"Path/File access error");
}

// The whole answer file, or nothing when it is longer than `maxBytes` (it is then not read).
std::optional<std::string> ReadAnswerFile(const std::wstring& path, std::size_t maxBytes) {
  const unique_file file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) RaiseFileError(GetLastError());
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) RaiseFileError(GetLastError());
  if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > maxBytes) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    RaiseFileError(GetLastError());
  }
  bytes.resize(read);
  return bytes;
}

}  // namespace

ServiceSettings LoadServiceSettings() {
  return ApplyServiceOverrides(DefaultServiceSettings(),
                               [](std::wstring_view name) { return ReadString(kProgramKey, name); });
}

std::wstring GetPublicIPFrom(const PublicService& service, const ServiceSettings& settings) {
  try {
    const std::wstring folder = GetAppDataDir(ExecutableFolder());
    ProcessPaintMessages();
    const std::wstring target = folder + kAnswerFileName;
    // Forces a fresh answer instead of one the internet cache kept; there may be no entry.
    DeleteUrlCacheEntryW(service.url.c_str());
    if (!DownloadFile(service.url, target, settings.bound, kMaxAnswerBytes)) return kAccessError;
    const std::optional<std::string> answer = ReadAnswerFile(target, kMaxAnswerBytes);
    std::wstring result = answer ? AnswerResult(FromAnsi(*answer)) : std::wstring(kAccessError);
    if (!DeleteFileW(target.c_str())) RaiseFileError(GetLastError());
    return result;
  } catch (...) {
    SkipTrap([&] { ReportError(CurrentError(), service.reportLabel); });
    return kAccessError;
  }
}

void RunPublicAddressChain(const ServiceSettings& settings, ChainView& view) {
  RunServiceChain(
      settings, view, [&] { return ProbeConnection(settings.probeUrl, settings.bound); },
      [&](const PublicService& service) { return GetPublicIPFrom(service, settings); });
}

}  // namespace nb
