// The main window's preferences as the registry keeps them: string values under the program key.
#pragma once

#include <windows.h>

namespace nb {

inline constexpr wchar_t kTopValue[] = L"Top";
inline constexpr wchar_t kLeftValue[] = L"Left";
inline constexpr wchar_t kForeColorValue[] = L"ForeColor";
inline constexpr wchar_t kAutoquitValue[] = L"Autoquit";
inline constexpr wchar_t kAutorunValue[] = L"Autorun";

// Stores the address labels' text colour, which selects the colour scheme at the next start.
void StoreForeColor(COLORREF textColour);

}  // namespace nb
