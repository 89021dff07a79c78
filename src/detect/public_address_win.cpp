#include <windows.h>

#include <mutex>
#include <optional>
#include <string>

#include "base/app_error.h"
#include "base/file_io_win.h"
#include "base/skip_trap_win.h"
#include "base/text_win.h"
#include "base/unique_any_win.h"
#include "base/worker_win.h"
#include "detect/download_win.h"
#include "detect/lan6_lookup_win.h"
#include "detect/public_address_win.h"
#include "settings/appdata_win.h"
#include "settings/registry_win.h"

namespace nb {
namespace {

std::timed_mutex& AnswerFileMutex() {
  static auto& mutex = *new std::timed_mutex;  // a service may still run as the program ends
  return mutex;
}

// One service procedure, its answer judged by `judge` (the result, or kAccessError).
ServiceAnswer AskService(const PublicService& service, const ServiceSettings& settings,
                         std::wstring (*judge)(std::wstring_view), const StopSignal* stop) {
  try {
    // Two runs at once (a background check and the address table's fetch, say) would share the
    // one answer file: each service procedure has it to itself, or gives up after a while.
    std::unique_lock<std::timed_mutex> turn(AnswerFileMutex(), std::defer_lock);
    if (!turn.try_lock_for(2 * (settings.bound + kAbortGrace))) return {kAccessError};
    const std::wstring target = GetAppDataDir(ExecutableFolder()) + kAnswerFileName;
    // Forces a fresh answer instead of one the internet cache kept; there may be no entry.
    DeleteCacheEntry(service.url);
    if (!DownloadFile(service.url, target, settings.bound, kMaxAnswerBytes, kAbortGrace, stop)) return {kAccessError};
    const std::optional<std::string> answer = ReadWholeFile(target, kMaxAnswerBytes);
    std::wstring result = answer ? judge(FromAnsi(*answer)) : std::wstring(kAccessError);
    DeleteFileOrRaise(target);
    return {std::move(result)};
  } catch (...) {
    // Even describing the error may fail (out of memory); the result is the failure text all the same.
    ServiceAnswer failed{kAccessError};
    SkipTrap(service.reportLabel, [&] { failed.error = CurrentError(); });
    return failed;
  }
}

}  // namespace

ServiceSettings LoadServiceSettings() {
  return ApplyServiceOverrides(DefaultServiceSettings(),
                               [](std::wstring_view name) { return ReadString(kProgramKey, name); });
}

ServiceAnswer GetPublicIPFrom(const PublicService& service, const ServiceSettings& settings, const StopSignal* stop) {
  return AskService(service, settings, AnswerResult, stop);
}

ServiceAnswer GetPublicIPv6From(const PublicService& service, const ServiceSettings& settings, const StopSignal* stop) {
  return AskService(service, settings, Answer6Result, stop);
}

DetectionResult FindAddresses(const ServiceSettings& settings, const std::function<std::wstring()>& lanAddress,
                              const StopSignal& stop, const std::function<void(RunStep)>& progress) {
  return FindAddresses(settings, lanAddress, [] { return GetLocalIPv6(); }, stop, progress);
}

DetectionResult FindAddresses(const ServiceSettings& settings, const std::function<std::wstring()>& lanAddress,
                              const Lan6Step& lan6Address, const StopSignal& stop,
                              const std::function<void(RunStep)>& progress) {
  return RunDetection(settings,
                      {lanAddress, [&] { return ProbeConnection(settings.probeUrl, settings.bound, &stop); },
                       [&](const PublicService& service) { return GetPublicIPFrom(service, settings, &stop); },
                       progress, [&] { return stop.Requested(); }, lan6Address,
                       [&] { return ProbeConnection(settings.probe6Url, settings.bound, &stop); },
                       [&](const PublicService& service) { return GetPublicIPv6From(service, settings, &stop); }});
}

void RemoveLeftoverAnswerFiles() {
  SkipTrap(L"Netbeacon start-up", [] {
    const std::wstring folder = GetAppDataDir(ExecutableFolder());
    const std::wstring answer = folder + kAnswerFileName;
    DeleteFileW(answer.c_str());
    WIN32_FIND_DATAW found;
    const unique_find search(FindFirstFileW(ScratchPatternFor(answer).c_str(), &found));
    if (!search) return;
    do {
      DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search.get(), &found));
  });
}

}  // namespace nb
