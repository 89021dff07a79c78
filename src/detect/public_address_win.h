// Asking the public-address services over the network: the probe, the downloads and the chain
// with the settings stored under the program key.
#pragma once

#include <string>

#include "detect/public_address.h"

namespace nb {

// The defaults with the overrides stored under the program key, read afresh on every call.
ServiceSettings LoadServiceSettings();

// One service procedure (GetPublicIP .. GetPublicIP4): downloads the service's answer into
// "ip.txt" in the data folder, judges it and deletes the file. Returns the address or
// kAccessError; never raises (an unexpected error is reported under the service's label).
std::wstring GetPublicIPFrom(const PublicService& service, const ServiceSettings& settings);

// The whole chain with the real probe and services.
void RunPublicAddressChain(const ServiceSettings& settings, ChainView& view);

}  // namespace nb
