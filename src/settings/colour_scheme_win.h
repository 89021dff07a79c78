// The colour scheme that the address labels, the list of all addresses and the configuration
// report share, as the registry keeps it: the labels' text colour, stored as ForeColor.
#pragma once

#include <windows.h>

namespace nb {

// The colour schemes (text, background).
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
