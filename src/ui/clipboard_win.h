// The system clipboard, plain text only.
#pragma once

#include <windows.h>

#include <string>

namespace nb {

// Clears the clipboard, then puts the text on it as Unicode and as ANSI text. Another program may
// hold the clipboard open for a moment, so opening it is tried again for half a second; after that
// it raises AppError 521 ("Can't open Clipboard").
void PutOnClipboard(HWND owner, const std::wstring& text);

}  // namespace nb
