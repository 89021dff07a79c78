// A detection run: the LAN address from the adapter list, then the connectivity probe and the
// public-address services in order until one answers with an address; then, on a machine with a
// global IPv6 address, its LAN IPv6 address and the same chain over IPv6. And the value that
// holds what the runs found. Portable: the steps that ask the system are given by the caller.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/app_error.h"
#include "detect/public_address.h"

namespace nb {

// What an address label shows while no run has found its address.
inline constexpr wchar_t kPlaceholder[] = L"---.---.---.---";

// What the program knows of the machine's addresses: what the runs found.
struct Addresses {
  std::optional<std::wstring> lan;  // the LAN address, or empty text when no adapter has one
  std::optional<std::wstring> wan;  // the public address, or kAccessError when none could be had
  bool connected = false;           // the last run's probe reached the internet
  // The LAN IPv6 address; nothing while the machine has no global IPv6 address.
  std::optional<std::wstring> lan6 = std::nullopt;
  // The public IPv6 address, or kAccessError; nothing when it was not asked for.
  std::optional<std::wstring> wan6 = std::nullopt;

  // As the address labels show them.
  std::wstring LanText() const { return lan.value_or(kPlaceholder); }
  std::wstring WanText() const { return wan.value_or(kPlaceholder); }
  std::wstring Lan6Text() const { return lan6.value_or(kPlaceholder); }
  std::wstring Wan6Text() const { return wan6.value_or(kPlaceholder); }
  // Both found (the log and the address table need both).
  bool BothKnown() const { return lan && wan; }
  // A public address to act on: found, and not the failure text.
  bool PublicFound() const { return wan && *wan != kAccessError; }
  bool HasIPv6() const { return lan6.has_value(); }
  bool BothIPv6Known() const { return lan6 && wan6; }
  bool Public6Found() const { return wan6 && *wan6 != kAccessError; }
};

// What one service gave: an address or kAccessError, and the unexpected error that made it fail,
// if one did (the window reports it under the service's label).
struct ServiceAnswer {
  std::wstring result;
  std::optional<AppError> error = std::nullopt;
};

// The label of a run's error report when the LAN address cannot be had.
inline constexpr wchar_t kShowIPsErrorLabel[] = L"frmMain Sub showIPs";

// A step of a run as the progress window and the labels show it: the IPv4 addresses are shown as
// soon as they are found, before the IPv6 part of the run.
struct RunStep {
  enum class Kind { kLanFound, kPublicFound, kTrying } kind;
  std::wstring text;       // the address, or the progress text
  bool connected = false;  // kPublicFound: the probe reached the internet
};

struct DetectionSteps {
  std::function<std::wstring()> lanAddress;  // may raise: the run then reports it and stops
  std::function<bool()> probe;
  std::function<ServiceAnswer(const PublicService&)> ask;
  std::function<void(RunStep)> progress;
  std::function<bool()> stopped;  // the run's result is no longer wanted: ask no more
  // The LAN IPv6 address (canonical text), nothing when the machine has no global IPv6 address;
  // a run without it asks nothing over IPv6.
  std::function<std::optional<std::wstring>()> lan6Address = {};
  std::function<bool()> probe6 = {};
  std::function<ServiceAnswer(const PublicService&)> ask6 = {};
};

struct DetectionResult {
  std::optional<std::wstring> lan;    // nothing when the adapter list could not be read
  std::optional<std::wstring> wan;    // an address or kAccessError; nothing when no service was asked for
  bool connected = false;             // the probe reached the internet
  bool ipv6Looked = false;            // the run got as far as the IPv6 part
  std::optional<std::wstring> lan6;   // nothing when there is no global IPv6 address
  std::optional<std::wstring> wan6;   // an address or kAccessError; nothing when not asked for
  std::vector<ErrorToReport> reports;  // what went wrong, in the order met, to be reported
};

// The run: the LAN address (an error there is reported under kShowIPsErrorLabel and ends the
// run); the connect notice and the probe (no internet: kAccessError, no service asked); then
// service 1, and 2 to 4 only while no address has come, each announced as it is asked. Then the
// LAN IPv6 address: without one, nothing is asked over IPv6; with one, the same chain over IPv6.
// Nothing of the IPv6 part changes the IPv4 result, which is reported (kPublicFound) before it.
DetectionResult RunDetection(const ServiceSettings& settings, const DetectionSteps& steps);

// Puts a run's findings into the value: what the run did not reach stays as it was.
void TakeFindings(Addresses& addresses, const DetectionResult& result);

}  // namespace nb
