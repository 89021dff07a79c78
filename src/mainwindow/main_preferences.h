// The main window's preferences as the registry keeps them: string values under the program key.
#pragma once

#include <windows.h>

namespace nb {

inline constexpr wchar_t kTopValue[] = L"Top";
inline constexpr wchar_t kLeftValue[] = L"Left";
inline constexpr wchar_t kForeColorValue[] = L"ForeColor";
inline constexpr wchar_t kAutoquitValue[] = L"Autoquit";
inline constexpr wchar_t kAutorunValue[] = L"Autorun";

// The colour schemes (text, background) that the address labels, the list of all addresses and
// the configuration report share.
inline constexpr COLORREF kGreen = 65280;
inline constexpr COLORREF kBlack = 0;
inline constexpr COLORREF kWhite = 16777215;

struct ColourScheme {
  COLORREF text;
  COLORREF back;
};

// The scheme the stored ForeColor selects: green on black for 65280 or for a value that is missing
// or not a number, black on white for any other number. Read afresh on every call.
ColourScheme StoredColourScheme();

// Stores the address labels' text colour, which selects the colour scheme at the next start.
void StoreForeColor(COLORREF textColour);

}  // namespace nb
