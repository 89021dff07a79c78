// Asking the public-address services over the network: the probe, the downloads, and the whole
// detection run with the settings stored under the program key. All of it runs on a worker.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "detect/detection.h"
#include "detect/public_address.h"

namespace nb {

class StopSignal;

// The defaults with the overrides stored under the program key, read afresh on every call.
ServiceSettings LoadServiceSettings();

// One service procedure (GetPublicIP .. GetPublicIP4): downloads the service's answer into
// "ip.txt" in the data folder, judges it and deletes the file. The address or kAccessError, with
// the unexpected error that made it fail (to be reported under the service's label); never
// raises. A stop ends the download as its bound does.
ServiceAnswer GetPublicIPFrom(const PublicService& service, const ServiceSettings& settings,
                              const StopSignal* stop = nullptr);
// The same for an IPv6 service: the answer must be a global IPv6 address, and the result is its
// canonical text (Answer6Result). It takes its turn on the same answer file.
ServiceAnswer GetPublicIPv6From(const PublicService& service, const ServiceSettings& settings,
                                const StopSignal* stop = nullptr);

// The LAN IPv6 step of a run: the canonical text, or nothing without a global IPv6 address.
using Lan6Step = std::function<std::optional<std::wstring>()>;

// A whole detection run with the real probes and services; `lanAddress` reads the LAN address,
// and the LAN IPv6 address is GetLocalIPv6's. Reports each step through `progress`; a stop ends
// it early (its result is then not wanted).
DetectionResult FindAddresses(const ServiceSettings& settings, const std::function<std::wstring()>& lanAddress,
                              const StopSignal& stop, const std::function<void(RunStep)>& progress);
// The same with another LAN IPv6 step (tests give theirs).
DetectionResult FindAddresses(const ServiceSettings& settings, const std::function<std::wstring()>& lanAddress,
                              const Lan6Step& lan6Address, const StopSignal& stop,
                              const std::function<void(RunStep)>& progress);

// Removes the answer file and the download scratch files that a program ended during a download
// left in the data folder. Never fails.
void RemoveLeftoverAnswerFiles();

}  // namespace nb
