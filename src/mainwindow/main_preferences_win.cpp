// The main window's load and close steps for its preferences: where it stands, its colour scheme
// and its two option boxes. Every step is skipped when it fails.
#include <string>

#include "base/skip_trap_win.h"
#include "mainwindow/frmMain_win.h"
#include "settings/colour_scheme_win.h"
#include "settings/registry_win.h"
#include "settings/stored_values.h"
#include "settings/window_placement_win.h"

namespace nb {
namespace {

// The main window's preferences: string values under the program key.
constexpr wchar_t kTopValue[] = L"Top";
constexpr wchar_t kLeftValue[] = L"Left";
constexpr wchar_t kAutoquitValue[] = L"Autoquit";
constexpr wchar_t kAutorunValue[] = L"Autorun";

constexpr wchar_t kLoadLabel[] = L"frmMain Form_Load";
constexpr wchar_t kStoreLabel[] = L"frmMain Form_QueryUnload";

void RestoreCheck(const CheckBox& box, const wchar_t* valueName) {
  if (const auto state = StoredCheckState(ReadString(kProgramKey, valueName))) box.SetValue(*state);
}

}  // namespace

void FrmMain::LoadPreferences() {
  SkipTrap(kLoadLabel, [&] { CreateKey(kProgramKey); });
  StoredPlace place;
  SkipTrap(kLoadLabel, [&] { place.topTwips = StoredTwips(ReadString(kProgramKey, kTopValue)); });
  SkipTrap(kLoadLabel, [&] { place.leftTwips = StoredTwips(ReadString(kProgramKey, kLeftValue)); });
  SkipTrap(kLoadLabel, [&] { MoveToStoredPlace(hwnd(), place, Dpi()); });
  SkipTrap(kLoadLabel, [&] {
    const ColourScheme scheme = StoredColourScheme();
    ApplyColours(scheme.text, scheme.back);
  });
  SkipTrap(kLoadLabel, [&] { RestoreCheck(chkAutoQuit, kAutoquitValue); });
  SkipTrap(kLoadLabel, [&] { RestoreCheck(chkAutoRun, kAutorunValue); });
}

// The place is kept only while the window is not minimised; ForeColor is stored when the user
// switches the colours, not here.
void FrmMain::StorePreferences() {
  SkipTrap(kStoreLabel, [&] {
    if (IsIconic(hwnd())) return;
    WriteString(kProgramKey, kTopValue, SingleText(EdgeInTwips(hwnd(), WindowEdge::Top, Dpi())));
    WriteString(kProgramKey, kLeftValue, SingleText(EdgeInTwips(hwnd(), WindowEdge::Left, Dpi())));
  });
  SkipTrap(kStoreLabel, [&] { WriteString(kProgramKey, kAutoquitValue, std::to_wstring(chkAutoQuit.Value())); });
  SkipTrap(kStoreLabel, [&] { WriteString(kProgramKey, kAutorunValue, std::to_wstring(chkAutoRun.Value())); });
}

}  // namespace nb
