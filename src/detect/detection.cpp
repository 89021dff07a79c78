#include "detect/detection.h"

namespace nb {

namespace {

// A chain: the connect notice and the probe; then the services in order until one gives an
// address. The result is kAccessError when none does or the probe fails.
template <typename Services>
std::wstring AskInOrder(const Services& services, const wchar_t* notice, const std::function<bool()>& probe,
                        const std::function<ServiceAnswer(const PublicService&)>& ask, const DetectionSteps& steps,
                        bool& connected, std::vector<ErrorToReport>& reports) {
  steps.progress({RunStep::Kind::kTrying, notice});
  connected = probe();
  std::wstring result = kAccessError;
  if (!connected) return result;
  for (const PublicService& service : services) {
    if (steps.stopped()) break;
    steps.progress({RunStep::Kind::kTrying, TryingText(service)});
    ServiceAnswer answer = ask(service);
    if (answer.error) reports.push_back({std::move(*answer.error), service.reportLabel});
    result = std::move(answer.result);
    if (result != kAccessError) break;
  }
  return result;
}

}  // namespace

DetectionResult RunDetection(const ServiceSettings& settings, const DetectionSteps& steps) {
  DetectionResult result;
  try {
    result.lan = steps.lanAddress();
  } catch (...) {
    result.reports.push_back({CurrentError(), kShowIPsErrorLabel});
    return result;
  }
  steps.progress({RunStep::Kind::kLanFound, *result.lan});
  result.wan = AskInOrder(settings.services, kConnectNotice, steps.probe, steps.ask, steps, result.connected,
                          result.reports);
  steps.progress({RunStep::Kind::kPublicFound, *result.wan, result.connected});
  if (steps.stopped() || !steps.lan6Address) return result;
  result.ipv6Looked = true;
  result.lan6 = steps.lan6Address();
  if (!result.lan6) return result;
  bool connected6 = false;
  result.wan6 = AskInOrder(settings.services6, kConnect6Notice, steps.probe6, steps.ask6, steps, connected6,
                           result.reports);
  return result;
}

void TakeFindings(Addresses& addresses, const DetectionResult& result) {
  if (result.lan) addresses.lan = result.lan;
  if (result.wan) {
    addresses.wan = result.wan;
    addresses.connected = result.connected;
  }
  if (result.ipv6Looked) {
    addresses.lan6 = result.lan6;
    addresses.wan6 = result.wan6;
  }
}

}  // namespace nb
