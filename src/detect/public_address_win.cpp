#include <windows.h>

#include <optional>
#include <string>

#include "base/app_error.h"
#include "base/file_io_win.h"
#include "base/skip_trap_win.h"
#include "base/system_error_win.h"
#include "base/text_win.h"
#include "detect/download_win.h"
#include "detect/public_address_win.h"
#include "settings/appdata_win.h"
#include "settings/registry_win.h"
#include "ui/error_report_win.h"
#include "ui/message_loop_win.h"

namespace nb {

ServiceSettings LoadServiceSettings() {
  return ApplyServiceOverrides(DefaultServiceSettings(),
                               [](std::wstring_view name) { return ReadString(kProgramKey, name); });
}

std::wstring GetPublicIPFrom(const PublicService& service, const ServiceSettings& settings) {
  try {
    const std::wstring folder = GetAppDataDir(ExecutableFolder());
    ProcessMessages(MessageKinds::PaintOnly);
    const std::wstring target = folder + kAnswerFileName;
    // Forces a fresh answer instead of one the internet cache kept; there may be no entry.
    DeleteCacheEntry(service.url);
    if (!DownloadFile(service.url, target, settings.bound, kMaxAnswerBytes)) return kAccessError;
    const std::optional<std::string> answer = ReadWholeFile(target, kMaxAnswerBytes);
    std::wstring result = answer ? AnswerResult(FromAnsi(*answer)) : std::wstring(kAccessError);
    if (!DeleteFileW(target.c_str())) throw FileOperationError(GetLastError(), L"Cannot delete", target);
    return result;
  } catch (...) {
    // Even describing the error may fail (out of memory); the result is the failure text all the same.
    SkipTrap(service.reportLabel, [&] { ReportError(CurrentError(), service.reportLabel); });
    return kAccessError;
  }
}

void RunPublicAddressChain(const ServiceSettings& settings, ChainView& view) {
  RunServiceChain(
      settings, view, [&] { return ProbeConnection(settings.probeUrl, settings.bound); },
      [&](const PublicService& service) { return GetPublicIPFrom(service, settings); });
}

}  // namespace nb
