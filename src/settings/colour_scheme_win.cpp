#include "settings/colour_scheme_win.h"

#include <string>

#include "settings/registry_win.h"
#include "settings/stored_values.h"

namespace nb {
namespace {

constexpr wchar_t kForeColorValue[] = L"ForeColor";

}  // namespace

ColourScheme StoredColourScheme() {
  if (StoredSchemeIsGreenOnBlack(ReadString(kProgramKey, kForeColorValue))) return {kGreen, kBlack};
  return {kBlack, kWhite};
}

void StoreForeColor(COLORREF textColour) { WriteString(kProgramKey, kForeColorValue, std::to_wstring(textColour)); }

}  // namespace nb
