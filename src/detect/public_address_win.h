// Asking the public-address services over the network: the probe, the downloads, and the whole
// detection run with the settings stored under the program key. All of it runs on a worker.
#pragma once

#include <functional>
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

// A whole detection run with the real probe and services; `lanAddress` reads the LAN address.
// Reports each step through `progress`; a stop ends it early (its result is then not wanted).
DetectionResult FindAddresses(const ServiceSettings& settings, const std::function<std::wstring()>& lanAddress,
                              const StopSignal& stop, const std::function<void(RunStep)>& progress);

// Removes the answer file and the download scratch files that a program ended during a download
// left in the data folder. Never fails.
void RemoveLeftoverAnswerFiles();

}  // namespace nb
