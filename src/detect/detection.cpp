#include "detect/detection.h"

namespace nb {

DetectionResult RunDetection(const ServiceSettings& settings, const DetectionSteps& steps) {
  DetectionResult result;
  try {
    result.lan = steps.lanAddress();
  } catch (...) {
    result.reports.push_back({CurrentError(), kShowIPsErrorLabel});
    return result;
  }
  steps.progress({RunStep::Kind::kLanFound, *result.lan});
  steps.progress({RunStep::Kind::kTrying, kConnectNotice});
  result.connected = steps.probe();
  result.wan = kAccessError;
  if (!result.connected) return result;
  for (const PublicService& service : settings.services) {
    if (steps.stopped()) break;
    steps.progress({RunStep::Kind::kTrying, TryingText(service)});
    ServiceAnswer answer = steps.ask(service);
    if (answer.error) result.reports.push_back({std::move(*answer.error), service.reportLabel});
    result.wan = std::move(answer.result);
    if (*result.wan != kAccessError) break;
  }
  return result;
}

void TakeFindings(Addresses& addresses, const DetectionResult& result) {
  if (result.lan) addresses.lan = result.lan;
  if (!result.wan) return;
  addresses.wan = result.wan;
  addresses.connected = result.connected;
}

}  // namespace nb
