// A stand-in for the windows that the public-address chain writes to. Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "detect/public_address.h"

namespace nbtest {

// A view that records what the chain shows.
class RecordingView : public nb::ChainView {
 public:
  void SetTrying(std::wstring_view text) override { trying.emplace_back(text); }
  std::wstring WanText() const override { return wan; }
  void SetWanText(std::wstring_view text) override { wan = text; }
  void SetHiddenPublicText(std::wstring_view text) override { hidden = text; }

  std::vector<std::wstring> trying;
  std::wstring wan = L"---.---.---.---";
  std::wstring hidden = L"---.---.---.---";
};

}  // namespace nbtest
